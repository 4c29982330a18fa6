// See AdminServices.h: the configuration window's entry points, and the stand-ins for the
// network windows until they are built.
#include "admin/AdminServices.h"

#include "admin/frmConfigure.h"
#include "core/AppTitle.h"
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

bool NetworkChoiceAvailable() {
    platform::ui::msgBox(QStringLiteral("The network database is not available yet in this version of "
                                        "Lumidesk.  Lumidesk opens the local database."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
    return false;
}

bool NoOtherAdministratorConnected() {
    notAvailable(QStringLiteral("Checking who is connected to the network database"));
    return false;
}

bool ShowLogon() {
    notAvailable(QStringLiteral("The network logon"));
    return false;
}

// The logon window is never loaded in this version.
void UnloadLogon() {}

bool CreateNetworkDatabase(QString& path) {
    Q_UNUSED(path);
    notAvailable(QStringLiteral("Making a network database"));
    return false;
}

bool SetBudgetContext(const QString& budget, const QString& administrator, int& mode) {
    Q_UNUSED(budget);
    Q_UNUSED(administrator);
    Q_UNUSED(mode);
    notAvailable(QStringLiteral("The budget permission check of the network database"));
    return false;
}

bool ShowMigrate(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("Migrating budgets"));
    return false;
}

bool ShowSuperAdmin(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("The super-administrator console"));
    return false;
}

} // namespace admin
