// See WizardGrids.h.
#include "wizard/WizardGrids.h"

#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"
#include "wizard/frmWizard.h"

namespace wizard {

namespace {

const QString kMasterFilesFields = QStringLiteral(
    "SELECT Master_File,Templates,Folder_Name,Process_Date,Drive,Path,MF_Modified_Date,Budget_Name,"
    "ID_MasterFiles,WBOpen_Password,WBWrite_Password,MFPwdsSet FROM MasterFiles");
const QString kWorksheetsFields = QStringLiteral(
    "SELECT "
    "Worksheet_Name,Select_By_User,Folder_Name,File_Missing,UF_Create_Date,UF_Modified_Date,User_Filename,"
    "UFNPath,Master_File,MF_Table_Create_Date,MF_Table_Modify_Date,MF_Table_Name,MF_Table_Changed_Date,"
    "Budget_Name,"
    "MasterFiles_ID,WS_Password,Corrupt_Error,UF_Copy_Values,ID_Worksheets FROM Worksheets");
const QString kAssignFields = QStringLiteral(
    "SELECT User_Filename,Users,Folder_Name,Budget_Name,Select_By_User,ID_UFTD FROM UserFileTablesData");

// The budget the pages show; no value: every budget.
std::optional<QString> shownBudget() {
    const QString context = core::gOptions ? core::gOptions->BudgetNameContext : QString();
    if (!context.isEmpty())
        return context;
    if (core::gOptions && core::gOptions->ViewMode == QStringLiteral("Context"))
        return QStringLiteral("HOME");
    return std::nullopt;
}

// Adds "<column> = ?" to the conditions when there is a value to match.
void matchName(QStringList& conditions, QVariantList& params, const QString& column,
               const std::optional<QString>& name) {
    if (!name)
        return;
    conditions << column + QStringLiteral(" = ? COLLATE NOCASE_U");
    params << *name;
}

RecordSource source(const QString& fields, QStringList conditions, const QVariantList& params,
                    const QString& order) {
    QString sql = fields;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + order + QStringLiteral(" COLLATE NOCASE_U");
    return {sql, params};
}

} // namespace

WizardGridSources ContextGridSources(const QString& filter) {
    const std::optional<QString> budget = shownBudget();
    WizardGridSources sources;
    {
        QStringList where;
        QVariantList params;
        matchName(where, params, QStringLiteral("Budget_Name"), budget);
        sources.masterFiles = source(kMasterFilesFields, where, params, QStringLiteral("Master_File"));
    }
    {
        QStringList where;
        QVariantList params;
        matchName(where, params, QStringLiteral("Budget_Name"), budget);
        if (!filter.isEmpty() && filter != QStringLiteral("All"))
            matchName(where, params, QStringLiteral("Master_File"), filter);
        sources.worksheets = source(kWorksheetsFields, where, params, QStringLiteral("Worksheet_Name"));
    }
    {
        QStringList where{QStringLiteral("Select_By_User = 1")};
        QVariantList params;
        matchName(where, params, QStringLiteral("Budget_Name"), budget);
        sources.assignments = source(kAssignFields, where, params, QStringLiteral("User_Filename"));
    }
    return sources;
}

QStringList ContextMasterFiles() {
    QStringList names;
    // The context text as it stands ("Nothing" included), as the pages' record sources take it.
    const QString budget = core::gOptions ? core::gOptions->BudgetNameContext : QString();
    if (budget.isEmpty())
        return names;
    core::cDB2 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(QStringLiteral("SELECT Master_File FROM MasterFiles WHERE Master_File IS NOT NULL "
                                          "AND Budget_Name = ? COLLATE NOCASE_U"),
                           rows, {budget}) != core::QueryObject::kRows)
        return names;
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

QStringList WizardUserNames() {
    QStringList names;
    core::cDB2 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(QStringLiteral("SELECT Users FROM UsersData WHERE Users IS NOT NULL"), rows) !=
        core::QueryObject::kRows)
        return names;
    for (; !rows.eof(); rows.moveNext()) {
        const QString name = rows.value(0).toString();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

bool FillWizardUserList() {
    frmWizard* form = frmWizard::loaded();
    if (!form)
        return false;
    platform::ui::EditGrid& list = *form->dtUsersData();
    list.resetRows();
    const QStringList names = WizardUserNames();
    for (const QString& name : names)
        list.appendRow({name});
    list.refresh();
    return !names.isEmpty();
}

} // namespace wizard
