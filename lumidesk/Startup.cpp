// The start-up of the desktop program; see Startup.h.
#include "lumidesk/Startup.h"

#include "admin/AdminServices.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/MasterDatabaseTables.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/startup/DatabaseCheck.h"
#include "core/startup/ReplacementOffer.h"
#include "lumidesk/AboutBox.h"
#include "lumidesk/AnswersFileUi.h"
#include "lumidesk/DesktopSettings.h"
#include "lumidesk/frmMain.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SettingsStore.h"
#include "platform/sys/SingleInstance.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"
#include "wizard/RelinkAllBudgets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace lumidesk {

namespace {

const QString kVersionCheckQuery = QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name Is Not Null");
constexpr double kLogonPollSeconds = 1.0;

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

const QString kIllegalVersionText = QStringLiteral(
    "The database module is corrupted or an illegal version.  Re-install Lumivane and restore from a backup "
    "copy.");

// The engine's quick check of the whole file: a file cut short or overwritten part-way reads as
// damaged here, before any window reads a table from it.
bool databaseIsSound(platform::db::Connection& cnn) {
    try {
        return cnn.scalar(QStringLiteral("PRAGMA quick_check")).toString() == QStringLiteral("ok");
    } catch (const std::exception&) {
        return false;
    }
}

// Runs the version query and the integrity check. A refused password ends the start-up (the
// query object has said so); so does a damaged file, a Budgets table without its 14 columns
// or any other failure of the query, each with its message. A database that passes gets the
// tables the program adds, where it lacks them (a failure there is thrown), and the indexes,
// where it can take them.
bool versionCheckPasses() {
    core::gDB2 = std::make_unique<core::cDB2>();
    platform::db::Recordset rst;
    const qint32 status = core::gDB2->GetRecordset(kVersionCheckQuery, rst);
    const int columns = rst.isOpen() ? rst.fieldCount() : 0;
    rst.close();
    bool passes = status != core::QueryObject::kLogonRefused;
    if (passes && !databaseIsSound(core::gDB2->Cnn())) {
        say(kDamagedDatabaseText.arg(core::gCnn->LumiCnnPath()));
        passes = false;
    } else if (passes && (status == core::QueryObject::kFailed || columns != kBudgetsColumnCount)) {
        say(kIllegalVersionText);
        passes = false;
    }
    if (passes) {
        core::AddMissingTables(core::gDB2->Cnn());
        core::AddMissingIndexes(core::gDB2->Cnn());
    }
    core::gDB2.reset();
    return passes;
}

// Why the database file cannot be used though it may be there: its folder or the file itself
// cannot be read. Empty when both can (or when the folder is missing: the file is then missing).
QString unreadableText(const QString& path) {
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), R_OK | X_OK) != 0 && errno == EACCES)
        return kUnreadableFolderText.arg(QDir::toNativeSeparators(folder));
    if (file.exists() && ::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return kUnreadableFileText.arg(QDir::toNativeSeparators(path));
    return {};
}

void workLocal() {
    core::cOptions& options = *core::gOptions;
    options.OpenLocal = true;
    options.OpenNetwork = false;
    options.DatabaseMode = QStringLiteral("Local");
}

// Shows the logon window and waits, a second at a time with the windows alive, for its
// answer. A logon window that could not be shown, or that went away without OK or Cancel,
// counts as cancelled: the program then works on the local database.
void logOnToNetwork() {
    core::cOptions& options = *core::gOptions;
    options.OpenNetwork = true;
    options.OpenLocal = false;
    options.LoggingOn = true;
    if (!admin::ShowLogon())
        options.CancelPwd = true;
    for (;;) {
        const bool answered = platform::ui::EventPump::pollFor(
            [&options] {
                return options.SetPwd || options.CancelPwd || !core::IsFormLoaded(admin::kLogonFormName);
            },
            kLogonPollSeconds);
        if (!answered)
            continue;
        if (options.SetPwd) {
            if (options.LoggedOn) {
                options.DatabaseMode = QStringLiteral("Network");
                say(options.SAAuth ? QStringLiteral("Welcome, Super-Admin_User!")
                                   : QStringLiteral("Welcome, AdminUser!"));
            }
            options.SetPwd = false;
            break;
        }
        if (options.CancelPwd) {
            admin::UnloadLogon();
            break;
        }
        options.CancelPwd = true; // the window went away without an answer
    }
    if (options.CancelPwd || !options.LoggedOn) {
        workLocal();
        options.CancelPwd = false;
        // The logon window's database test may have switched to the network strings already.
        core::gCnn->LocalCnn();
    }
}

// The splash in front of the hidden main window, or the main window at once.
void openFirstWindow() {
    if (settingFlag(QStringLiteral("Options"), QStringLiteral("Splash"), false)) {
        gMainForm = new frmMain;
        gMainForm->show();
    } else {
        DisplayAbout(true);
        gMainForm = new frmMain;
    }
}

} // namespace

QString SingleInstanceKey() {
    return platform::sys::settingsFilePath(platform::sys::settingsApplication());
}

bool RefuseSecondInstance(platform::sys::SingleInstance& instance) {
    if (instance.claim())
        return false;
    say(kAlreadyRunningText);
    instance.activateRunning();
    return true;
}

void ActivateMainWindow() {
    QWidget* window = platform::ui::LoadedWindows::find(QStringLiteral("frmAbout"));
    if (gMainForm && gMainForm->isVisible())
        window = gMainForm;
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    AnswersFileUi::note(QStringLiteral("activated ") + window->objectName());
}

bool RunStartupChecks() {
    try {
        core::gOptions = std::make_unique<core::cOptions>();
        core::gCnn = std::make_unique<core::cConnection>();
        core::gOptions->ReadValues();
        core::gCnn->LocalCnn();

        if (const QString unreadable = unreadableText(core::gCnn->LumiCnnPath()); !unreadable.isEmpty()) {
            say(unreadable);
            return false;
        }
        if (!core::MasterDatabaseFound()) {
            core::SayDatabaseMissing();
            return false;
        }
        return versionCheckPasses();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

bool RunStartup() {
    if (!RunStartupChecks())
        return false;
    try {
        if (settingFlag(QStringLiteral("Runtime"), QStringLiteral("ReplaceDB"), false) &&
            core::OfferDatabaseReplacement({core::appTitle(), wizard::RelinkAllBudgets}) ==
                core::ReplacementOutcome::Cancelled)
            return false;
        if (settingFlag(QStringLiteral("Network"), QStringLiteral("OpenLocal"), true))
            workLocal();
        else
            logOnToNetwork();
        openFirstWindow();
        if (!core::gOptions->OpenLocal &&
            !settingFlag(QStringLiteral("Network"), QStringLiteral("OpenNet"), false))
            core::gCnn->NetCnn();
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return gMainForm != nullptr;
    }
}

} // namespace lumidesk
