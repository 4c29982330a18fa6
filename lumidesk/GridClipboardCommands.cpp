// See GridClipboardCommands.h.
#include "lumidesk/GridClipboardCommands.h"

#include "admin/frmConfigure.h"
#include "core/AppTitle.h"
#include "lumidesk/ReportFailure.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>
#include <QTabWidget>
#include <optional>

namespace lumidesk {

namespace {

using admin::frmConfigure;

void notAvailable() {
    platform::ui::msgBox(
        QStringLiteral("Cut, copy and paste of grid cells is not available yet in this version of "
                       "Lumidesk."),
        platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

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
        ReportFailure(error);
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

void mnuPopupCopyfrmWizard_Click() {
    notAvailable();
}
void mnuPopupPastefrmWizard_Click() {
    notAvailable();
}

} // namespace lumidesk
