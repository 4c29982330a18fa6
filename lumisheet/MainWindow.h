// The program's window: a menu bar (File; the add-in's own menu while an add-in is loaded), a
// formula bar with the name box, and a tab per open workbook. It follows the Application: a
// workbook that is opened (by the user, the command line or the add-in) gets its tab, a closing
// one loses it, the active workbook's tab is current, and the window's title names the active
// workbook ("[Read-Only]" after it while another program holds its file). While the program
// switches screen updating off, the window is frozen and shows the cells as they are once it is
// switched on again.
#pragma once

#include "platform/sheet/CellAddress.h"

#include <QMainWindow>
#include <functional>

class QLineEdit;
class QMenu;
class QTabWidget;

namespace platform::sheet {
class Application;
class Workbook;
class Worksheet;
} // namespace platform::sheet

namespace lumisheet {

class AddInHost;
class WorkbookView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // addIn: the loaded add-in whose commands the add-in menu offers; null for none.
    MainWindow(platform::sheet::Application& app, AddInHost* addIn, QWidget* parent = nullptr);

    platform::sheet::Application& application() const { return app_; }
    QTabWidget* workbookTabs() const { return workbooks_; }
    QLineEdit* nameBox() const { return nameBox_; }
    QLineEdit* formulaBar() const { return formulaBar_; }
    QMenu* addInMenu() const { return addInMenu_; }
    // The view of an open workbook; null when it has none.
    WorkbookView* viewOf(const platform::sheet::Workbook& workbook) const;
    WorkbookView* activeView() const;

    // The File menu's commands.
    void newWorkbook();
    void openWorkbook();
    bool saveActive();
    bool saveActiveAs();
    bool closeActive();
    // Closes every workbook as Close does; false when one of them stayed open (Cancel).
    bool closeAll();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildFormulaBar();
    void onWorkbookOpened(platform::sheet::Workbook* workbook);
    void onWorkbookClosing(platform::sheet::Workbook* workbook);
    void onWorkbookActivated(platform::sheet::Workbook* workbook);
    void onTabChosen(int tab);
    void onScreenUpdating(bool on);
    void onCurrentCell(platform::sheet::CellRef cell);
    void enterFormula();
    void goToName();
    void updateTitle();
    bool saveActiveWith(const std::function<bool(platform::sheet::Workbook&)>& save);

    platform::sheet::Application& app_;
    AddInHost* addIn_;
    QTabWidget* workbooks_ = nullptr;
    QLineEdit* nameBox_ = nullptr;
    QLineEdit* formulaBar_ = nullptr;
    QMenu* addInMenu_ = nullptr;
    platform::sheet::CellRef currentCell_;
    bool followingApplication_ = false;
};

} // namespace lumisheet
