// See CreateUserFilesGrid.h. Each routine switches the spreadsheet program's screen updating
// off while it lists sheets and on again at every end; a failure shows the generic error
// message and leaves the rows saved before it.
#include "lumicell/buildbudget/CreateUserFilesGrid.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/NameCompletion.h"
#include "core/cDB2.h"
#include "corvakit/CorvHotLink.h"
#include "lumicell/AddIn.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/buildbudget/UserFileAssignment.h"
#include "lumicell/buildbudget/WorksheetRecordSync.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "wizard/SheetRegistration.h"
#include "wizard/SyncUserFileTable.h"
#include "workbooks/MasterFileRow.h"
#include "workbooks/WaitWindowSteps.h"

#include <QDateTime>
#include <optional>

namespace lumicell {

namespace {

using platform::db::Connection;
using platform::db::Recordset;

const QString kUpdatingText = QStringLiteral("Updating database with Worksheet names");
const QString kWritingText = QStringLiteral("Writing worksheet names to table");

cOptions& options() {
    return *gOptions();
}

// Registers the workbook first when no budget is the context (false when it stays unregistered).
bool contextChosen() {
    if (!options().BudgetNameContext.isEmpty())
        return true;
    return AddWorkbookToBudget(options().MasterFilename, options().MFPath);
}

// The master file's row in the budget context.
std::optional<qint64> masterFileKey(Connection& cnn) {
    Recordset rows =
        Recordset::open(cnn,
                        QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = ? "
                                       "COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
                                       "ORDER BY rowid"),
                        {options().MasterFilename, options().BudgetNameContext});
    if (rows.eof())
        return std::nullopt;
    return rows.value(0).toLongLong();
}

void setFolderList(frmBuild& dialog) {
    dialog.dtCUF()->setColumnList(frmBuild::kCufFolder, FolderNamesList());
    dialog.dtCUF()->refresh();
}

void enterSheets(Connection& cnn, const platform::sheet::Workbook& book, qint64 masterKey) {
    const QString masterFile = options().MasterFilename;
    const QString budget = options().BudgetNameContext;
    const workbooks::WaitWindowScope wait;
    workbooks::ShowWaitStep(masterFile, QString(), QString(), kWritingText, 0, 0);
    const std::vector<platform::sheet::Worksheet*> sheets = book.worksheets();
    int count = 0;
    for (const platform::sheet::Worksheet* sheet : sheets) {
        workbooks::ShowWaitStep(masterFile, QString(), sheet->name(), kUpdatingText, ++count,
                                int(sheets.size()));
        if (!wizard::SheetNameIsFree(cnn, sheet->name(), masterFile, budget))
            continue;
        wizard::NewSheetRow row;
        row.sheetName = sheet->name();
        row.masterFile = masterFile;
        row.budget = budget;
        row.masterFileId = masterKey;
        wizard::AddSheetRow(cnn, row);
    }
    cnn.execute(QStringLiteral("UPDATE MasterFiles SET Process_Date = ? WHERE ID_MasterFiles = ?"),
                {QDateTime::currentDateTime(), masterKey});
}

void saveCell(frmBuild& dialog, Connection& cnn, int row, int col) {
    platform::ui::EditGrid& grid = *dialog.dtCUF();
    const std::optional<qint64> record = WorksheetRecordId(cnn, grid.cellText(row, frmBuild::kCufSheet));
    if (!record)
        return;
    QVariant folder; // Null: the folder stays
    if (col == frmBuild::kCufFolder) {
        const QString typed = grid.cellText(row, frmBuild::kCufFolder);
        if (!typed.isEmpty()) {
            const std::optional<QString> found =
                core::CompleteName(cnn, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"), typed,
                                   core::Completion::FirstFound);
            grid.setCellValue(row, frmBuild::kCufFolder, found ? *found : options().BeforeEditValue);
            if (found)
                folder = *found;
        }
    } else if (!grid.cellText(row, frmBuild::kCufFolder).isEmpty()) {
        folder = grid.cellText(row, frmBuild::kCufFolder);
    }
    const int ticked = grid.cellValue(row, frmBuild::kCufSelect).toBool() ? 1 : 0;
    cnn.execute(
        QStringLiteral("UPDATE Worksheets SET Select_By_User = ?, Folder_Name = COALESCE(?, Folder_Name) "
                       "WHERE ID_Worksheets = ?"),
        {ticked, folder, *record});
}

} // namespace

QString FolderNamesList() {
    core::cDB2 query;
    query.SetConnection();
    Recordset rows = Recordset::open(query.Cnn(),
                                     QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE "
                                                    "Folder_Name <> ? AND Folder_Name <> '' ORDER BY rowid"),
                                     {platform::sys::kPlaceholderText});
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    if (names.isEmpty())
        platform::ui::msgBox(kNoFolderNamesText, platform::ui::Buttons::Ok, kNoFolderNamesTitle);
    return names.join(u'\t');
}

void RegisterWorkbookSheets(frmBuild& dialog) {
    const platform::sheet::QuietHost screen(gXLApp(), platform::sheet::Quiet::Screen);
    try {
        platform::sheet::Application* app = gXLApp();
        platform::sheet::Workbook* book = app ? app->activeWorkbook() : nullptr;
        if (!book)
            return;
        dialog.AgHyperTxt2()->setText(book->path());
        platform::ui::EditGrid& grid = *dialog.dtCUF();
        grid.resetRows();
        for (const platform::sheet::Worksheet* sheet : book->worksheets())
            grid.appendRow({0, sheet->name(), QString(), QString(), QString(), QVariant()});
        setFolderList(dialog);
        if (!contextChosen())
            return;
        core::cDB2 query;
        query.SetConnection();
        if (const std::optional<qint64> key = masterFileKey(query.Cnn()))
            enterSheets(query.Cnn(), *book, *key);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void LoadCreateUserFilesGrid(frmBuild& dialog) {
    const platform::sheet::QuietHost screen(gXLApp(), platform::sheet::Quiet::Screen);
    try {
        if (!contextChosen())
            return;
        core::cDB2 query;
        query.SetConnection();
        Recordset rows = Recordset::open(
            query.Cnn(),
            QStringLiteral(
                "SELECT Select_By_User, Worksheet_Name, Folder_Name, UF_Create_Date, UFNPath, File_Missing "
                "FROM Worksheets WHERE Master_File = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE "
                "NOCASE_U ORDER BY Worksheet_Name"),
            {options().MasterFilename, options().BudgetNameContext});
        platform::ui::EditGrid& grid = *dialog.dtCUF();
        if (!rows.eof()) {
            grid.resetRows();
            for (; !rows.eof(); rows.moveNext())
                grid.appendRow({rows.value(0).toBool() ? 1 : 0, rows.value(1), rows.value(2), rows.value(3),
                                rows.value(4), rows.value(5)});
        }
        rows.close();
        setFolderList(dialog);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void SaveCreateUserFilesCell(frmBuild& dialog, int row, int col) {
    try {
        platform::ui::EditGrid& grid = *dialog.dtCUF();
        if (grid.cellText(row, frmBuild::kCufSheet).isEmpty()) {
            grid.removeRow(row); // a row whose name was cleared leaves the grid
        } else {
            core::cDB2 query;
            query.SetConnection();
            saveCell(dialog, query.Cnn(), row, col);
        }
        options().BeforeEditValue.clear();
        wizard::SyncUserFileTable();
        LoadUserFileAssignGrid(*dialog.dtUFAssign());
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

} // namespace lumicell
