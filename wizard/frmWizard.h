// The Setup Budget Wizard: five pages that follow a budget's life. 1 the budgets (choose the
// context, add, delete, edit the author), 2 a new budget, 3 its master workbooks, 4 their
// worksheets and the user files built from them, 5 the assignment of user files to users.
//
// One instance at a time, shown modeless and owned by the main window. It opens on the page
// in gOptions.WizPageRequest. Pages 3 to 5 show the rows of the budget context only, matched
// by its exact name (letter case aside); page 1 lists every budget. Each grid is bound to its
// data control (datBudgetsRS ...) so an edit is stored in its row at once; the handlers below
// check and complete what the grids store. Key, name and grant cells are read-only: editing
// them would orphan the rows keyed by them.
//
// It registers itself as gOptions.ActiveForm when it is activated, so the main window's Find,
// Print and context-menu commands work on its grids.
#pragma once

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class EditGrid;
class WizardControl;
} // namespace platform::ui

namespace core {
class DataControl;
class GridBinding;
} // namespace core

namespace wizard {

class frmWizard : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmWizard");
    static inline const QString kBaseCaption = QStringLiteral("Setup Budget Wizard");
    static constexpr int kPageCount = 5;

    // Grid columns the handlers address.
    enum BudgetsColumn { kBudgetName = 0, kBudgetAuthor = 5, kPermission = 8 };
    enum MasterFilesColumn {
        kMasterFile = 0,
        kMasterSelect = 1,
        kMasterPwdsSet = 7,
        kMasterOpenPwd = 8,
        kMasterWritePwd = 9,
        kMasterBudget = 10,
        kMasterId = 11
    };
    enum WorksheetsColumn {
        kSheetName = 0,
        kSheetSelect = 1,
        kSheetFolder = 2,
        kSheetCreateDate = 5,
        kSheetPwd = 6,
        kSheetUserFile = 7,
        kSheetMasterFile = 9,
    };
    // The one column of page 5 that takes a user's name (typed, picked, pasted or dropped).
    enum AssignColumn { kAssignUserName = 2 };

    // Loads the window (not shown), owned by owner; the load runs at once.
    explicit frmWizard(QWidget* owner = nullptr);
    ~frmWizard() override;

    // The loaded window, or null.
    static frmWizard* loaded();

    // Controls, by their names.
    platform::ui::WizardControl* EZWiz() const { return EZWiz_; }
    platform::ui::EditGrid* dtBudgets() const { return dtBudgets_; }
    platform::ui::EditGrid* dtMasterFiles() const { return dtMasterFiles_; }
    platform::ui::EditGrid* dtWorksheets() const { return dtWorksheets_; }
    platform::ui::EditGrid* dtUFAssign() const { return dtUFAssign_; }
    platform::ui::EditGrid* dtUsersData() const { return dtUsersData_; }
    QLineEdit* tbxBudWiz1() const { return tbxBudWiz1_; }
    QLineEdit* tbxAdminName() const { return tbxAdminName_; }
    QComboBox* cbxAdminNames() const { return cbxAdminNames_; }
    QComboBox* cbxWorksheets() const { return cbxWorksheets_; }
    QCheckBox* chkBudWiz1() const { return chkBudWiz1_; }
    QCheckBox* chkBudWiz3() const { return chkBudWiz3_; }
    QCheckBox* chkSelectAll() const { return chkSelectAll_; }
    QCheckBox* chkBuildAllFiles() const { return chkBuildAllFiles_; }
    QCheckBox* chkCopyType() const { return chkCopyType_; }
    QCheckBox* chkOWAll() const { return chkOWAll_; }
    QPushButton* cmdUserList() const { return cmdUserList_; }
    QLabel* lblInstruction(int page) const;

    core::GridBinding& budgets() const { return *budgets_; }
    core::GridBinding& masterFiles() const { return *masterFiles_; }
    core::GridBinding& worksheets() const { return *worksheets_; }
    core::GridBinding& assignments() const { return *assignments_; }

    // The caption after a move or a change of the budget context.
    void EZWiz_PageChanged();
    // Re-binds pages 3 to 5 to the budget context; filter narrows page 4 to one master
    // workbook ("All" or empty: every one).
    void LoadWizardGrids(const QString& filter);
    // The master-workbook filter: "All" and the names given, or hidden without names.
    void FillMasterFileList(const QStringList& masterFiles);

    // Page navigation, as the wizard control raises it.
    void EZWiz_BeforeNext(bool& cancel);
    void EZWiz_BeforeBack(bool& cancel);
    void EZWiz_Finish();
    void EZWiz_Cancel();
    void EZWiz_GoToRequestedPage();

    // Pages 1 and 2.
    void cmdAddBudget_Click();
    void tbxBudWiz1_LostFocus();
    void dtBudgets_CellClick(int row, int column);
    void dtBudgets_Change(int row, int column);

    // Pages 3 and 4.
    void cmdAddBF_Click();
    void dtMasterFiles_Change(int row, int column);
    void dtMasterFiles_CellClick(int row, int column, bool heading);
    void dtWorksheets_Change(int row, int column);
    void dtWorksheets_CellClick(int row, int column, bool heading);
    void cbxWorksheets_Change();
    void cmdBuildFiles_Click();

    // Page 5: an assignment typed, pasted or dropped, and the user list shown or hidden.
    void dtUFAssign_Change(int row, int column);
    void dtUFAssign_OLEDragDrop(const QString& text, int row, int column);
    void cmdUserList_Click();
    // The grid that had the focus last (the window's active control among its grids).
    platform::ui::EditGrid* activeGrid() const;

    // The Delete buttons of pages 1, 3 and 4.
    void cmdDelBudget_Click();
    void cmdDelMF_Click();
    void cmdDelWS_Click();

    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QWidget* buildBudgetsPage();
    QWidget* buildNewBudgetPage();
    QWidget* buildMasterFilesPage();
    QWidget* buildWorksheetsPage();
    QWidget* buildAssignPage();
    platform::ui::EditGrid* makeGrid(const QString& name);
    core::DataControl* makeDataControl(const QString& name);
    void setGridColumns();
    void Form_Load();
    void Form_Unload();
    void fillAuthorCombo();
    void showGrants();
    void becomeActiveForm();
    bool leaveNewBudgetPage();
    void enableUserNameDrags();

    platform::ui::WizardControl* EZWiz_ = nullptr;
    QList<QLabel*> instructions_;
    platform::ui::EditGrid* dtBudgets_ = nullptr;
    platform::ui::EditGrid* dtMasterFiles_ = nullptr;
    platform::ui::EditGrid* dtWorksheets_ = nullptr;
    platform::ui::EditGrid* dtUFAssign_ = nullptr;
    platform::ui::EditGrid* dtUsersData_ = nullptr;
    QLineEdit* tbxBudWiz1_ = nullptr;
    QLineEdit* tbxAdminName_ = nullptr;
    QComboBox* cbxAdminNames_ = nullptr;
    QComboBox* cbxWorksheets_ = nullptr;
    QCheckBox* chkBudWiz1_ = nullptr;
    QCheckBox* chkBudWiz3_ = nullptr;
    QCheckBox* chkSelectAll_ = nullptr;
    QCheckBox* chkBuildAllFiles_ = nullptr;
    QCheckBox* chkCopyType_ = nullptr;
    QCheckBox* chkOWAll_ = nullptr;
    QPushButton* cmdUserList_ = nullptr;
    QLabel* lblBudgetsRecord_ = nullptr;
    QLabel* lblMasterFilesRecord_ = nullptr;
    QLabel* lblWorksheetsRecord_ = nullptr;
    core::DataControl* datBudgetsRS_ = nullptr;
    core::DataControl* datMasterFilesRS_ = nullptr;
    core::DataControl* datWorksheetsRS_ = nullptr;
    core::DataControl* datUFAssignRS_ = nullptr;
    core::DataControl* datAdminRS_ = nullptr;
    core::GridBinding* budgets_ = nullptr;
    core::GridBinding* masterFiles_ = nullptr;
    core::GridBinding* worksheets_ = nullptr;
    core::GridBinding* assignments_ = nullptr;
    QPointer<platform::ui::EditGrid> activeGrid_;
    bool unloaded_ = false;
};

} // namespace wizard
