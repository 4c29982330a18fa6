// The wizard's pages 3 and 4: the master workbook and worksheet grids. Passwords are stored
// scrambled only; a click shows one readable in its cell, which is never written back. The
// Pwds Set tick follows what applying or removing the passwords really did. Without a budget
// context every edit is taken back.
#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/ErrorMessage.h"
#include "core/GridBinding.h"
#include "core/NameCompletion.h"
#include "core/RunTrapped.h"
#include "core/StringScrambling.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetPages.h"
#include "wizard/GridLists.h"
#include "wizard/OpenWorkbookInExcel.h"
#include "wizard/frmWizard.h"
#include "workbooks/MasterWorkbookPasswords.h"

#include <QCheckBox>

namespace wizard {

namespace {

using platform::db::Recordset;

// Puts the scrambled form of a typed password into the cell and its field.
void scramble(core::GridBinding& binding, int row, int column, const QString& field) {
    const QString typed = binding.grid().cellText(row, column);
    if (typed.isEmpty())
        return;
    const QString scrambled = core::EncodeString(typed);
    binding.recordset().setValue(field, scrambled);
    binding.grid().setCellValue(row, column, scrambled);
}

// Shows a stored password readable in its cell, for the eye only.
void reveal(platform::ui::EditGrid& grid, int row, int column) {
    const QString stored = grid.cellText(row, column);
    if (!stored.isEmpty())
        grid.setCellValue(row, column, core::DecodeString(stored));
}

// The folder a typed name stands for: the folder of that name, else the one folder whose name
// contains the text; no value when neither exists.
std::optional<QString> resolveFolder(const QString& text) {
    try {
        core::cDB2 query;
        query.SetConnection();
        return core::CompleteName(query.Cnn(), QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"),
                                  text, core::Completion::OnlyOne);
    } catch (const std::exception&) {
        return std::nullopt; // a failed look-up completes nothing, as a look-up without rows
    }
}

void addFolderName(const QString& name) {
    core::cDB2 query;
    query.SetConnection();
    query.Cnn().execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES (?)"), {name});
}

// Sets one field in every row the grid shows, row by row, where want says so.
template <class Want>
void setEveryRow(core::GridBinding& binding, const QString& field, const QVariant& value, Want want) {
    platform::ui::EditGrid& grid = binding.grid();
    grid.setRedraw(false);
    Recordset& rows = binding.recordset();
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        if (!want(rows))
            continue;
        rows.setValue(field, value);
        rows.update();
    }
    binding.Refresh();
    grid.setRedraw(true);
}

} // namespace

void frmWizard::dtMasterFiles_Change(int row, int column) {
    if (!ContextBudgetChosen(kSetContextText)) {
        masterFiles_->undoEdit(row, column);
        return;
    }
    switch (column) {
    case kMasterPwdsSet: {
        // The flag is written by applying or removing the passwords, never by the tick.
        const bool ticked = dtMasterFiles_->cellValue(row, column).toInt() == 1;
        const QString masterFile = dtMasterFiles_->cellText(row, kMasterFile);
        const bool hasWritePassword =
            !masterFiles_->recordset().value(QStringLiteral("WBWrite_Password")).toString().isEmpty();
        masterFiles_->undoEdit(row, column);
        if (!hasWritePassword)
            return;
        core::SetBusyPointer(11);
        if (ticked)
            workbooks::ApplyMasterWorkbookPasswords(masterFile);
        else
            workbooks::RemoveMasterWorkbookPasswords(masterFile);
        core::SetBusyPointer(0);
        masterFiles_->Refresh();
        break;
    }
    case kMasterOpenPwd:
        scramble(*masterFiles_, row, column, QStringLiteral("WBOpen_Password"));
        break;
    case kMasterWritePwd:
        scramble(*masterFiles_, row, column, QStringLiteral("WBWrite_Password"));
        break;
    default:
        break;
    }
}

void frmWizard::dtMasterFiles_CellClick(int row, int column, bool heading) {
    if (heading || row < 0 || !ContextBudgetChosen(kSetContextText))
        return;
    if (column == kMasterFile) {
        core::SetBusyPointer(11);
        OpenWorkbookInExcel(dtMasterFiles_->cellText(row, kMasterFile));
        core::SetBusyPointer(0);
    } else if (column == kMasterOpenPwd || column == kMasterWritePwd) {
        reveal(*dtMasterFiles_, row, column);
    }
}

void frmWizard::dtWorksheets_Change(int row, int column) {
    if (!ContextBudgetChosen(kSetContextText)) {
        worksheets_->undoEdit(row, column);
        return;
    }
    core::RunTrapped([this, row, column] {
        Recordset& sheet = worksheets_->recordset();
        switch (column) {
        case kSheetSelect: {
            const QString userFile = sheet.value(QStringLiteral("User_Filename")).toString();
            if (userFile.isEmpty())
                break;
            core::cDB2 query;
            query.SetConnection();
            query.Cnn().execute(QStringLiteral("UPDATE UserFileTablesData SET Select_By_User = ? "
                                               "WHERE Budget_Name = ? COLLATE NOCASE_U AND User_Filename = ? "
                                               "COLLATE NOCASE_U AND Master_File = ? COLLATE NOCASE_U"),
                                {dtWorksheets_->cellValue(row, column).toInt() == 1 ? 1 : 0,
                                 sheet.value(QStringLiteral("Budget_Name")), userFile,
                                 sheet.value(QStringLiteral("Master_File"))});
            assignments_->Refresh();
            break;
        }
        case kSheetFolder: {
            const QString typed = dtWorksheets_->cellText(row, column);
            if (typed.isEmpty())
                break;
            if (const std::optional<QString> folder = resolveFolder(typed)) {
                sheet.setValue(QStringLiteral("Folder_Name"), *folder);
                dtWorksheets_->setCellValue(row, column, *folder);
            } else {
                addFolderName(typed);
                dtWorksheets_->setColumnList(kSheetFolder, GetFolderNamesList());
            }
            break;
        }
        case kSheetPwd:
            scramble(*worksheets_, row, column, QStringLiteral("WS_Password"));
            break;
        default:
            break;
        }
    });
}

void frmWizard::dtWorksheets_CellClick(int row, int column, bool heading) {
    if (!ContextBudgetChosen(kSetContextText))
        return;
    core::RunTrapped([this, row, column, heading] {
        if (heading && column == kSheetSelect) {
            const bool pick = !chkSelectAll_->isChecked();
            setEveryRow(*worksheets_, QStringLiteral("Select_By_User"), pick ? 1 : 0,
                        [](const Recordset&) { return true; });
            chkSelectAll_->setChecked(pick);
        } else if (heading && column == kSheetFolder) {
            const int current = dtWorksheets_->currentRow();
            if (current < 0)
                return;
            const QString folder = dtWorksheets_->cellText(current, kSheetFolder);
            const bool clear = folder.isEmpty();
            if (clear && !dtWorksheets_->cellText(current, kSheetCreateDate).isEmpty())
                return;
            setEveryRow(*worksheets_, QStringLiteral("Folder_Name"), clear ? QVariant() : QVariant(folder),
                        [clear](const Recordset& rows) {
                            return rows.value(QStringLiteral("Select_By_User")).toInt() == 1 &&
                                   (clear || rows.value(QStringLiteral("Folder_Name")).toString().isEmpty());
                        });
        } else if (heading || row < 0) {
            return;
        } else if (column == kSheetPwd) {
            reveal(*dtWorksheets_, row, column);
        } else if (column == kSheetUserFile) {
            const QString path = dtWorksheets_->cellText(row, kSheetUserFile + 1);
            if (path.isEmpty())
                return;
            core::SetBusyPointer(11);
            OpenWorkbookFile(path);
            core::SetBusyPointer(0);
        } else if (column == kSheetMasterFile) {
            LoadWizardGrids(dtWorksheets_->cellText(row, kSheetMasterFile));
        }
    });
}

} // namespace wizard
