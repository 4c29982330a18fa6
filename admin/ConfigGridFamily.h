// The Add and Delete buttons of the configuration grids, one family for the four of them.
// Add puts an empty row at the end for typing, unless the last row's name is still empty.
// Delete removes the cursor's row from its table through the data store library and then
// from the grid; an account is deleted by its name and its kind, so an author and a mail
// robot of one name are told apart.
#pragma once

#include <QString>

namespace platform::ui {
class EditGrid;
}

namespace admin {

inline const QString kAddFirstText = QStringLiteral("Enter a value before the next 'Add'.");

// The values by which the four grids differ.
struct ConfigGridKind {
    QString grid;            // the grid's name, also the deletion's table key
    int nameColumn;          // the cell that names the row
    int deleteTestColumn;    // Delete does nothing while this cell is empty
    bool setsAddRecord;      // Add sets gOptions.AddRecord
    bool redrawAfterLastRow; // Delete redraws the grid after deleting the table's last row
    void (*load)();          // refills the grid from its table
};

const ConfigGridKind& adminGridKind();
const ConfigGridKind& folderNamesGridKind();
const ConfigGridKind& usersDataGridKind();
const ConfigGridKind& messagesGridKind();

// The cells of a new row that must be filled before it is stored.
QList<int> requiredCellsOf(const ConfigGridKind& kind);

void AddGridRow(platform::ui::EditGrid& grid, const ConfigGridKind& kind);
void DeleteGridRow(platform::ui::EditGrid& grid, const ConfigGridKind& kind);

} // namespace admin
