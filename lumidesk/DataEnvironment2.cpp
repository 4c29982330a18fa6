// See DataEnvironment2.h.
#include "lumidesk/DataEnvironment2.h"

#include <memory>

namespace lumidesk {

namespace {

std::unique_ptr<DataEnvironment2> gInstance;

const QString kBudgets = QStringLiteral("SELECT * FROM BudgetsView ORDER BY Budget_Name");
const QString kMasterFiles = QStringLiteral("SELECT * FROM MasterFilesView "
                                            "WHERE Budget_Name = ? COLLATE NOCASE_U "
                                            "ORDER BY Master_File");
const QString kWorksheets = QStringLiteral("SELECT * FROM WorksheetsView "
                                           "WHERE Master_File = ? COLLATE NOCASE_U "
                                           "AND Budget_Name = ? COLLATE NOCASE_U "
                                           "ORDER BY Worksheet_Name");

} // namespace

DataEnvironment2::DataEnvironment2()
    : DataEnvironment(QStringLiteral("Lumidesk"), QStringLiteral("BudgetsView")) {}

DataEnvironment2& DataEnvironment2::instance() {
    if (!gInstance)
        gInstance = std::make_unique<DataEnvironment2>();
    return *gInstance;
}

void DataEnvironment2::release() {
    gInstance.reset();
}

bool DataEnvironment2::exists() {
    return gInstance != nullptr;
}

ShapedRowset DataEnvironment2::shape(platform::db::Connection& connection) {
    ShapedRowset budgets = select(connection, QStringLiteral("BudgetsView"), kBudgets);
    const int budgetName = budgets.fieldIndex(QStringLiteral("Budget_Name"));
    for (ShapedRow& budget : budgets.rows) {
        budget.children = select(connection, QStringLiteral("MasterFilesView"), kMasterFiles,
                                 {budget.values.value(budgetName)});
        ShapedRowset& masterFiles = budget.children;
        const int masterFile = masterFiles.fieldIndex(QStringLiteral("Master_File"));
        const int masterBudget = masterFiles.fieldIndex(QStringLiteral("Budget_Name"));
        for (ShapedRow& workbook : masterFiles.rows) {
            workbook.children =
                select(connection, QStringLiteral("WorksheetsView"), kWorksheets,
                       {workbook.values.value(masterFile), workbook.values.value(masterBudget)});
        }
    }
    return budgets;
}

} // namespace lumidesk
