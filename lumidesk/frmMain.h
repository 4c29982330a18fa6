// The main window of the desktop program: the multiple-document window inside which the
// program's data windows open, with the menu bar that starts all work, the toolbar, the
// status bar with the database mode, and the Set Budget Context menu with one item per
// budget. Workbook files dropped onto it go to the QuickStart window. There is one instance,
// gMainForm, made by the start-up; closing it closes the help windows, saves its place and
// ends the program.
//
// Menu items and toolbar buttons carry their names as objectName ("mnuFind", "tbToolBar"),
// the toolbar buttons their keys ("New", "DataTable") as data. The commands are public so
// the windows that share the menu bar (and tests) can run them.
#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QUrl>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QPushButton;

namespace lumidesk {

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Lumivane");
    static inline const QString kLocalStatus = QStringLiteral("You are working local.");
    static inline const QString kLoggedOnStatus = QStringLiteral(" is logged on to LumiNet.");
    static inline const QString kViewTurnedOffText =
        QStringLiteral("This view has been turned off by the SuperAdmin User.");

    // Builds the window and runs its load (settings, menus, budget list, status text); the
    // caller shows it or keeps it hidden behind the splash.
    frmMain();
    ~frmMain() override;

    // Menu items and menus by name; null for an unknown name.
    QAction* menuItem(const QString& name) const;
    QMenu* menu(const QString& name) const;
    // The budget items of Edit > Set Budget Context, index 1 upwards, in menu order.
    QList<QAction*> budgetItems() const;
    // The toolbar button of a key.
    QAction* toolbarButton(const QString& key) const;

    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* tbToolBar() const { return tbToolBar_; }
    QPushButton* picQuickStart() const { return picQuickStart_; }
    QPushButton* picLoadSample() const { return picLoadSample_; }
    QString statusText() const;
    void setStatusText(const QString& text);

    // Edit > Find follows the data windows it searches: enabled when one opens, disabled when
    // one unloads.
    void setFindEnabled(bool enabled);

    // Opens a data window as a child window of the main window.
    QMdiSubWindow* addChildWindow(QWidget* window);

    // Commands of the window.
    void mnuClose_Click();
    void mnuFileExit_Click();
    void mnuExplorerView_Click();
    void mnuMasterFilesView_Click();
    void mnuViewToolbar_Click();
    void mnuShowControls_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuHelpContents_Click();
    void mnuHelpIndex_Click();
    void mnuHelpSearch_Click();
    void mnuHelpAbout_Click();
    // Budget context menu: the item of that index (1 upwards), and "Nothing".
    void mnuBudgets_Click(int index);
    void mnuNothing_Click();
    // The other commands of the menus and the picture buttons.
    void mnuNewBudget_Click();
    void mnuPrint_Click();
    void mnuFind_Click();
    void mnuErrorsTable_Click();
    void mnuManageBudgets_Click();
    void mnuCUF_Click();
    void mnuAssignUF_Click();
    void mnuQSWiz_Click();
    void mnuUpdateSystem_Click();
    void mnuCheckUserActivity_Click();
    void mnuSendMail_Click();
    void mnuGetMail_Click();
    void mnuOptions_Click();
    void mnuEmailLists_Click();
    void mnuDelAllDataTables_Click();
    void mnuFolderNames_Click();
    void mnuClrUsersData_Click();
    void mnuClearSendMail_Click();
    void mnuClearErrorsTable_Click();
    void mnuCompactDatabase_Click();
    void mnuSamples_Click();
    void picLoadSample_Click();
    void picQuickStart_Click();
    // The toolbar's one handler, by the button's key; a key without a command does nothing.
    void tbToolBar_ButtonClick(const QString& key);
    // Files dropped onto the window (MDIForm_OLEDragDrop): the workbooks among them go to the
    // QuickStart window.
    void dropFiles(const QList<QUrl>& urls);

signals:
    // The window has unloaded: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tileChildWindows(Qt::Orientation stacking);
    void buildMenus();
    void showMenuPictures();
    QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* addItem(QMenu* parent, const QString& name, const QString& caption, void (frmMain::*command)());
    void buildToolbar();
    void buildPictureButtons();
    void placePictureButtons();
    void buildStatusBar();
    void fillWindowMenu();

    void MDIForm_Load();
    void loadToolbarState();
    void loadBudgetList();
    void loadPictureButtons();
    void loadNetworkMenus();
    void loadStatusText();
    void MDIForm_QueryUnload();
    void MDIForm_Unload();

    void showWizardOnPage(qint16 page, bool enableFind);
    void showQuickStart(const QString& caption, const QString& path);
    void busy(bool on);

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* tbToolBar_ = nullptr;
    QWidget* pictureSpacer_ = nullptr;
    QAction* quickStartPlace_ = nullptr;
    QAction* loadSamplePlace_ = nullptr;
    QPushButton* picQuickStart_ = nullptr;
    QPushButton* picLoadSample_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* datePanel_ = nullptr;
    QLabel* timePanel_ = nullptr;
    QTimer* clock_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* nothingItem_ = nullptr;
    QAction* budgetTemplate_ = nullptr;
    QMap<QString, QAction*> items_;
    QMap<QString, QMenu*> menus_;
    QMap<QString, QAction*> buttons_;
    QList<QAction*> budgetItems_;
    bool unloaded_ = false;
};

// The program's one main window, made by the start-up.
extern QPointer<frmMain> gMainForm;

} // namespace lumidesk
