// See BudgetPermissions.h.
#include "admin/BudgetPermissions.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/StringScrambling.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"
#include "wizard/GetDefaultAuthor.h"

namespace admin {

using core::DecodeString;
using core::EncodeString;
using core::ScrambledEquals;

namespace {

using platform::db::Recordset;
using platform::ui::DataGrid;

const QString kGranted = QStringLiteral("Granted");
const QString kClickGrantCell = QStringLiteral("Click on an AdminUser cell to change permissions.");
const QString kNotAuthorized = QStringLiteral("You are not authorized to grant permissions.");
const QString kAllBudgets = QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name is not null");

QString budgetQuery() {
    return QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name = ? COLLATE %1")
        .arg(platform::db::kNoCaseCollation);
}

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// The grant column of an account in a Budgets recordset, -1 when there is none.
int grantColumn(const Recordset& budgets, const QString& account) {
    for (int i = kBudgetsStandardColumnCount; i < budgets.fieldCount(); ++i)
        if (budgets.fieldName(i).compare(account, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The budget of the grid row and the grant column of the grid column, read on query; no value
// (after the message) when the cell is no grant cell.
struct GrantCell {
    Recordset budget;
    int column = -1;
};

std::optional<GrantCell> grantCellOf(core::QueryObject& query, const DataGrid& grid, int row, int column) {
    GrantCell cell;
    if (row >= 0 && row < grid.rowCount() && column >= 0 && column < grid.columnCount() &&
        query.GetRecordset(budgetQuery(), cell.budget, {grid.cellText(row, 0)}) == core::QueryObject::kRows) {
        cell.column = grantColumn(cell.budget, grid.column(column).heading);
        if (cell.column >= 0)
            return cell;
    }
    say(kClickGrantCell);
    return std::nullopt;
}

platform::ui::DataGridColumn readOnlyColumn(const QString& heading, int widthTwips) {
    platform::ui::DataGridColumn column;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.editable = false;
    return column;
}

void refuse(int mode) {
    say(mode == 1 ? QStringLiteral("You do not have permission to browse this budget.")
                  : QStringLiteral("You do not have permissions for this budget."));
}

} // namespace

bool SetBudgetContext(const QString& budget, const QString& administrator, int& mode) {
    try {
        core::cDB3 query;
        Recordset rows;
        if (query.GetRecordset(budgetQuery(), rows, {budget}) != core::QueryObject::kRows)
            return false;
        core::cOptions& options = *core::gOptions;
        const int column = grantColumn(rows, administrator);
        const QString token = column < 0 ? QString() : rows.value(column).toString();
        if (token.isEmpty() || !ScrambledEquals(token, DecodeString(options.LumiAUID))) {
            refuse(mode);
            return false;
        }
        rows.setValue(column, EncodeString(DecodeString(options.LumiAUID)));
        rows.update();
        options.BudgetNameContext = budget;
        options.DefaultAdmin = wizard::GetDefaultAuthor(0, true);
        platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"),
                                    QStringLiteral("BudgetNameContext"), budget);
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

void FillPermissionsGrid(DataGrid& grid, bool showEncoding) {
    try {
        grid.setColumns({});
        core::cDB2 query;
        Recordset rows;
        if (query.GetRecordset(kAllBudgets, rows) == core::QueryObject::kRows) {
            QList<platform::ui::DataGridColumn> columns;
            for (const auto& [heading, width] :
                 {std::pair{"Budget Name", 2000}, {"Budget Date", 2600}, {"Budget Author", 1800}})
                columns.append(readOnlyColumn(QString::fromLatin1(heading), width));
            for (int i = kBudgetsStandardColumnCount; i < rows.fieldCount(); ++i)
                columns.append(readOnlyColumn(rows.fieldName(i), 1400));
            grid.setColumns(columns);
        }
        bool any = false;
        for (; rows.isOpen() && !rows.eof(); rows.moveNext()) {
            const QString name = rows.value(QStringLiteral("Budget_Name")).toString();
            if (name == platform::sys::kPlaceholderText)
                continue;
            QVariantList values{name, rows.value(QStringLiteral("Budget_Date")),
                                rows.value(QStringLiteral("Admin_Name"))};
            for (int i = kBudgetsStandardColumnCount; i < rows.fieldCount(); ++i) {
                const QString cell = rows.value(i).toString();
                values << (showEncoding ? cell : (cell.isEmpty() ? QString() : kGranted));
            }
            grid.appendRow(values);
            any = true;
        }
        if (!any)
            say(QStringLiteral("There is no budget data."));
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void GrantBudgetPermission(DataGrid& grid, int row, int column, bool showEncoding) {
    try {
        core::cDB2 query;
        auto cell = grantCellOf(query, grid, row, column);
        if (!cell)
            return;
        Recordset account;
        const qint32 found =
            query.GetRecordset(QStringLiteral("SELECT * FROM AdminUsers WHERE AdminUser_Name = ? COLLATE %1")
                                   .arg(platform::db::kNoCaseCollation),
                               account, {grid.column(column).heading});
        if (found != core::QueryObject::kRows && found != core::QueryObject::kNoRows) {
            say(QStringLiteral("Something is really wrong!?"));
            return;
        }
        if (found == core::QueryObject::kNoRows)
            return;
        const QString token =
            EncodeString(DecodeString(account.value(QStringLiteral("AdminUser_ID")).toString()));
        if (!core::gOptions->SAAuth) {
            say(kNotAuthorized);
            return;
        }
        grid.setCellValue(row, column, showEncoding ? token : kGranted);
        cell->budget.setValue(cell->column, token);
        cell->budget.update();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void RevokeBudgetPermission(DataGrid& grid, int row, int column) {
    try {
        core::cDB2 query;
        auto cell = grantCellOf(query, grid, row, column);
        if (!cell)
            return;
        if (!core::gOptions->SAAuth) {
            say(kNotAuthorized);
            return;
        }
        grid.setCellValue(row, column, QString());
        cell->budget.setValue(cell->column, QString());
        cell->budget.update();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

} // namespace admin
