// The Assign User Files grid of the Build Budget dialog: the created user files of the master
// file in the budget context (picked worksheets with a creation date), each with its folder and
// the user it is assigned to, from the register of user files (UserFileTablesData). Typing a
// user's name, or a part of it, assigns the file to the user of that name or the first user
// whose name holds the text, stored as the users table holds it; a text no user's name holds
// is taken back. Records are matched by their names exactly (letter case aside).
#pragma once

namespace platform::ui {
class EditGrid;
}

namespace lumicell {

// Lists the user files; a master file without created user files leaves the grid as it was.
void LoadUserFileAssignGrid(platform::ui::EditGrid& dtUFAssign);

// Stores the edited cell's user. A row whose user-file name is empty leaves the grid.
void SaveUserFileAssignCell(platform::ui::EditGrid& dtUFAssign, int row, int col);

} // namespace lumicell
