// The Budgets Explorer: the desktop program's working window. At the top the budget tree
// (budgets, their master workbooks, their worksheets, from DataEnvironment2), below it the
// status grid of the budget context's user files (StatusGrid.h), and below that the
// optional update controls, from which the administrator starts an update run, fetches
// returned user files by mail and resets the mail status.
//
// One program-wide instance (instance(), loaded()); the main window shows it as a child
// window. While it is loaded gOptions.DataTableIsRunning is True. Its load brings the user
// files' activity flags up to date, fills the tree, the lists and the grid; its unload saves
// its settings (update mode, folder, lock-out toggle, "Save pwd" and the scrambled mailbox
// password) and switches Edit > Find of the main window off.
//
// A budget node's label can be edited in the tree, which renames the budget; the other
// nodes cannot be edited.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class ComboList;
class DataGrid;
class ExplorerTree;
struct ExplorerRequest;
enum class ClickArea;
enum class ChangeOrigin;
} // namespace platform::ui

namespace core {
class DataControl;
}

namespace lumidesk {

class ControlResizer;
using core::DataControl;

class frmDataTable : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmDataTable");

    // Status grid columns.
    static constexpr int kUserFilename = 0;
    static constexpr int kUsers = 1;
    static constexpr int kSelected = 2;
    static constexpr int kEmailSent = 3;
    static constexpr int kUserFileUpdate = 4;
    static constexpr int kLockedOut = 5;
    static constexpr int kDueDate = 6;
    static constexpr int kBudgetName = 7;
    // Hidden columns: the row's key, its master workbook and folder.
    static constexpr int kIdUftd = 8;
    static constexpr int kMasterFile = 9;
    static constexpr int kFolderName = 10;

    // Design sizes in twips.
    static constexpr int kWidthTwips = 12600;
    static constexpr int kHeightTwips = 8700;
    static constexpr int kGridHeightWithControlsTwips = 3045;
    static constexpr int kGridHeightWithoutControlsTwips = 4465;

    // Entries of the update-mode and change-mode lists.
    static inline const QString kAllFolders = QStringLiteral("All Folders");
    static inline const QString kFolderNameMode = QStringLiteral("Folder Name");
    static inline const QString kByWBSequence = QStringLiteral("By WB Sequence");
    static inline const QString kByFolderSequence = QStringLiteral("By Folder Sequence");
    static inline const QStringList kChangeModes{
        QStringLiteral("Accept changes"), QStringLiteral("Preview changes"), QStringLiteral("Edit changes")};

    // Loads the window (the load steps run here); owner: the main window.
    explicit frmDataTable(QWidget* owner = nullptr);
    ~frmDataTable() override;

    // The loaded window, or null; never loads it.
    static frmDataTable* loaded();
    // The loaded window, loading it (not shown) when it is not loaded.
    static frmDataTable* instance(QWidget* owner = nullptr);
    // Shows the window modeless, loading it when needed: as a child window of the main
    // window when that is loaded, else as a window of its own.
    static frmDataTable* Display();

    platform::ui::ExplorerTree* CorvExplorer1() const { return CorvExplorer1_; }
    QGroupBox* fmeUserFiles() const { return fmeUserFiles_; }
    platform::ui::DataGrid* dtUFStatus() const { return dtUFStatus_; }
    DataControl* datUFStatusRS() const { return datUFStatusRS_; }
    DataControl* datUFStatControlsRS() const { return datUFStatControlsRS_; }
    QLineEdit* tbxFolderName() const { return tbxFolderName_; }
    QCheckBox* chkLockedOutState() const { return chkLockedOutState_; }
    QGroupBox* fmeUpdateControls() const { return fmeUpdateControls_; }
    platform::ui::ComboList* cbxUpdateMode() const { return cbxUpdateMode_; }
    platform::ui::ComboList* cbxFolderName() const { return cbxFolderName_; }
    platform::ui::ComboList* cbxChgeDataMode() const { return cbxChgeDataMode_; }
    QPushButton* cmdUpdateMF() const { return cmdUpdateMF_; }
    QPushButton* cmdClearDueDate() const { return cmdClearDueDate_; }
    QLineEdit* tbxPassword() const { return tbxPassword_; }
    QCheckBox* chkSavePW() const { return chkSavePW_; }
    QPushButton* cmdGetMail() const { return cmdGetMail_; }
    ControlResizer* CorvResizer1() const { return CorvResizer1_; }

    // "Budgets Explorer - [<context>] [Database:= <mode>]".
    static QString Caption(const QString& context, const QString& databaseMode);
    // "Context is  <context>".
    static QString TreeCaption(const QString& context);
    // Rebuilds the window and tree captions from the budget context and database mode.
    void SetContextCaptions();

    // Shows the update controls with the grid at its designed height, or hides them and
    // makes the grid taller.
    void ShowUpdateControls(bool show);
    // Shows and enables the folder list with its label, or hides and disables them.
    void ShowFolderList(bool show);

    // Fills the tree anew from DataEnvironment2.
    void LoadTree();
    // The budget a tree node belongs to, as the tree's source read it: a budget node's own
    // name even after its label was edited. Empty for a node of no budget ("HOME").
    QString NodeBudget(int node) const;
    // 0 for a budget node, 1 for a master workbook, 2 for a worksheet; -1 outside the tree.
    int NodeLevel(int node) const;

    // Event handlers.
    void Form_Activate();
    void cmdUpdateMF_Click();
    void cmdClearDueDate_Click();
    void cmdGetMail_Click();
    void cbxUpdateMode_Change();
    void cbxFolderName_Change();
    void dtUFStatus_Change(int row, int column);
    void dtUFStatus_CellClick(int row, int column, int kind);
    void CorvExplorer1_OpenNode(int node);
    void CorvExplorer1_NodeSelecting(platform::ui::ExplorerRequest* request);
    void CorvExplorer1_CheckPermission(platform::ui::ExplorerRequest* request);
    void CorvExplorer1_CheckBudgetName(platform::ui::ExplorerRequest* request);
    void CorvExplorer1_NodeRenamed(int node);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildUpdateControls();
    void buildStatusGrid();
    void connectHandlers();
    void Form_Load();
    // closing: unloaded by closing the window (not by destroying it unclosed).
    void Form_Unload(bool closing);
    void fillUpdateModeList();
    void fillChangeModeList();
    void becomeActiveForm();
    void addTreeNode(const QString& text, int parent, int level, const QString& budget, int budgetRow);

    platform::ui::ExplorerTree* CorvExplorer1_ = nullptr;
    QGroupBox* fmeUserFiles_ = nullptr;
    platform::ui::DataGrid* dtUFStatus_ = nullptr;
    DataControl* datUFStatusRS_ = nullptr;
    DataControl* datUFStatControlsRS_ = nullptr;
    QLineEdit* tbxFolderName_ = nullptr;
    QCheckBox* chkLockedOutState_ = nullptr;
    QGroupBox* fmeUpdateControls_ = nullptr;
    platform::ui::ComboList* cbxUpdateMode_ = nullptr;
    platform::ui::ComboList* cbxFolderName_ = nullptr;
    platform::ui::ComboList* cbxChgeDataMode_ = nullptr;
    QPushButton* cmdUpdateMF_ = nullptr;
    QPushButton* cmdClearDueDate_ = nullptr;
    QLineEdit* tbxPassword_ = nullptr;
    QCheckBox* chkSavePW_ = nullptr;
    QPushButton* cmdGetMail_ = nullptr;
    QLabel* lblFolderName_ = nullptr;
    ControlResizer* CorvResizer1_ = nullptr;
    bool unloaded_ = false;

    // Per tree node: its level, the budget it belongs to and that budget's row in the tree's
    // source (-1 for a node of no budget).
    std::vector<int> nodeLevel_;
    std::vector<QString> nodeBudget_;
    std::vector<int> nodeBudgetRow_;
};

} // namespace lumidesk
