// See UserFileAssignment.h. Failures show the generic error message; the cell save then
// switches the spreadsheet program's screen updating on.
#include "lumicell/buildbudget/UserFileAssignment.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/NameCompletion.h"
#include "core/cDB2.h"
#include "lumicell/AddIn.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/EditGrid.h"

#include <optional>

namespace lumicell {

namespace {

using platform::db::Recordset;

const QString kCreatedUserFiles = QStringLiteral(
    "SELECT User_Filename FROM Worksheets WHERE Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
    "AND Master_File = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid");
const QString kRegisteredUserFile = QStringLiteral(
    "SELECT ID_UFTD, User_Filename, Folder_Name, Users FROM UserFileTablesData WHERE User_Filename = ? "
    "COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U AND User_Filename <> ? ORDER BY rowid "
    "LIMIT 1");

} // namespace

void LoadUserFileAssignGrid(platform::ui::EditGrid& dtUFAssign) {
    try {
        const cOptions& options = *gOptions();
        core::cDB2 query;
        query.SetConnection();
        Recordset files = Recordset::open(query.Cnn(), kCreatedUserFiles,
                                          {options.MasterFilename, options.BudgetNameContext});
        if (files.eof())
            return;
        dtUFAssign.resetRows();
        for (; !files.eof(); files.moveNext()) {
            Recordset row =
                Recordset::open(query.Cnn(), kRegisteredUserFile,
                                {files.value(0), options.BudgetNameContext, platform::sys::kPlaceholderText});
            if (!row.eof())
                dtUFAssign.appendRow({row.value(1), row.value(2), row.value(3)});
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void SaveUserFileAssignCell(platform::ui::EditGrid& dtUFAssign, int row, int col) {
    cOptions& options = *gOptions();
    try {
        const QString typed = dtUFAssign.cellText(row, col);
        const QString file = dtUFAssign.cellText(row, frmBuild::kAssignFile);
        if (typed.isEmpty()) {
            dtUFAssign.setCellValue(row, col, options.BeforeEditValue); // an assignment is never emptied
        } else if (file.isEmpty()) {
            dtUFAssign.removeRow(row); // a row started below the listed ones
        } else {
            core::cDB2 query;
            query.SetConnection();
            Recordset registered =
                Recordset::open(query.Cnn(), kRegisteredUserFile,
                                {file, options.BudgetNameContext, platform::sys::kPlaceholderText});
            if (!registered.eof()) {
                const std::optional<QString> user =
                    core::CompleteName(query.Cnn(), QStringLiteral("UsersData"), QStringLiteral("Users"),
                                       typed, core::Completion::FirstFound);
                dtUFAssign.setCellValue(row, col, user ? *user : options.BeforeEditValue);
                if (user)
                    query.Cnn().execute(
                        QStringLiteral("UPDATE UserFileTablesData SET Users = ? WHERE ID_UFTD = ?"),
                        {*user, registered.value(0)});
            }
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        if (platform::sheet::Application* app = gXLApp())
            app->setScreenUpdating(true);
    }
    options.BeforeEditValue.clear();
}

} // namespace lumicell
