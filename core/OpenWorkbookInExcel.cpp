// See OpenWorkbookInExcel.h: the stand-in until the workbook opening is built.
#include "core/OpenWorkbookInExcel.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace core {

void OpenWorkbookInExcel(const QString& name) {
    Q_UNUSED(name);
    platform::ui::msgBox(kOpenWorkbookNotAvailableText, platform::ui::Buttons::Ok, kAppTitle,
                         platform::ui::Icon::Information);
}

} // namespace core
