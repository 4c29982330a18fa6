// See AdminServices.h: the entry points of the configuration window, the logon window and the
// console, and the stand-in for the migration window until it is built.
#include "admin/AdminServices.h"

#include "admin/frmConfigure.h"
#include "admin/frmLogon.h"
#include "admin/frmSuperAdmin.h"
#include "core/AppTitle.h"
#include "core/FormUnload.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"

#include <QEventLoop>
#include <QPointer>
#include <QTabWidget>

namespace admin {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

namespace {

SampleInstaller& sampleInstaller() {
    static SampleInstaller installer;
    return installer;
}

frmConfigure* loadConfigure(QWidget* owner, int tab) {
    frmConfigure* window = frmConfigure::loaded();
    if (!window)
        window = new frmConfigure(owner);
    if (tab >= frmConfigure::kOptionsTab && tab <= frmConfigure::kMessagesTab)
        window->SSTab1()->setCurrentIndex(tab);
    return window;
}

} // namespace

bool ShowConfigure(QWidget* owner, int tab) {
    frmConfigure* window = loadConfigure(owner, tab);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void LoadConfigure(QWidget* owner) {
    loadConfigure(owner, -1)->refillGrids();
}

void ShowConfigureModal(QWidget* owner, int tab) {
    QPointer<frmConfigure> window = loadConfigure(owner, tab);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (window)
        loop.exec();
}

void RefillConfigureGrids() {
    if (frmConfigure* window = frmConfigure::loaded())
        window->refillGrids();
}

void setSampleInstaller(SampleInstaller installer) {
    sampleInstaller() = std::move(installer);
}

bool RunSampleInstaller() {
    if (!sampleInstaller()) {
        notAvailable(QStringLiteral("Installing the sample budget"));
        return false;
    }
    return sampleInstaller()();
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
