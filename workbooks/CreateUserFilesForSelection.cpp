// See CreateUserFilesForSelection.h. Grid columns by their designed positions: 0 the worksheet
// name, 1 the Select tick, 2 the folder, 9 the master workbook.
#include "workbooks/CreateUserFilesForSelection.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormControl.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/UserFileTableSync.h"

#include <QCheckBox>
#include <stdexcept>
#include <vector>

namespace workbooks {

namespace {

constexpr int kSheetColumn = 0;
constexpr int kSelectColumn = 1;
constexpr int kFolderColumn = 2;
constexpr int kMasterColumn = 9;

// Consecutive highlighted rows of one master workbook.
struct Group {
    QString masterFile;
    QStringList sheets;
};

std::vector<Group> groupsOf(const platform::ui::DataGrid& grid, const QList<int>& rows) {
    std::vector<Group> groups;
    for (const int row : rows) {
        if (!grid.cellValue(row, kSelectColumn).toBool() || grid.cellText(row, kFolderColumn).isEmpty())
            continue;
        const QString master = grid.cellText(row, kMasterColumn);
        if (groups.empty() || groups.back().masterFile.compare(master, Qt::CaseInsensitive) != 0)
            groups.push_back({master, {}});
        groups.back().sheets << grid.cellText(row, kSheetColumn);
    }
    return groups;
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

} // namespace

qint32 CreateUserFilesForSelection(bool copyValues) {
    try {
        QWidget& form = core::ActiveFormOrThrow();
        const auto& grid = core::FormControl<platform::ui::DataGrid>(form, "dtWorksheets");
        const QList<int> highlighted = grid.selectedRows();
        if (highlighted.isEmpty())
            return 4;
        const bool overwriteAll = core::FormControl<QCheckBox>(form, "chkOWAll").isChecked();
        const std::vector<Group> groups = groupsOf(grid, highlighted);
        int total = 0;
        for (const Group& group : groups)
            total += int(group.sheets.size());
        int offset = 0;
        for (const Group& group : groups) {
            const qint32 result = CreateUserFiles(group.masterFile, overwriteAll, true, copyValues,
                                                  group.sheets, total, offset);
            if (result == kCutFinished || result == kCutCancelled || result == kCutFailed)
                SyncUserFileTable();
            else if (result == kCutMasterMissing)
                tell(kMasterMissingText);
            else if (result == kCutMasterInUse)
                tell(kMasterInUseText);
            offset += int(group.sheets.size());
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        core::frmWait::unload();
    }
    return 0;
}

} // namespace workbooks
