// One open workbook in the program's window: the view of its active sheet above a row of sheet
// tabs (the visible sheets, in their order). Choosing a tab activates that sheet in the workbook
// layer, which raises the application's sheet events; a sheet the program activates, adds,
// renames, moves, hides or deletes is shown in the tabs in turn. Each sheet gets its model the
// first time it is shown; a deleted sheet's model goes with it.
#pragma once

#include <QWidget>
#include <map>

class QTabBar;

namespace platform::sheet {
class Workbook;
class Worksheet;
} // namespace platform::sheet

namespace lumisheet {

class SheetModel;
class SheetView;

class WorkbookView : public QWidget {
    Q_OBJECT
public:
    WorkbookView(platform::sheet::Workbook& workbook, QWidget* parent = nullptr);

    platform::sheet::Workbook& workbook() const { return workbook_; }
    SheetView* sheetView() const { return view_; }
    QTabBar* sheetTabs() const { return tabs_; }
    // The model of the sheet shown; null for a chart sheet.
    SheetModel* shownModel() const;

    // Brings the tabs and the view in line with the workbook: its sheets and its active sheet.
    void syncToWorkbook();
    // Redraws the cells (the layer's cells changed).
    void refreshCells();

private:
    void onTabChosen(int tab);
    SheetModel* modelOf(platform::sheet::Worksheet& sheet);

    platform::sheet::Workbook& workbook_;
    SheetView* view_;
    QTabBar* tabs_;
    std::map<const platform::sheet::Worksheet*, SheetModel*> models_; // owned as children
    bool syncing_ = false;
};

} // namespace lumisheet
