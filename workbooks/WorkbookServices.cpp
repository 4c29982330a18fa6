// See WorkbookServices.h: the stand-ins for the update engine until it is built.
#include "workbooks/WorkbookServices.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace workbooks {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

qint32 CheckUserFilesExist(bool useContext, qint32 masterFileId) {
    Q_UNUSED(useContext);
    Q_UNUSED(masterFileId);
    notAvailable(QStringLiteral("Checking user-file activity"));
    return 0;
}

void UpdateMasterFilesCommand() {
    notAvailable(QStringLiteral("Updating workbooks"));
}

} // namespace workbooks
