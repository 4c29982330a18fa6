// See NetworkCommands.h.
#include "lumidesk/NetworkCommands.h"

#include "admin/AdminServices.h"
#include "admin/NetworkSettings.h"
#include "admin/WindowParts.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumidesk/DataEnvironment.h"
#include "lumidesk/frmMain.h"
#include "platform/db/Connection.h"
#include "platform/db/Presence.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/Ui.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace lumidesk {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

constexpr double kLogonPollSeconds = 1.0;
const QString kLocal = QStringLiteral("Local");
const QString kNetwork = QStringLiteral("Network");
const QString kNothing = QStringLiteral("Nothing");

core::cOptions& options() {
    return *core::gOptions;
}

void say(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, core::appTitle());
}

void closeWindows(const QStringList& names) {
    for (const QString& name : names)
        core::UnloadForm(name);
}

// Nothing of the program goes on reading the database it leaves.
void releaseConnections() {
    core::ReleaseSharedConnections();
    ReleaseDataEnvironments();
}

frmMain& mainOf(QWidget* window) {
    return *static_cast<frmMain*>(window);
}

void setItem(frmMain& main, const QString& name, const QString& caption) {
    if (QAction* item = main.menuItem(name))
        item->setText(caption);
}

void enableItem(frmMain& main, const QString& name, bool enabled) {
    if (QAction* item = main.menuItem(name))
        item->setEnabled(enabled);
}

void logOn(frmMain& main) {
    core::cOptions& opts = options();
    opts.LoggingOn = true;
    closeWindows({QStringLiteral("frmDataTable"), QStringLiteral("frmWizard"), QStringLiteral("frmMail"),
                  QStringLiteral("frmErrorsTable")});
    releaseConnections();
    opts.BudgetNameContext = kNothing;
    opts.SetPwd = opts.CancelPwd = false;
    if (!admin::ShowLogon())
        opts.CancelPwd = true;
    for (;;) {
        platform::ui::EventPump::pollFor(
            [&opts] { return opts.SetPwd || opts.CancelPwd || !core::IsFormLoaded(admin::kLogonFormName); },
            kLogonPollSeconds);
        if (opts.SetPwd) {
            if (opts.LoggedOn) {
                opts.DatabaseMode = kNetwork;
                opts.OpenNetwork = true;
                opts.OpenLocal = false;
                say(opts.SAAuth ? QStringLiteral("Welcome, Super-Admin_User!")
                                : QStringLiteral("Welcome, AdminUser!"));
                SetNetworkMenuState(main, opts.SAAuth ? NetworkMenuState::SuperAdministrator
                                                      : NetworkMenuState::Administrator);
            }
            opts.SetPwd = false;
            return;
        }
        if (opts.CancelPwd || !core::IsFormLoaded(admin::kLogonFormName)) {
            opts.CancelPwd = false;
            // The logon window's database test may have switched to the network strings.
            core::gCnn->LocalCnn();
            return;
        }
    }
}

void logOff(frmMain& main) {
    core::cOptions& opts = options();
    if (!opts.LoggedOn) {
        say(QStringLiteral("You are not logged into the network database!"));
        return;
    }
    if (platform::ui::msgBox(QStringLiteral("Do you want to logoff the network database?"), Buttons::YesNo,
                             core::appTitle(), platform::ui::Icon::Question) != Answer::Yes)
        return;
    closeWindows({QStringLiteral("frmDataTable"), QStringLiteral("frmWizard"), QStringLiteral("frmMail"),
                  admin::kSuperAdminFormName, admin::kMigrateFormName, QStringLiteral("frmErrorsTable")});
    releaseConnections();
    core::gCnn->LocalCnn();
    opts.BudgetNameContext = kNothing;
    opts.OpenNetwork = false;
    opts.OpenLocal = true;
    opts.DatabaseMode = kLocal;
    opts.LumiAdminUserName.clear();
    opts.NetMenus = opts.SAAuth = opts.AUAuth = false;
    // Nothing of the administrator who left stays behind for the next logon.
    opts.ViewMode.clear();
    opts.CopyPermissions = false;
    opts.LumiAUID.clear();
    opts.LumiSAID.clear();
    SetNetworkMenuState(main, NetworkMenuState::Local);
    opts.LoggedOff = true;
    opts.LoggedOn = opts.LoggingOn = opts.LoggingOff = false;
}

// The permissions a new file in the shared folder gets, so that the other administrators can
// open the network database as the folder allows; given only once it is keyed (its contents
// are then encrypted).
void shareLikeANewFile(const QString& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~mask);
}

// The settings the creation writes, kept to be put back when it fails.
struct NetworkSettings {
    QString path, password, connection;
    static NetworkSettings current() {
        namespace net = admin::net;
        return {net::read(net::kLumiNetPath), net::read(net::kLumiNetPwd), net::read(net::kLumiNetConn)};
    }
    void restore() const {
        namespace net = admin::net;
        net::write(net::kLumiNetPath, path);
        net::write(net::kLumiNetPwd, password);
        net::write(net::kLumiNetConn, connection);
    }
};

// A creation that failed: every connection released and the local database in use before
// the copy (and its presence file) is deleted, and the settings as they were.
void undoCreation(const QString& copy, const NetworkSettings& before) {
    releaseConnections();
    core::gCnn->LocalCnn();
    platform::db::Connection::releaseIdleHandles(copy);
    QFile::remove(copy);
    QFile::remove(platform::db::PresenceHold::presencePath(copy));
    before.restore();
    core::cOptions& opts = options();
    opts.SAAuth = opts.AUAuth = opts.NetMenus = opts.LoggedOn = false;
    opts.DatabaseMode = kLocal;
}

} // namespace

void SetNetworkMenuState(frmMain& main, NetworkMenuState state) {
    const bool local = state == NetworkMenuState::Local;
    const bool superAdmin = state == NetworkMenuState::SuperAdministrator;
    main.setStatusText(local ? frmMain::kLocalStatus
                             : options().LumiAdminUserName + frmMain::kLoggedOnStatus);
    if (state == NetworkMenuState::JustMade) {
        setItem(main, QStringLiteral("mnuLogon"), QStringLiteral("&Log off"));
        if (options().SAAuth) {
            enableItem(main, QStringLiteral("mnuSAConfig"), true);
            setItem(main, QStringLiteral("mnuMakeNetDB"), QStringLiteral("&Remove network database"));
        }
        return;
    }
    setItem(main, QStringLiteral("mnuLogon"),
            local ? QStringLiteral("&Logon") : QStringLiteral("&Log off LumiNet"));
    setItem(main, QStringLiteral("mnuMakeNetDB"),
            superAdmin ? QStringLiteral("&Remove network database")
                       : QStringLiteral("&Make network database"));
    enableItem(main, QStringLiteral("mnuMakeNetDB"), local || superAdmin);
    enableItem(main, QStringLiteral("mnuSAConfig"), superAdmin);
    enableItem(main, QStringLiteral("mnuCompactDatabase"), local || superAdmin);
    enableItem(main, QStringLiteral("mnuSystemClean"), local || superAdmin);
}

void mnuLogon_Click(QWidget* mainWindow) {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    try {
        if (options().DatabaseMode == kLocal)
            logOn(mainOf(mainWindow));
        else
            logOff(mainOf(mainWindow));
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

QString CopyDatabase(const QString& strDBPath) {
    try {
        const auto chosen = admin::parts::chooseMasterDatabase(QStringLiteral("Make network database"),
                                                               QStringLiteral("Copy database here?"),
                                                               QFileInfo(strDBPath).absolutePath(), true);
        if (!chosen)
            return {};
        if (admin::parts::FolderHoldsMasterDatabase(QFileInfo(*chosen).absolutePath())) {
            say(QStringLiteral("A Lumivane network database exists at this location."));
            return {};
        }
        // The engine's online copy: a consistent file even while the local database is in use.
        platform::db::Connection local;
        local.open(core::gCnn->LumiCnn());
        // Still the plain local database: nobody else reads it before it is keyed.
        local.backupTo(*chosen, QFile::ReadOwner | QFile::WriteOwner);
        local.close();
        return *chosen;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return {};
    }
}

void mnuMakeNetDB_Click(QWidget* mainWindow) {
    core::UnloadForm(QStringLiteral("frmDataTable"));
    core::cOptions& opts = options();
    if (opts.DatabaseMode != kLocal) {
        say(QStringLiteral("This function to be implemented in v1.70."));
        return;
    }
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    const QString copy = CopyDatabase(core::gCnn->LumiCnnPath());
    if (copy.isEmpty())
        return;
    const NetworkSettings before = NetworkSettings::current();
    releaseConnections();
    if (!admin::CreateNetworkDatabase(copy)) {
        undoCreation(copy, before);
        return;
    }
    shareLikeANewFile(copy);
    releaseConnections();
    opts.DatabaseMode = kNetwork;
    opts.OpenNetwork = true;
    opts.OpenLocal = false;
    opts.BudgetNameContext = kNothing;
    SetNetworkMenuState(mainOf(mainWindow), NetworkMenuState::JustMade);
}

void mnuSAConfig_Click(QWidget* mainWindow) {
    admin::ShowSuperAdmin(mainWindow);
}

void mnuMigrateBudgets_Click(QWidget* mainWindow) {
    core::SetBusyPointer(11);
    if (options().DatabaseMode == kNetwork)
        admin::ShowMigrate(mainWindow);
    else
        say(QStringLiteral("Logon to the network database before running this function."));
    core::SetBusyPointer(0);
}

} // namespace lumidesk
