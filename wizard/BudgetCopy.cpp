// See BudgetCopy.h.
#include "wizard/BudgetCopy.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "wizard/RelinkAllBudgets.h"

namespace wizard {

namespace {

using platform::db::Connection;
using platform::db::DbError;
using platform::db::Recordset;

const QString kKeyPrefix = QStringLiteral("ID_"); // the target numbers these columns itself
const QString kBudgetsTable = QStringLiteral("Budgets");
// The budget's tables in the order they are copied.
const QStringList kBudgetTables = {QStringLiteral("UserFileTablesData"), QStringLiteral("Worksheets"),
                                   QStringLiteral("MasterFiles")};

bool isKeyColumn(const QString& name) {
    return name.startsWith(kKeyPrefix, Qt::CaseSensitive);
}

// The budget named by the row: "" for Null, an empty name and the placeholder row.
QString budgetNameOf(const Recordset& row) {
    const QVariant name = row.value(0);
    if (!name.isValid() || name.isNull() || name.toString() == platform::sys::kPlaceholderText)
        return {};
    return name.toString();
}

bool targetHasBudget(Connection& target, const QString& budget) {
    return target
               .scalar(QStringLiteral("SELECT COUNT(*) FROM Budgets WHERE Budget_Name = ? COLLATE NOCASE_U"),
                       {budget})
               .toLongLong() > 0;
}

// The logged-on administrator's grant column among the grant columns behind the standard ones,
// or -1.
int grantColumn(const Recordset& budgets) {
    const QString administrator = core::gOptions->LumiAdminUserName;
    if (administrator.isEmpty())
        return -1;
    for (int j = kStandardBudgetColumns; j < budgets.fieldCount(); ++j)
        if (budgets.fieldName(j).compare(administrator, Qt::CaseInsensitive) == 0)
            return j;
    return -1;
}

// Adds one target row whose non-key column j takes the source's column j, for the first
// `columns` columns of the target.
void appendByPosition(const Recordset& source, Recordset& target, int columns, const QString& table) {
    if (source.fieldCount() < columns)
        throw DbError(DbError::kItemNotFound,
                      QStringLiteral("The table '%1' of the source database has %2 columns where the target "
                                     "needs %3.")
                          .arg(table, QString::number(source.fieldCount()), QString::number(columns)));
    target.addNew();
    for (int j = 0; j < columns; ++j)
        if (!isKeyColumn(target.fieldName(j)))
            target.setValue(j, source.value(j));
}

void copyTable(const QString& table, const QString& budget, Connection& source, Connection& target) {
    Recordset rows = Recordset::open(source,
                                     QStringLiteral("SELECT * FROM ") + platform::db::quoteIdentifier(table) +
                                         QStringLiteral(" WHERE Budget_Name = ? COLLATE NOCASE_U"),
                                     {budget});
    Recordset copies = Recordset::forAppend(target, table);
    for (; !rows.eof(); rows.moveNext()) {
        appendByPosition(rows, copies, copies.fieldCount(), table);
        copies.update();
    }
}

} // namespace

bool CopyBudgetRecord(Recordset& sourceRow, Connection& source, Connection& target) {
    Q_UNUSED(source);
    try {
        if (!sourceRow.isOpen() || sourceRow.recordCount() != 1) {
            platform::ui::msgBox(kBudgetRecordNotFoundText, platform::ui::Buttons::Ok, core::appTitle());
            return false;
        }
        sourceRow.moveFirst();
        const QString budget = budgetNameOf(sourceRow);
        if (budget.isEmpty()) {
            platform::ui::msgBox(kBudgetRecordNotFoundText, platform::ui::Buttons::Ok, core::appTitle());
            return false;
        }
        platform::db::WriteStep write(target, QStringLiteral("budget_copy"));
        if (targetHasBudget(target, budget))
            return false;
        Recordset budgets = Recordset::forAppend(target, kBudgetsTable);
        const int grant = core::gOptions->LocalToNet ? grantColumn(budgets) : -1;
        if (core::gOptions->LocalToNet && grant < 0)
            return false;
        appendByPosition(sourceRow, budgets, kStandardBudgetColumns, kBudgetsTable);
        if (grant >= 0)
            budgets.setValue(grant, core::gOptions->LumiAUID);
        budgets.update();
        write.commit();
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

bool CopyBudgetTables(Recordset& sourceRow, Connection& source, Connection& target) {
    try {
        const QString budget = budgetNameOf(sourceRow);
        if (budget.isEmpty())
            throw DbError(DbError::kNoCurrentRow, kBudgetRecordNotFoundText);
        platform::db::WriteStep write(target, QStringLiteral("budget_copy"));
        for (const QString& table : kBudgetTables)
            copyTable(table, budget, source, target);
        RelinkMasterFileIds(budget, target);
        write.commit();
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

} // namespace wizard
