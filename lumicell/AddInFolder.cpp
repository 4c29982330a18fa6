// See AddInFolder.h. The dynamic loader names the file that holds this function's code.
#include "lumicell/AddInFolder.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace lumicell {

QString AddInFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&AddInFolder), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

} // namespace lumicell
