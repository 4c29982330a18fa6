// The two one-column grids: folder names (FolderNames) and stock mail messages (the subjects
// of Subject or the body texts of BodyText, as gOptions.Messages says). Both store an edited
// cell by renaming the row that holds the text the cell had before the edit
// (gOptions.BeforeEditValue, compared without regard to case), or by adding a row when none
// does. Users, worksheets and user files filed under a renamed folder keep the old name.
#include "admin/ConfigGridSupport.h"
#include "admin/ConfigGrids.h"
#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"

namespace admin {

using detail::TableQuery;
using platform::ui::EditGrid;

namespace {

// A one-column table and the grid that shows it.
struct NameList {
    QString grid;
    QString table;
    QString column;
};

const NameList kFolderNames{kFolderNamesGrid, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name")};

NameList messageList() {
    if (!core::gOptions || core::gOptions->Messages)
        return {kMessagesGrid, QStringLiteral("Subject"), QStringLiteral("Subject")};
    return {kMessagesGrid, QStringLiteral("BodyText"), QStringLiteral("Body_Text")};
}

// The table's names in alphabetical order; the placeholder of an empty table is shown.
TableQuery namesOf(const NameList& list) {
    return TableQuery::forShowing(QStringLiteral("SELECT %1 FROM %2 WHERE %1 IS NOT NULL ORDER BY %1 COLLATE "
                                                 "NOCASE_U")
                                      .arg(list.column, list.table));
}

void fill(EditGrid& grid, TableQuery& names) {
    grid.resetRows();
    for (auto& rows = names.rows(); !rows.eof(); rows.moveNext())
        grid.appendRow({rows.value(0)});
}

// Stores the text as the row named by the text before the edit, or as a new row.
void storeRenamed(const NameList& list, const QString& text) {
    const QString before = core::gOptions ? core::gOptions->BeforeEditValue : QString();
    TableQuery query = TableQuery::forChanging(
        QStringLiteral("SELECT %1 FROM %2 WHERE %1 IS NOT NULL").arg(list.column, list.table));
    auto& rows = query.rows();
    bool found = false;
    for (; !rows.eof(); rows.moveNext()) {
        if (detail::sameName(rows.value(0).toString(), before)) {
            found = true;
            break;
        }
    }
    if (!found)
        rows.addNew();
    rows.setValue(0, text);
    rows.update();
}

} // namespace

void LoadFolderNamesGrid() {
    detail::trapped([] {
        EditGrid* grid = detail::activeGrid(kFolderNamesGrid);
        if (!grid)
            return;
        // Without rows the grid keeps what it showed.
        TableQuery names = namesOf(kFolderNames);
        if (names.hasRows())
            fill(*grid, names);
    });
}

void SaveFolderNameCell(int row, int column) {
    Q_UNUSED(column);
    detail::trapped([row] {
        EditGrid* grid = detail::activeGrid(kFolderNamesGrid);
        if (!grid)
            return;
        storeRenamed(kFolderNames, grid->cellText(row, 0));
        LoadFolderNamesGrid();
    });
}

void LoadMessagesGrid() {
    detail::trapped([] {
        EditGrid* grid = detail::activeGrid(kMessagesGrid);
        if (!grid)
            return;
        TableQuery names = namesOf(messageList());
        fill(*grid, names);
    });
}

void SaveMessageCell(int row, int column) {
    Q_UNUSED(column);
    detail::trapped([row] {
        EditGrid* grid = detail::activeGrid(kMessagesGrid);
        if (!grid)
            return;
        const QString text = grid->cellText(row, 0);
        if (text.size() > kMessageMaxLength) {
            platform::ui::msgBox(kMessageTooLongText, platform::ui::Buttons::Ok, core::appTitle());
            return;
        }
        storeRenamed(messageList(), text);
        LoadMessagesGrid();
        if (core::gOptions)
            core::gOptions->AddRecord = false;
    });
}

} // namespace admin
