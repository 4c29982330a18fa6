// See BudgetDeletion.h.
#include "wizard/BudgetDeletion.h"

#include "core/ErrorMessage.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"

#include <QStringList>

namespace wizard {

namespace {

// The dependent tables, users of a row first.
const QStringList kDependentTables = {QStringLiteral("UserFileTablesData"), QStringLiteral("Worksheets"),
                                      QStringLiteral("MasterFiles")};

} // namespace

bool DeleteBudgetData(const QString& budget, platform::db::Connection& cnn) {
    if (budget.isEmpty() || budget.compare(platform::sys::kPlaceholderText, Qt::CaseInsensitive) == 0)
        return false;
    try {
        platform::db::WriteStep step(cnn, QStringLiteral("budget_data_deletion"));
        for (const QString& table : kDependentTables)
            cnn.execute(QStringLiteral("DELETE FROM %1 WHERE Budget_Name = ? COLLATE %2")
                            .arg(table, platform::db::kNoCaseCollation),
                        {budget});
        step.commit();
        return true;
    } catch (const platform::db::DbError& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

bool DeleteBudget(const QString& budget, platform::db::Connection& cnn) {
    try {
        platform::db::WriteStep step(cnn, QStringLiteral("budget_deletion"));
        if (!DeleteBudgetData(budget, cnn))
            return false;
        cnn.execute(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name = ? COLLATE %1")
                        .arg(platform::db::kNoCaseCollation),
                    {budget});
        if (cnn.scalar(QStringLiteral("SELECT count(*) FROM Budgets")).toLongLong() == 0)
            cnn.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES (?)"),
                        {platform::sys::kPlaceholderText});
        step.commit();
        return true;
    } catch (const platform::db::DbError& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

} // namespace wizard
