// See NetworkDatabase.h. The two windows follow the flag handshake: they only raise SetPwd or
// CancelPwd; the waiting code here looks at the flags whenever window events have run (and at
// least once a second), reads the boxes, resets the flag and closes the window.
#include "admin/NetworkDatabase.h"

#include "admin/AccountRules.h"
#include "admin/NetworkSettings.h"
#include "admin/frmPwd.h"
#include "admin/frmSA.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/SharedDatabase.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Schema.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/Ui.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <optional>

namespace admin {

using core::EncodeString;

namespace {

using platform::db::ColumnSpec;
using platform::db::Connection;

constexpr double kLookSeconds = 1.0;
const QString kMismatch = QStringLiteral("The passwords did not match.  Try again.");

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// Waits until the window is cancelled (CancelPwd, or the window gone) or confirmed (SetPwd)
// with ready() true. A confirmation with ready() false keeps SetPwd set, so the boxes are
// read again as soon as the user types.
bool waitConfirmed(QWidget* window, const std::function<bool()>& ready) {
    const QPointer<QWidget> watched(window);
    core::cOptions& options = *core::gOptions;
    auto decided = [&] {
        return options.CancelPwd || !watched || !watched->isVisible() || (options.SetPwd && ready());
    };
    while (!decided())
        platform::ui::EventPump::pollFor(decided, kLookSeconds);
    return !options.CancelPwd && watched && watched->isVisible();
}

// Closes a window the waiting code is done with; its close event must not take the closing
// for a Cancel, so SetPwd is reset only afterwards.
void closeConfirmed(QWidget* window) {
    core::gOptions->SetPwd = true;
    if (window)
        window->close();
    core::gOptions->SetPwd = false;
    core::gOptions->CancelPwd = false;
}

void closeCancelled(QWidget* window) {
    if (window)
        window->close();
    core::gOptions->CancelPwd = false;
    core::gOptions->SetPwd = false;
}

// A refusal of what was typed: the window stays for another try.
void refuseEntry(const QString& message) {
    say(message);
    core::gOptions->SetPwd = false;
}

QString firstRefusal(const QStringList& refusals) {
    for (const QString& refusal : refusals)
        if (!refusal.isEmpty())
            return refusal;
    return {};
}

// Asks for the new password; no value when cancelled.
std::optional<QString> askNewPassword(int reserved) {
    QPointer<frmPwd> window = new frmPwd;
    core::gOptions->SetPwd = core::gOptions->CancelPwd = false;
    window->Display(QStringLiteral("Net"));
    for (;;) {
        if (!waitConfirmed(window, [&] { return window && !window->tbxPwd(0)->text().isEmpty(); })) {
            closeCancelled(window);
            return std::nullopt;
        }
        const QString password = window->tbxPwd(0)->text();
        if (password.compare(window->tbxPwd(1)->text(), Qt::CaseInsensitive) != 0) {
            refuseEntry(kMismatch);
            continue;
        }
        const QString refusal =
            firstRefusal({PasswordRefusal(password),
                          IdentifierLengthRefusal(password + QString(reserved, QLatin1Char('x')))});
        if (!refusal.isEmpty()) {
            refuseEntry(refusal);
            continue;
        }
        closeConfirmed(window);
        return password;
    }
}

// Opens the file with its present password, so a wrong one is found before anything is asked.
void checkOpens(const QString& path, const QString& password) {
    platform::db::ConnectionString cs;
    cs.set(platform::db::ConnectionString::kDataSource, path);
    cs.set(platform::db::ConnectionString::kDatabasePassword, password);
    Connection db;
    db.open(cs);
}

struct SuperAdminEntry {
    QString name;
    QString password;
    QString email;
};

// Asks for the super-administrator's account in frmSA; no value when cancelled.
std::optional<SuperAdminEntry> askSuperAdmin(Connection& db, const QString& databasePassword) {
    core::gOptions->SetPwd = core::gOptions->CancelPwd = false;
    QPointer<frmSA> window = new frmSA;
    window->show();
    window->raise();
    const QStringList columns = BudgetsColumns(db);
    auto complete = [&] {
        return window && !window->tbxUserAdminName()->text().isEmpty() &&
               !window->tbxUserAdminPwd(0)->text().isEmpty() && !window->tbxEmail()->text().isEmpty();
    };
    for (;;) {
        if (!waitConfirmed(window, complete)) {
            closeCancelled(window);
            return std::nullopt;
        }
        const SuperAdminEntry entry{window->tbxUserAdminName()->text(), window->tbxUserAdminPwd(0)->text(),
                                    window->tbxEmail()->text()};
        if (entry.password.compare(window->tbxUserAdminPwd(1)->text(), Qt::CaseInsensitive) != 0) {
            refuseEntry(kMismatch);
            continue;
        }
        const QString refusal = firstRefusal({AccountNameRefusal(entry.name, columns),
                                              PasswordRefusal(entry.password), EmailRefusal(entry.email),
                                              IdentifierLengthRefusal(net::superAdminIdentifier(
                                                  databasePassword, entry.name, entry.password))});
        if (!refusal.isEmpty()) {
            refuseEntry(refusal);
            continue;
        }
        closeConfirmed(window);
        return entry;
    }
}

void createAccountsTable(Connection& db) {
    ColumnSpec name = ColumnSpec::text(QStringLiteral("AdminUser_Name"), kAccountNameSize, false);
    name.primaryKey = true;
    db.createTable(QStringLiteral("AdminUsers"),
                   {name, ColumnSpec::text(QStringLiteral("AdminUser_Pwd"), net::kScrambledColumnSize),
                    ColumnSpec::text(QStringLiteral("AdminUser_ID"), net::kScrambledColumnSize),
                    ColumnSpec::text(QStringLiteral("AdminUser_Email"), kAccountEmailSize),
                    ColumnSpec::text(QStringLiteral("SuperAdminUser_ID"), net::kScrambledColumnSize)});
}

// The account, its grant column and the profile: all or nothing.
void storeSuperAdmin(Connection& db, const SuperAdminEntry& entry, const QString& userId,
                     const QString& saId) {
    platform::db::Transaction work(db);
    db.execute(QStringLiteral("INSERT INTO AdminUsers (AdminUser_Name, AdminUser_Pwd, AdminUser_ID, "
                              "AdminUser_Email, SuperAdminUser_ID) VALUES (?, ?, ?, ?, ?)"),
               {entry.name, EncodeString(entry.password), userId, entry.email, saId});
    db.addColumn(QStringLiteral("Budgets"), ColumnSpec::text(entry.name, net::kScrambledColumnSize));
    db.execute(QStringLiteral("INSERT INTO SuperAdminUser (Super_Admin_Name, Copy_Permissions, View_Mode) "
                              "VALUES (?, ?, ?)"),
               {entry.name, EncodeString(QStringLiteral("False")), EncodeString(QStringLiteral("All"))});
    work.commit();
}

// The creator is logged on as the super-administrator of the new database.
void logOnCreator(const SuperAdminEntry& entry, const QString& userId, const QString& saId) {
    net::write(net::kLumiSAID, saId);
    net::write(net::kLumiAUID, userId);
    net::write(net::kAdminUserName, entry.name);
    net::write(net::kAdminUserPwd, EncodeString(entry.password));
    core::cOptions& options = *core::gOptions;
    options.LumiAdminUserName = entry.name;
    options.LumiAUID = userId;
    options.LumiSAID = saId;
    options.SAAuth = options.AUAuth = options.NetMenus = true;
    options.LoggedOn = true;
    options.CopyPermissions = false;
    options.ViewMode = QStringLiteral("All");
}

} // namespace

bool SetDatabasePassword(const QString& path, const QString& presentPassword, int reserved,
                         const RekeyStatements& alsoInNewFile) {
    try {
        const auto ownUse =
            core::TakeDatabaseForOwnUse(path, QStringLiteral("The database password can't be changed"));
        if (!ownUse)
            return false;
        checkOpens(path, presentPassword);
        const auto password = askNewPassword(reserved);
        if (!password)
            return false;
        const QList<Connection::Statement> statements =
            alsoInNewFile ? alsoInNewFile(*password) : QList<Connection::Statement>();
        core::ReleaseSharedConnections();
        Connection::releaseIdleHandles(path);
        Connection::setPassword(path, presentPassword, *password, statements);
        net::write(net::kLumiNetPwd, EncodeString(*password));
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

bool CreateNetworkDatabase(const QString& path) {
    for (const char* form : {"frmDataTable", "frmWizard", "frmMail"})
        core::UnloadForm(QString::fromLatin1(form));
    // At least a one-letter name and password go into the identifier with the new password.
    if (!SetDatabasePassword(path, QString(), 2))
        return false;
    try {
        net::write(net::kLumiNetConn, net::netConnectionText(path));
        net::write(net::kLumiNetPath, path);
        core::gCnn->NetCnn();

        Connection db;
        db.open(core::gCnn->LumiCnn());
        createAccountsTable(db);
        const QString databasePassword = net::databasePassword();
        const auto entry = askSuperAdmin(db, databasePassword);
        if (!entry)
            return false;
        const QString userId = EncodeString(net::userIdentifier(entry->name, entry->password));
        const QString saId =
            EncodeString(net::superAdminIdentifier(databasePassword, entry->name, entry->password));
        storeSuperAdmin(db, *entry, userId, saId);
        logOnCreator(*entry, userId, saId);
        say(QStringLiteral("Welcome, Super-Admin_User!"));
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

} // namespace admin
