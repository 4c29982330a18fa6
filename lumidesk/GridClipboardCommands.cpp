// See GridClipboardCommands.h.
#include "lumidesk/GridClipboardCommands.h"

#include "admin/frmConfigure.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WizardControl.h"
#include "wizard/frmWizard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QTabWidget>
#include <optional>

namespace lumidesk {

namespace {

using admin::frmConfigure;

// The cell of the configuration window that the commands work on.
struct ConfigCell {
    platform::ui::EditGrid* grid;
    int row;
    int column;
};

std::optional<ConfigCell> configCell() {
    const frmConfigure* window = frmConfigure::loaded();
    if (!window)
        return std::nullopt;
    const int tab = window->SSTab1()->currentIndex();
    platform::ui::EditGrid* grid = window->gridOfTab(tab);
    if (!grid)
        return std::nullopt;
    const bool oneColumn = tab == frmConfigure::kFolderNamesTab || tab == frmConfigure::kMessagesTab;
    return ConfigCell{grid, grid->currentRow(), oneColumn ? 0 : grid->currentColumn()};
}

template <class Command> void onConfigCell(Command&& command) {
    try {
        if (const std::optional<ConfigCell> cell = configCell())
            command(*cell);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace

void mnuPopupCutfrmConfig_Click() {
    onConfigCell([](const ConfigCell& cell) {
        QGuiApplication::clipboard()->setText(cell.grid->cellText(cell.row, cell.column));
        cell.grid->editCell(cell.row, cell.column, QString());
    });
}

void mnuPopupCopyfrmConfig_Click() {
    onConfigCell([](const ConfigCell& cell) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(cell.grid->cellText(cell.row, cell.column));
    });
}

void mnuPopupPastefrmConfig_Click() {
    onConfigCell([](const ConfigCell& cell) {
        cell.grid->editCell(cell.row, cell.column, QGuiApplication::clipboard()->text());
    });
}

// The wizard's commands act on its page 5 only: Copy takes the user list's current name,
// Paste gives it to the assignment grid's current cell while that grid is the active control.
void mnuPopupCopyfrmWizard_Click() {
    const wizard::frmWizard* form = wizard::frmWizard::loaded();
    if (!form || form->EZWiz()->currentPage() != 5)
        return;
    const platform::ui::EditGrid& list = *form->dtUsersData();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(list.cellText(list.currentRow(), list.currentColumn()));
}

void mnuPopupPastefrmWizard_Click() {
    wizard::frmWizard* form = wizard::frmWizard::loaded();
    if (!form || form->EZWiz()->currentPage() != 5 || form->activeGrid() != form->dtUFAssign())
        return;
    try {
        // A name goes into the User Name column only, never over a file or folder name.
        platform::ui::EditGrid& grid = *form->dtUFAssign();
        if (grid.currentColumn() != wizard::frmWizard::kAssignUserName)
            return;
        grid.editCell(grid.currentRow(), grid.currentColumn(), QGuiApplication::clipboard()->text());
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace lumidesk
