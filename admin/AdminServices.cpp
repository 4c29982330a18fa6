// See AdminServices.h: the windows shown by the rest of the program, and the stand-in for the
// configuration window until it is built.
#include "admin/AdminServices.h"

#include "admin/frmLogon.h"
#include "admin/frmSuperAdmin.h"
#include "core/AppTitle.h"
#include "core/FormUnload.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"

namespace admin {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

bool ShowConfigure(QWidget* owner, int tab) {
    Q_UNUSED(owner);
    Q_UNUSED(tab);
    notAvailable(QStringLiteral("The configuration window"));
    return false;
}

bool ShowLogon() {
    auto* window = new frmLogon;
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void UnloadLogon() {
    core::UnloadForm(kLogonFormName);
}

bool ShowMigrate(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("Migrating budgets"));
    return false;
}

bool ShowSuperAdmin(QWidget* owner) {
    QWidget* window = platform::ui::LoadedWindows::find(kSuperAdminFormName);
    if (!window)
        window = new frmSuperAdmin(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace admin
