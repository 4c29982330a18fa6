// See WorkbookServices.h: the stand-in for the update run until it is built.
#include "workbooks/WorkbookServices.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace workbooks {

void UpdateMasterFilesCommand() {
    platform::ui::msgBox(
        QStringLiteral("Updating workbooks is not available yet in this version of Lumidesk."),
        platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace workbooks
