// The admin grid: authors and mail robots of the Admin table, one kind at a time
// (gOptions.AdminControl), and the default check that the configuration window's OK runs.
// An account is found by its name without regard to case within its kind, so an author and
// a robot may share a name; a changed name is stored as a new account.
#include "admin/ConfigGridSupport.h"
#include "admin/ConfigGrids.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"

namespace admin {

using detail::sameName;
using detail::TableQuery;
using platform::ui::EditGrid;

namespace {

using detail::accountKindShown;
using detail::showingAuthors;

const QString kAuthor = QStringLiteral("Author");
const QString kRobot = QStringLiteral("Robot");

void loadAdminGrid(EditGrid& grid) {
    grid.resetRows();
    TableQuery query = TableQuery::forShowing(
        QStringLiteral("SELECT Default_Robot, Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Server, "
                       "Pop3_Account, \"Default\", RecType FROM Admin WHERE RecType = ? COLLATE NOCASE_U "
                       "ORDER BY Admin_Name COLLATE NOCASE_U"),
        {accountKindShown()});
    if (!query.hasRows())
        return;
    for (auto& rows = query.rows(); !rows.eof(); rows.moveNext()) {
        grid.appendRow({rows.value(QStringLiteral("Default")), rows.value(QStringLiteral("Default_Robot")),
                        rows.value(QStringLiteral("Admin_Name")),
                        rows.value(QStringLiteral("Admin_Email_Address")),
                        rows.value(QStringLiteral("Mail_Server")), rows.value(QStringLiteral("Pop3_Account")),
                        rows.value(QStringLiteral("Pop3_Server"))});
    }
    // Server addresses ("host:port") are seen whole.
    grid.fitColumnsToContents();
}

// Writes the grid row into the current row of the recordset (a found account or a new one).
void writeAccount(platform::db::Recordset& account, const EditGrid& grid, int row) {
    account.setValue(QStringLiteral("Admin_Name"), grid.cellText(row, kAdminName));
    account.setValue(QStringLiteral("Admin_Email_Address"), grid.cellText(row, kAdminEmail));
    account.setValue(QStringLiteral("Mail_Server"), grid.cellText(row, kAdminMailServer));
    if (showingAuthors()) {
        account.setValue(QStringLiteral("Default"), grid.cellValue(row, kAdminDefault).toInt());
    } else {
        account.setValue(QStringLiteral("Pop3_Server"), grid.cellText(row, kAdminPop3Server));
        account.setValue(QStringLiteral("Pop3_Account"), grid.cellText(row, kAdminPop3Account));
        account.setValue(QStringLiteral("Default_Robot"), grid.cellValue(row, kAdminDefaultRobot).toInt());
    }
    account.setValue(QStringLiteral("RecType"), accountKindShown());
    account.update();
}

// After a default was stored, no other account of the kind is the default any more.
void clearOtherDefaults(platform::db::Recordset& accounts, const QString& name) {
    const QString flag = showingAuthors() ? QStringLiteral("Default") : QStringLiteral("Default_Robot");
    for (accounts.moveFirst(); !accounts.eof(); accounts.moveNext()) {
        if (sameName(accounts.value(QStringLiteral("Admin_Name")).toString(), name))
            continue;
        if (accounts.value(flag).toInt() == 0)
            continue;
        accounts.setValue(flag, 0);
        accounts.update();
    }
}

void saveAdminRow(EditGrid& grid, int row) {
    for (int required : detail::requiredAccountCells())
        if (grid.cellText(row, required).isEmpty())
            return;
    if (detail::refusedAddress(grid, row, kAdminEmail))
        return;
    const QString name = grid.cellText(row, kAdminName);
    {
        TableQuery query = TableQuery::forChanging(
            QStringLiteral("SELECT Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Server, \"Default\", "
                           "Default_Robot, Pop3_Account, RecType FROM Admin WHERE Admin_Name IS NOT NULL "
                           "AND RecType = ? COLLATE NOCASE_U"),
            {accountKindShown()});
        auto& accounts = query.rows();
        bool found = false;
        for (; !accounts.eof(); accounts.moveNext()) {
            if (sameName(accounts.value(QStringLiteral("Admin_Name")).toString(), name)) {
                found = true;
                break;
            }
        }
        if (!found)
            accounts.addNew();
        writeAccount(accounts, grid, row);
        const int defaultCell = showingAuthors() ? kAdminDefault : kAdminDefaultRobot;
        if (grid.cellValue(row, defaultCell).toInt() == 1)
            clearOtherDefaults(accounts, name);
    }
    const int lastCell = showingAuthors() ? kAdminMailServer : kAdminPop3Server;
    if (!grid.cellText(row, lastCell).isEmpty())
        loadAdminGrid(grid);
    if (core::gOptions)
        core::gOptions->AddRecord = false;
}

} // namespace

void LoadAdminGrid() {
    detail::trapped([] {
        if (EditGrid* grid = detail::activeGrid(kAdminGrid))
            loadAdminGrid(*grid);
    });
}

void SaveAdminGridCell(int row, int column) {
    Q_UNUSED(column);
    detail::trapped([row] {
        if (EditGrid* grid = detail::activeGrid(kAdminGrid))
            saveAdminRow(*grid, row);
    });
}

qint32 CheckAdminDefaults(qint32 mode) {
    qint32 result = 0;
    detail::trapped([&] {
        TableQuery query = TableQuery::forShowing(QStringLiteral("SELECT * FROM Admin"));
        if (!query.hasRows())
            return;
        int defaultAuthors = 0;
        int robots = 0;
        int defaultRobots = 0;
        for (auto& rows = query.rows(); !rows.eof(); rows.moveNext()) {
            const QString kind = rows.value(QStringLiteral("RecType")).toString();
            if (sameName(kind, kAuthor) && rows.value(QStringLiteral("Default")).toInt() != 0)
                ++defaultAuthors;
            if (sameName(kind, kRobot)) {
                ++robots;
                if (rows.value(QStringLiteral("Default_Robot")).toInt() != 0)
                    ++defaultRobots;
            }
        }
        if (mode == 0)
            result = defaultAuthors == 1 ? 0 : 1;
        else if (mode == 1)
            result = robots == 0 ? 4 : (defaultRobots == 1 ? 2 : 3);
    });
    return result;
}

} // namespace admin
