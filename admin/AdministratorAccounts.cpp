// See AdministratorAccounts.h.
#include "admin/AdministratorAccounts.h"

#include "admin/AccountRules.h"
#include "admin/BudgetPermissions.h"
#include "admin/NetworkSettings.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Schema.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/Ui.h"

#include <QPointer>
#include <optional>

namespace admin {

using core::DecodeString;
using core::EncodeString;

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::ui::DataGrid;

constexpr double kRevealSeconds = 5.0;
const QString kAccountsQuery =
    QStringLiteral("SELECT AdminUser_Name,AdminUser_Pwd,AdminUser_ID,AdminUser_Email,SuperAdminUser_ID FROM "
                   "AdminUsers WHERE "
                   "AdminUser_Name is not null");

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

platform::ui::DataGridColumn gridColumn(const QString& heading, int widthTwips, bool editable) {
    platform::ui::DataGridColumn column;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.editable = editable;
    return column;
}

void setColumns(DataGrid& grid) {
    grid.setColumns({gridColumn(QStringLiteral("AdminUser Name"), 1800, true),
                     gridColumn(QStringLiteral("AdminUser Pwd"), 2400, true),
                     gridColumn(QStringLiteral("AdminUser ID"), 2400, false),
                     gridColumn(QStringLiteral("Email Address"), 2400, true),
                     gridColumn(QStringLiteral("SAID"), 900, false)});
}

bool isOwnAccount(const QString& name) {
    return name.compare(core::gOptions->LumiAdminUserName, Qt::CaseInsensitive) == 0;
}

// The grant column of an account among the columns after the standard ones; "" when none.
QString grantColumnOf(Connection& db, const QString& account) {
    const QStringList columns = BudgetsColumns(db);
    for (qsizetype i = kBudgetsStandardColumnCount; i < columns.size(); ++i)
        if (columns[i].compare(account, Qt::CaseInsensitive) == 0)
            return columns[i];
    return {};
}

// Every grant the account holds becomes token ("" takes them all away).
void rewriteGrants(Connection& db, const QString& account, const QString& token) {
    const QString column = grantColumnOf(db, account);
    if (column.isEmpty())
        return;
    const QString quoted = platform::db::quoteIdentifier(column);
    db.execute(QStringLiteral("UPDATE Budgets SET ") + quoted + QStringLiteral(" = ? WHERE ") + quoted +
                   QStringLiteral(" IS NOT NULL AND ") + quoted + QStringLiteral(" <> ''"),
               {token});
}

// The row to store: the plain password, and whether the row is a new account.
struct RowToStore {
    QString name;
    QString password;
    QString email;
    bool isNew = false;
    bool passwordChanged = false;
};

// Reads the stored account of the name (exact, letter case counts) outside any transaction.
std::optional<Recordset> storedAccount(Connection& db, const QString& name) {
    for (Recordset rows = Recordset::open(db, kAccountsQuery); !rows.eof(); rows.moveNext())
        if (rows.value(0).toString() == name)
            return std::optional<Recordset>(std::move(rows));
    return std::nullopt;
}

QString refusalOf(const RowToStore& row, Connection& db) {
    const QString identifier =
        isOwnAccount(row.name) ? net::superAdminIdentifier(net::databasePassword(), row.name, row.password)
                               : net::userIdentifier(row.name, row.password);
    for (const QString& refusal :
         {row.isNew ? AccountNameRefusal(row.name, BudgetsColumns(db)) : QString(),
          PasswordRefusal(row.password), EmailRefusal(row.email), IdentifierLengthRefusal(identifier)})
        if (!refusal.isEmpty())
            return refusal;
    return {};
}

// The logged-on administrator changed their own password: the identifiers the program keeps
// for the logon follow.
void followOwnPassword(const QString& password, const QString& userId, const QString& saId) {
    core::cOptions& options = *core::gOptions;
    options.LumiAUID = userId;
    options.LumiSAID = saId;
    net::write(net::kLumiAUID, userId);
    net::write(net::kLumiSAID, saId);
    net::write(net::kAdminUserPwd, EncodeString(password));
}

void writeRow(Connection& db, const RowToStore& row, std::optional<bool> keepGrants) {
    const QString userId = EncodeString(net::userIdentifier(row.name, row.password));
    const bool own = isOwnAccount(row.name);
    const QString saId =
        own ? EncodeString(net::superAdminIdentifier(net::databasePassword(), row.name, row.password))
            : QString();
    platform::db::Transaction work(db);
    if (row.isNew) {
        db.execute(QStringLiteral("INSERT INTO AdminUsers (AdminUser_Name, AdminUser_Pwd, AdminUser_ID, "
                                  "AdminUser_Email) VALUES (?, ?, ?, ?)"),
                   {row.name, EncodeString(row.password), userId, row.email});
        db.addColumn(QStringLiteral("Budgets"),
                     platform::db::ColumnSpec::text(row.name, net::kScrambledColumnSize));
    } else {
        if (keepGrants)
            rewriteGrants(db, row.name, *keepGrants ? userId : QString());
        db.execute(
            QStringLiteral("UPDATE AdminUsers SET AdminUser_Pwd = ?, AdminUser_ID = ?, AdminUser_Email = ? "
                           "WHERE AdminUser_Name = ?"),
            {EncodeString(row.password), userId, row.email, row.name});
    }
    if (own)
        db.execute(QStringLiteral("UPDATE AdminUsers SET SuperAdminUser_ID = ? WHERE AdminUser_Name = ?"),
                   {saId, row.name});
    work.commit();
    if (own && row.passwordChanged)
        followOwnPassword(row.password, userId, saId);
}

} // namespace

void FillAdminUsersGrid(DataGrid& grid, bool showPassword, int row) {
    try {
        setColumns(grid);
        core::cDB2 query;
        Recordset rows;
        if (query.GetRecordset(kAccountsQuery, rows) != core::QueryObject::kRows) {
            say(QStringLiteral("Add AdminUsers names to the Super-Admin Configure screen."));
            return;
        }
        for (int count = 0; !rows.eof(); rows.moveNext(), ++count) {
            const QString password = rows.value(1).toString();
            grid.appendRow({rows.value(0), showPassword && count == row ? DecodeString(password) : password,
                            rows.value(2), rows.value(3), QVariant()});
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void AddAdminUserRow(platform::ui::EditGrid& grid) {
    core::gOptions->AddRecord = true;
    if (grid.rowCount() > 0 && grid.cellText(grid.rowCount() - 1, kAccountName).isEmpty()) {
        say(QStringLiteral("Enter a value before the next 'Add'."));
        return;
    }
    if (grid.columnCount() == 0)
        setColumns(grid);
    grid.addRowForTyping(kAccountName, {kAccountName, kAccountPassword, kAccountEmail});
}

void StoreAdminUserRow(const AccountsContext& context, int r) {
    DataGrid& grid = context.grid;
    RowToStore row;
    row.name = grid.cellText(r, kAccountName);
    if (row.name.isEmpty())
        return;
    const QString passwordCell = grid.cellText(r, kAccountPassword);
    if (!passwordCell.isEmpty()) {
        const QString decoded = DecodeString(passwordCell);
        row.password = context.typedPasswords.contains(r) || decoded.isEmpty() ? passwordCell : decoded;
        grid.setCellValue(r, kAccountId, EncodeString(net::userIdentifier(row.name, row.password)));
    }
    row.email = grid.cellText(r, kAccountEmail);
    if (row.password.isEmpty() || row.email.isEmpty())
        return;
    try {
        Connection db;
        db.open(core::gCnn->LumiCnn());
        std::optional<Recordset> stored =
            core::gOptions->AddRecord ? std::nullopt : storedAccount(db, row.name);
        row.isNew = !stored;
        if (const QString refusal = refusalOf(row, db); !refusal.isEmpty()) {
            say(refusal);
            return;
        }
        std::optional<bool> keepGrants;
        if (stored) {
            const QString storedPassword = stored->value(1).toString();
            row.passwordChanged = storedPassword.isEmpty() || DecodeString(storedPassword) != row.password;
            if (!storedPassword.isEmpty() && DecodeString(storedPassword) != row.password) {
                const auto answer = platform::ui::msgBox(
                    QStringLiteral("You are editing ") + row.name +
                        QStringLiteral("'s password.  Do you want to preserve the budget permissions?"),
                    platform::ui::Buttons::YesNoCancel, core::appTitle(), platform::ui::Icon::Question);
                if (answer == platform::ui::Answer::Cancel)
                    return;
                keepGrants = answer == platform::ui::Answer::Yes;
            }
            stored.reset();
        }
        writeRow(db, row, keepGrants);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return;
    }
    core::gOptions->AddRecord = false;
    context.typedPasswords.clear();
    FillAdminUsersGrid(grid, false, -1);
    context.refillPermissions();
}

void DeleteAdminUserRow(const AccountsContext& context) {
    DataGrid& grid = context.grid;
    const int r = grid.currentRow();
    if (r < 0 || r >= grid.rowCount())
        return;
    const QString name = grid.cellText(r, kAccountName);
    if (core::gOptions->SAAuth && isOwnAccount(name)) {
        say(QStringLiteral("You can't delete the Super-Admin User account."));
        return;
    }
    try {
        Connection db;
        db.open(core::gCnn->LumiCnn());
        platform::db::Transaction work(db);
        const qint64 deleted =
            name.isEmpty()
                ? 0
                : db.execute(QStringLiteral("DELETE FROM AdminUsers WHERE AdminUser_Name = ?"), {name});
        const bool nameStillUsed =
            db.scalar(QStringLiteral("SELECT count(*) FROM AdminUsers WHERE AdminUser_Name = ? COLLATE %1")
                          .arg(platform::db::kNoCaseCollation),
                      {name})
                .toLongLong() > 0;
        // Only the grant column of the account just deleted goes, never a standard column.
        if (deleted > 0 && !nameStillUsed)
            if (const QString column = grantColumnOf(db, name); !column.isEmpty())
                db.dropColumn(QStringLiteral("Budgets"), column);
        work.commit();
        grid.removeRow(r);
        context.typedPasswords.clear();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return;
    }
    context.refillPermissions();
}

void RevealPassword(DataGrid& grid, int row, int column) {
    if (column != kAccountPassword || row < 0)
        return;
    FillAdminUsersGrid(grid, true, row);
    // The console may close during the pause.
    const QPointer<DataGrid> alive(&grid);
    platform::ui::EventPump::pause(kRevealSeconds);
    if (alive)
        FillAdminUsersGrid(*alive, false, -1);
}

} // namespace admin
