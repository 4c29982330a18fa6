// The configuration window: the program's options, the four reference tables of the master
// database in editing grids (authors and mail robots, folder names, users, stock mail
// messages) and the database tools, on the five tabs of SSTab1.
//
// One instance at a time, shown modeless (ShowConfigure in AdminServices.h). It registers
// itself as gOptions.ActiveForm when it loads, on every tab change and whenever one of its
// grids gets the focus, so the shared grid routines (ConfigGrids.h) work on its grids. Each
// grid stores a finished cell edit at once through its change procedure (dtAdmin_Change,
// ...), which the main window's context-menu commands also run after a paste or a cut.
//
// The options are read from the settings when the window opens and written when it closes,
// however it closes (OK, Cancel, the close box, an unload by another part); OK first insists
// on exactly one default author. The database tools refuse to run while a long run is under
// way. Logged on to a network database, only the super-administrator has the tools that clear,
// compact, replace or delete databases. Inside the add-in the window is the add-in's edition
// (ConfigureAddIn.h).
#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace platform::ui {
class EditGrid;
}

namespace admin {

class frmConfigure : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmConfigure");

    // Tabs of SSTab1.
    enum Tab { kOptionsTab = 0, kAdminTab = 1, kFolderNamesTab = 2, kUsersTab = 3, kMessagesTab = 4 };

    static inline const QString kDefaultAuthorText = QStringLiteral("Select one Admin user as the default.");
    static inline const QString kFileNotFoundText = QStringLiteral("File not found.");
    static inline const QString kOldDatabaseDeletedText =
        QStringLiteral("File 'oldlumimaster.mdb' has been deleted.");
    // The web help page behind the help line below the tabs.
    static inline const QString kWebHelpAddress =
        QStringLiteral("https://www.lumivane.example/help/configure.html");

    // Loads the window (without showing it), owned by owner when given.
    explicit frmConfigure(QWidget* owner = nullptr);
    ~frmConfigure() override;

    // The loaded window, or null.
    static frmConfigure* loaded();

    QTabWidget* SSTab1() const { return SSTab1_; }
    platform::ui::EditGrid* dtAdmin() const { return dtAdmin_; }
    platform::ui::EditGrid* dtFolderNames() const { return dtFolderNames_; }
    platform::ui::EditGrid* dtUsersData() const { return dtUsersData_; }
    platform::ui::EditGrid* dtMsgs() const { return dtMsgs_; }
    // The grid of a tab (null for the options tab).
    platform::ui::EditGrid* gridOfTab(int tab) const;

    // The change procedures of the four grids: each stores the row of the cell that changed,
    // as after a typed edit.
    void dtAdmin_Change(int row, int column);
    void dtFolderNames_Change(int row, int column);
    void dtUsersData_Change(int row, int column);
    void dtMsgs_Change(int row, int column);

    // Fills every grid again from its table (after tables were emptied or swept elsewhere).
    void refillGrids();

    // Buttons and check boxes, as the user's click runs them.
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void cmdGetLists_Click();
    void cmdInstall_Click();
    void cmdCompact_Click();
    void cmdBackup_Click();
    void cmdRestore_Click();
    void cmdSweep_Click();
    void cmdKillOldDB_Click();
    void cmdClearDB_Click();
    void cmdAddAdmin_Click();
    void cmdDeleteAdmin_Click();
    void cmdAddDept_Click();
    void cmdDelFolderNames_Click();
    void cmdAddUsers_Click();
    void cmdDelUsers_Click();
    void cmdAddMsg_Click();
    void cmdDelMsg_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QWidget* buildOptionsTab();
    QWidget* buildAdminTab();
    QWidget* buildFolderNamesTab();
    QWidget* buildUsersTab();
    QWidget* buildMessagesTab();
    QWidget* buildButtonRow();
    platform::ui::EditGrid* makeGrid(const QString& name, const QString& tip);
    void connectOptionBoxes();

    void Form_Load();
    void readOptions();
    void readAddInOptions();
    void writeAddInOptions() const;
    void readCloseWindowOption();
    int savedTab() const;
    void writeOptions() const;
    void applyNetworkRights();
    void Form_Unload();

    void becomeActiveForm();
    void SSTab1_Click(int tab);
    void fillGridOfTab(int tab);
    void showAuthorsView();
    void showRobotsView();
    void chkAuthors_Click(bool ticked);
    void chkRobot_Click(bool ticked);
    void chkSubject_Click(bool ticked);
    void chkBody_Click(bool ticked);
    void keepNameBeforeEdit(platform::ui::EditGrid* grid, int row, int column);

    QTabWidget* SSTab1_ = nullptr;
    // Options tab.
    QCheckBox* chkMailMsgBox_ = nullptr;
    QCheckBox* chkRetrieve_ = nullptr;
    QCheckBox* chkMailCompose_ = nullptr;
    QCheckBox* chkColor_ = nullptr;
    QCheckBox* chkResize_ = nullptr;
    QCheckBox* chkScrollBars_ = nullptr;
    QCheckBox* chkSound_ = nullptr;
    QCheckBox* chkTlBarPics_ = nullptr;
    QCheckBox* chkCloseWin_ = nullptr;
    QCheckBox* chkCOMAI_ = nullptr;
    QCheckBox* chkAutoPrompt_ = nullptr;
    QRadioButton* optLocal_ = nullptr;
    QRadioButton* optNetwork_ = nullptr;
    QPushButton* cmdKillOldDB_ = nullptr;
    QPushButton* cmdCompact_ = nullptr;
    QPushButton* cmdClearDB_ = nullptr;
    QPushButton* cmdSweep_ = nullptr;
    QPushButton* cmdBackup_ = nullptr;
    QPushButton* cmdRestore_ = nullptr;
    QPushButton* cmdInstall_ = nullptr;
    // Grid tabs.
    platform::ui::EditGrid* dtAdmin_ = nullptr;
    QCheckBox* chkAuthors_ = nullptr;
    QCheckBox* chkRobot_ = nullptr;
    platform::ui::EditGrid* dtFolderNames_ = nullptr;
    platform::ui::EditGrid* dtUsersData_ = nullptr;
    QPushButton* cmdGetLists_ = nullptr;
    platform::ui::EditGrid* dtMsgs_ = nullptr;
    QCheckBox* chkSubject_ = nullptr;
    QCheckBox* chkBody_ = nullptr;
    // Below the tabs.
    QLabel* lblTitle_ = nullptr;
    QLabel* agtxtHelp_ = nullptr;
    bool unloaded_ = false;
};

} // namespace admin
