// The users grid: the budget users of UsersData with their e-mail address and folder. A user
// is found by exactly their name, without regard to case, so "bob" saved over "Bob" updates
// that one row; a changed name is stored as a new user. The folder column offers the folder
// names as its pick list, and a fragment typed there is completed to the one folder name that
// contains it.
//
// A row added for typing is stored once its name and address are in, and then stays where it
// is, with the cursor, so a folder typed next lands in that row (taken as typed, as a new
// user's folder is); the next fill of the grid (another user's edit, the tab shown again)
// sorts it in.
#include "admin/ConfigGridSupport.h"
#include "admin/ConfigGrids.h"
#include "core/NameCompletion.h"
#include "core/cOptions.h"
#include "platform/db/SqlText.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/EditGrid.h"

namespace admin {

using detail::TableQuery;
using platform::ui::EditGrid;

namespace {

// A row the Add button made: its required cells are set apart until the grid is filled again.
bool isAddedRow(const EditGrid& grid, int row) {
    return grid.isRequiredCell(row, kUsersName);
}

// The folder names in alphabetical order, joined by tabs, as the folder column's pick list.
// The placeholder of an empty table is no folder to offer.
QString folderPickList() {
    TableQuery query =
        TableQuery::forShowing(QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name IS NOT "
                                              "NULL ORDER BY Folder_Name COLLATE NOCASE_U"));
    QStringList names;
    if (query.hasRows())
        for (auto& rows = query.rows(); !rows.eof(); rows.moveNext())
            if (rows.value(0).toString() != platform::sys::kPlaceholderText)
                names << rows.value(0).toString();
    return names.join(QLatin1Char('\t'));
}

void loadUsersGrid(EditGrid& grid) {
    grid.resetRows();
    const QString folders = folderPickList();
    TableQuery query = TableQuery::forShowing(
        QStringLiteral("SELECT Users, Email_Address, Folder_Name FROM UsersData WHERE Users IS NOT NULL "
                       "ORDER BY Users COLLATE NOCASE_U"));
    if (query.hasRows())
        for (auto& rows = query.rows(); !rows.eof(); rows.moveNext())
            grid.appendRow({rows.value(0), rows.value(1), rows.value(2)});
    grid.setColumnList(kUsersFolder, folders);
    grid.refresh();
}

// The folder names that contain the typed text (any case), at most two of them. The text is
// matched literally: "%" and "_" are no wildcards.
QStringList foldersContaining(platform::db::Connection& connection, const QString& typed) {
    return core::NamesContaining(connection, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"),
                                 typed, 2);
}

// Stores the row, unless the folder cell of a stored user was emptied or names no folder.
void storeUser(EditGrid& grid, int row, int column, bool newRow) {
    const QString name = grid.cellText(row, kUsersName);
    TableQuery query = TableQuery::forChanging(
        QStringLiteral(
            "SELECT Users, Email_Address, Folder_Name FROM UsersData WHERE Users = ? COLLATE NOCASE_U"),
        {name});
    auto& user = query.rows();
    const bool existing = query.hasRows();
    if (existing && !newRow && column == kUsersFolder) {
        const QString typed = grid.cellText(row, kUsersFolder);
        if (typed.isEmpty())
            return;
        // One folder containing the text completes it; with several it is stored as typed.
        const QStringList folders = foldersContaining(query.connection(), typed);
        if (folders.isEmpty())
            return;
        if (folders.size() == 1)
            grid.setCellValue(row, kUsersFolder, folders.front());
    }
    if (!existing)
        user.addNew();
    user.setValue(QStringLiteral("Users"), name);
    user.setValue(QStringLiteral("Email_Address"), grid.cellText(row, kUsersEmail));
    user.setValue(QStringLiteral("Folder_Name"), grid.cellText(row, kUsersFolder));
    user.update();
}

void saveUsersRow(EditGrid& grid, int row, int column) {
    if (grid.cellText(row, kUsersName).isEmpty() || grid.cellText(row, kUsersEmail).isEmpty())
        return;
    if (detail::refusedAddress(grid, row, kUsersEmail))
        return;
    const bool newRow = isAddedRow(grid, row);
    storeUser(grid, row, column, newRow);
    if (core::gOptions)
        core::gOptions->AddRecord = false;
    // A new row stays in place with the cursor, for its folder; the next fill sorts it in.
    if (newRow)
        return;
    // Stored or not, the grid shows what the table holds.
    loadUsersGrid(grid);
}

} // namespace

void LoadUsersDataGrid() {
    detail::trapped([] {
        if (EditGrid* grid = detail::activeGrid(kUsersDataGrid))
            loadUsersGrid(*grid);
    });
}

void SaveUsersDataCell(int row, int column) {
    detail::trapped([row, column] {
        if (EditGrid* grid = detail::activeGrid(kUsersDataGrid))
            saveUsersRow(*grid, row, column);
    });
}

} // namespace admin
