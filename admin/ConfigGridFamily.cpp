// See ConfigGridFamily.h.
#include "admin/ConfigGridFamily.h"

#include "admin/ConfigGridSupport.h"
#include "admin/ConfigGrids.h"
#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "lumistore/cDelete.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"

namespace admin {

using platform::ui::EditGrid;

const ConfigGridKind& adminGridKind() {
    static const ConfigGridKind kind{kAdminGrid, kAdminName, kAdminDefaultRobot, true, true, &LoadAdminGrid};
    return kind;
}

const ConfigGridKind& folderNamesGridKind() {
    static const ConfigGridKind kind{kFolderNamesGrid, 0, 0, false, true, &LoadFolderNamesGrid};
    return kind;
}

const ConfigGridKind& usersDataGridKind() {
    static const ConfigGridKind kind{kUsersDataGrid, kUsersName, kUsersName, true, false, &LoadUsersDataGrid};
    return kind;
}

const ConfigGridKind& messagesGridKind() {
    static const ConfigGridKind kind{kMessagesGrid, 0, 0, true, true, &LoadMessagesGrid};
    return kind;
}

QList<int> requiredCellsOf(const ConfigGridKind& kind) {
    if (kind.grid == kAdminGrid)
        return detail::requiredAccountCells();
    if (kind.grid == kUsersDataGrid)
        return {kUsersName, kUsersEmail};
    return {0};
}

void AddGridRow(EditGrid& grid, const ConfigGridKind& kind) {
    detail::trapped([&] {
        if (kind.setsAddRecord && core::gOptions)
            core::gOptions->AddRecord = true;
        const int rows = grid.rowCount();
        if (rows > 0 && grid.cellText(rows - 1, kind.nameColumn).isEmpty()) {
            platform::ui::msgBox(kAddFirstText, platform::ui::Buttons::Ok, core::appTitle());
            return;
        }
        grid.addRowForTyping(kind.nameColumn, requiredCellsOf(kind));
    });
}

void DeleteGridRow(EditGrid& grid, const ConfigGridKind& kind) {
    detail::trapped([&] {
        const int row = grid.currentRow();
        if (row < 0 || row >= grid.rowCount())
            return;
        if (grid.cellText(row, kind.deleteTestColumn).isEmpty())
            return;
        const QString name = grid.cellText(row, kind.nameColumn);
        const bool messages = kind.grid == kMessagesGrid && core::gOptions && core::gOptions->Messages;
        const QString recordType = kind.grid == kAdminGrid ? detail::accountKindShown() : QString();
        const qint32 result = lumistore::cDelete().DeleteLumiXLRecord(
            kind.grid, name, qint16(row), detail::masterConnection(), messages, recordType);
        switch (result) {
        case lumistore::cDelete::kDeleted:
            grid.removeRow(row);
            break;
        case lumistore::cDelete::kLastRowDeleted:
            grid.removeRow(row);
            if (kind.redrawAfterLastRow)
                grid.refresh();
            break;
        case lumistore::cDelete::kNotFound:
            // The row is not (or no longer) in its table: show what the table holds.
            kind.load();
            break;
        default: // the table's placeholder row stays
            break;
        }
    });
}

} // namespace admin
