// See StatusGrid.h. The grid shows the recordset of its data control datUFStatusRS; the
// folder list is filled from datUFStatControlsRS, which holds the unfiltered query.
#include "lumidesk/StatusGrid.h"

#include "core/AppTitle.h"
#include "core/DataControl.h"
#include "core/ErrorMessage.h"
#include "core/RunTrapped.h"
#include "core/SystemOps.h"
#include "core/cOptions.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/frmDataTable.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"
#include "wizard/OpenWorkbookInExcel.h"
#include "workbooks/WorkbookServices.h"

#include <QCheckBox>
#include <QLineEdit>

namespace lumidesk {

namespace {

using platform::db::Recordset;
using platform::ui::DataGrid;

const QString kHome = QStringLiteral("HOME");
const QString kRuntime = QStringLiteral("Runtime");

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

// The explorer whose controls raised the event: the active window when it is the explorer,
// else the loaded explorer.
frmDataTable* activeExplorer() {
    if (core::gOptions) {
        if (auto* form = qobject_cast<frmDataTable*>(core::gOptions->ActiveForm.data()))
            return form;
    }
    return frmDataTable::loaded();
}

// The context a query filters on: "HOME" in place of no context on a network database
// outside the "All" view, so that an administrator limited to the context sees no budget
// before choosing one. The budget context itself is left as it is.
QString queryContext(bool ignoreCase) {
    const QString current = context();
    if (!current.isEmpty() || !core::gOptions)
        return current;
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool network = core::gOptions->DatabaseMode.compare(QStringLiteral("Network"), cs) == 0;
    const bool allView = core::gOptions->ViewMode.compare(QStringLiteral("All"), cs) == 0;
    return network && !allView ? kHome : current;
}

bool colorCellsOn() {
    const QString text =
        platform::sys::readSetting(platform::sys::settingsApplication(), QStringLiteral("Options"),
                                   QStringLiteral("ColorCells"), QStringLiteral("0"));
    return platform::sys::textToBool(text).value_or(false);
}

bool isSet(const QVariant& value) {
    return value.isValid() && !value.isNull() && value.toLongLong() != 0;
}

bool isEmptyValue(const QVariant& value) {
    return !value.isValid() || value.isNull() || value.toString().isEmpty();
}

// Holds the grid's repainting back until the end of the scope, failure or not.
class RedrawHeld {
public:
    explicit RedrawHeld(DataGrid& grid)
        : grid_(grid) {
        grid_.setRedraw(false);
    }
    ~RedrawHeld() { grid_.setRedraw(true); }
    RedrawHeld(const RedrawHeld&) = delete;
    RedrawHeld& operator=(const RedrawHeld&) = delete;

private:
    DataGrid& grid_;
};

void colourLockout(DataGrid& grid, int row, bool lockedOut) {
    grid.setCellBackground(row, frmDataTable::kLockedOut, lockedOut ? kRed : kGreen);
}

// Fills the folder list from the unfiltered source: the folders of the context's rows (of
// every row without a context), each once.
void refillFolderList(frmDataTable& form) {
    platform::ui::ComboList& list = *form.cbxFolderName();
    {
        // Emptying the list is no choice of a folder.
        const QSignalBlocker quiet(&list);
        list.clearEntries();
    }
    Recordset& rows = form.datUFStatControlsRS()->Recordset();
    if (!rows.isOpen())
        return;
    const QString current = context();
    qint16 counter = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++counter) {
        const QString folder = rows.value(QStringLiteral("Folder_Name")).toString();
        form.tbxFolderName()->setText(folder);
        if (!current.isEmpty() &&
            rows.value(QStringLiteral("Budget_Name")).toString().compare(current, Qt::CaseInsensitive) != 0)
            continue;
        AddFolderComboItem(counter, folder);
    }
    rows.moveFirst();
}

QString savedFolder() {
    return platform::sys::readSetting(platform::sys::settingsApplication(), kRuntime,
                                      QStringLiteral("FolderName"));
}

void showFolderList(frmDataTable& form, bool show) {
    form.ShowFolderList(show);
}

} // namespace

StatusQuery LoadStatusQuery(const frmDataTable& form) {
    if (core::gOptions &&
        core::gOptions->DatabaseMode.compare(QStringLiteral("Network"), Qt::CaseInsensitive) == 0 &&
        core::gOptions->ViewMode.compare(QStringLiteral("All"), Qt::CaseInsensitive) != 0)
        return ContextStatusQuery(queryContext(true));
    if (form.cbxUpdateMode()->text().compare(frmDataTable::kAllFolders, Qt::CaseInsensitive) == 0)
        return ContextStatusQuery(context());
    return FolderStatusQuery(context(), form.cbxFolderName()->text());
}

void ShowStatusQuery(frmDataTable& form, const StatusQuery& query) {
    form.datUFStatusRS()->setRecordSource(query.sql, query.params);
    form.datUFStatusRS()->Refresh();
    form.dtUFStatus()->requery();
    // Dates and names are seen whole.
    form.dtUFStatus()->fitColumnsToContents();
    form.dtUFStatus()->refresh();
}

void RefreshStatusGrid() {
    frmDataTable* form = frmDataTable::loaded();
    if (!form)
        return;
    const bool allFolders = form->cbxUpdateMode()->text() == frmDataTable::kAllFolders;
    ShowStatusQuery(*form, allFolders ? ContextStatusQuery(context())
                                      : FolderStatusQuery(context(), form->cbxFolderName()->text()));
    ColorStatusGrid();
}

void ColorStatusGrid() {
    core::RunTrapped([] {
        frmDataTable* form = frmDataTable::loaded();
        if (!form || !colorCellsOn())
            return;
        Recordset& rows = form->datUFStatusRS()->Recordset();
        if (!rows.isOpen() || rows.recordCount() == 0)
            return;
        DataGrid& grid = *form->dtUFStatus();
        const RedrawHeld held(grid);
        int row = 0;
        for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++row) {
            grid.setCellBackground(row, frmDataTable::kUserFileUpdate,
                                   isSet(rows.value(QStringLiteral("UserFile_Update"))) ? kGreen : kRed);
            colourLockout(grid, row, isSet(rows.value(QStringLiteral("Lockout_User_Updates"))));
            grid.setCellBackground(row, frmDataTable::kEmailSent,
                                   isEmptyValue(rows.value(QStringLiteral("Email_Sent"))) ? kYellow : kGreen);
            grid.setCellBackground(row, frmDataTable::kDueDate,
                                   isEmptyValue(rows.value(QStringLiteral("Due_Date"))) ? kWhite : kGreen);
        }
        rows.moveFirst();
    });
}

void FilterStatusByFolder() {
    core::RunTrapped([] {
        frmDataTable* form = activeExplorer();
        if (!form)
            return;
        ShowStatusQuery(*form, FolderStatusQuery(queryContext(false), form->cbxFolderName()->text()));
        ColorStatusGrid();
    });
}

void ChangeUpdateMode() {
    core::RunTrapped([] {
        frmDataTable* form = activeExplorer();
        if (!form)
            return;
        const QString mode = form->cbxUpdateMode()->text();
        if (mode == frmDataTable::kAllFolders) {
            showFolderList(*form, false);
            ShowStatusQuery(*form, ContextStatusQuery(queryContext(false)));
            ColorStatusGrid();
        } else if (mode == frmDataTable::kFolderNameMode) {
            showFolderList(*form, true);
            refillFolderList(*form);
            form->cbxFolderName()->setText(savedFolder());
            ShowStatusQuery(*form, FolderStatusQuery(queryContext(false), form->cbxFolderName()->text()));
            ColorStatusGrid();
        } else if (mode == frmDataTable::kByWBSequence || mode == frmDataTable::kByFolderSequence) {
            tell(kNotImplementedText);
        }
    });
}

void FillFolderCombo() {
    core::RunTrapped([] {
        frmDataTable* form = frmDataTable::loaded();
        if (!form)
            return;
        if (form->cbxUpdateMode()->text() == frmDataTable::kAllFolders) {
            showFolderList(*form, false);
            return;
        }
        showFolderList(*form, true);
        refillFolderList(*form);
        form->cbxFolderName()->setText(savedFolder());
    });
}

void AddFolderComboItem(qint16 counter, const QString& name) {
    core::RunTrapped([counter, &name] {
        frmDataTable* form = frmDataTable::loaded();
        if (!form)
            return;
        platform::ui::ComboList& list = *form->cbxFolderName();
        const QSignalBlocker quiet(&list); // adding an entry is no choice of a folder
        if (counter != 0) {
            for (int entry = 0; entry < list.entryCount(); ++entry) {
                if (list.entry(entry) == name)
                    return;
            }
        }
        list.addEntry(name);
    });
}

void StatusGridCellClick(int row, int column, int kind) {
    core::RunTrapped([row, column, kind] {
        frmDataTable* form = activeExplorer();
        if (!form)
            return;
        Recordset& rows = form->datUFStatusRS()->Recordset();
        if (!rows.isOpen() || rows.recordCount() == 0) {
            tell(kCompleteWizardText);
            return;
        }
        switch (column) {
        case frmDataTable::kUserFilename:
            if (!HasBudgetContext()) {
                tell(kSetBudgetContextText);
            } else if (row >= 0) {
                const QString name = form->dtUFStatus()->cellText(row, frmDataTable::kUserFilename);
                core::SetBusyPointer(11);
                wizard::OpenWorkbookInExcel(name);
                core::SetBusyPointer(0);
            }
            break;
        case frmDataTable::kUsers:
            tell(kAssignOnPage5Text);
            break;
        case frmDataTable::kSelected:
            tell(kSelectOnPage4Text);
            break;
        case frmDataTable::kUserFileUpdate:
            if (kind == 1) {
                workbooks::CheckUserFilesExist(false, 0);
                RefreshStatusGrid();
            }
            break;
        case frmDataTable::kLockedOut:
            if (kind == 1) {
                QCheckBox& state = *form->chkLockedOutState();
                if (state.isChecked()) {
                    if (ToggleLockoutCell(kLockoutRelease))
                        state.setChecked(false);
                } else if (ToggleLockoutCell(kLockoutSet)) {
                    state.setChecked(true);
                }
            }
            break;
        case frmDataTable::kDueDate:
            tell(kDueDateText);
            break;
        default:
            break;
        }
    });
}

bool ToggleLockoutCell(int mode) {
    frmDataTable* form = frmDataTable::loaded();
    if (!form || mode < kLockoutRelease || mode > kLockoutRecolour)
        return false;
    DataControl& source = *form->datUFStatusRS();
    DataGrid& grid = *form->dtUFStatus();
    const bool ok = core::RunTrapped([&] {
        const bool colour = colorCellsOn();
        Recordset& rows = source.Recordset();
        if (!rows.isOpen())
            return;
        const RedrawHeld held(grid);
        if (mode != kLockoutRecolour) {
            // Every listed row or none: the rows are written in one transaction, and the
            // grid shows the new state only once it is committed.
            platform::db::Transaction transaction(source.Connection());
            for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
                rows.setValue(QStringLiteral("Lockout_User_Updates"), mode == kLockoutSet ? 1 : 0);
                rows.update();
            }
            transaction.commit();
        }
        int row = 0;
        for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++row) {
            const bool lockedOut = isSet(rows.value(QStringLiteral("Lockout_User_Updates")));
            if (mode != kLockoutRecolour)
                grid.setCellValue(row, frmDataTable::kLockedOut, lockedOut ? 1 : 0);
            if (colour)
                colourLockout(grid, row, lockedOut);
        }
        rows.moveFirst();
        grid.refresh();
    });
    if (!ok) {
        // The rows the recordset holds may no longer be those of the database: the grid's
        // source is read again, so it shows what the database holds.
        core::RunTrapped([&] {
            Recordset& rows = source.Recordset();
            if (rows.isOpen() && rows.editPending())
                rows.cancelUpdate();
            source.Refresh();
            grid.requery();
            ColorStatusGrid();
        });
    }
    return ok;
}

} // namespace lumidesk
