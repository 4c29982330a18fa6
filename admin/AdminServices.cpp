// See AdminServices.h: the entry points of the configuration window, the logon window, the
// migration window and the console.
#include "admin/AdminServices.h"

#include "admin/frmConfigure.h"
#include "admin/frmLogon.h"
#include "admin/frmMigrate.h"
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
                         platform::ui::Buttons::Ok, core::appTitle(), platform::ui::Icon::Information);
}

// Shows the one window of that form name, loading it (owned by owner) when it is not loaded.
template <class Form> bool showOwned(const QString& name, QWidget* owner) {
    QWidget* window = platform::ui::LoadedWindows::find(name);
    if (!window)
        window = new Form(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
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
    return showOwned<frmMigrate>(kMigrateFormName, owner);
}

bool ShowSuperAdmin(QWidget* owner) {
    return showOwned<frmSuperAdmin>(kSuperAdminFormName, owner);
}

} // namespace admin
