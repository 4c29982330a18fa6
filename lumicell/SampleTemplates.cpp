// See SampleTemplates.h.
#include "lumicell/SampleTemplates.h"

#include "lumicell/AddInFolder.h"

#include <QDir>

namespace lumicell {

QString SampleTemplatesFolder() {
    return QDir(AddInFolder()).filePath(QStringLiteral("Templates"));
}

} // namespace lumicell
