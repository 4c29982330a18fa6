// The Build Budget dialog (form frmBuild): the add-in's window for preparing the active
// workbook as a budget's master file. It registers the workbook with a budget when it is new
// (or sets itself up for one of the sample templates) and offers five tabs: Make Worksheets,
// Run Macros and Range (pages of their own, BuildTabPages.h), Create User Files (the sheets to
// cut, in the workbook view or the database view) and Assign User Files. OK runs the current
// tab's operation; closing it offers to re-sync the worksheet records when they no longer
// match the workbook's sheets. Modeless and owned by the spreadsheet program's window; while it
// is loaded it is the event sink's Build Budget dialog (OpenDialogs.h). The tab shown last and
// the view of the user-file grid are kept in the settings ("Runtime" "SetBuildTab",
// "DataRadioBtn").
#pragma once

#include "lumicell/OpenDialogs.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace corvakit {
class CorvHotLink;
}
namespace platform::ui {
class EditGrid;
}

namespace lumicell {

class BuildTabPage;

class frmBuild : public QWidget, public SinkTarget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmBuild");
    enum Tab { kMakeWorksheets = 0, kRunMacros = 1, kCreateUserFiles = 2, kAssignUserFiles = 3, kRange = 4 };
    // Columns of the Create User Files grid.
    enum CufColumn {
        kCufSelect = 0,
        kCufSheet = 1,
        kCufFolder = 2,
        kCufCreated = 3,
        kCufPath = 4,
        kCufMissing = 5
    };
    // Columns of the Assign User Files grid.
    enum AssignColumn { kAssignFile = 0, kAssignFolder = 1, kAssignUsers = 2 };
    // Placement, in twips.
    static constexpr int kLeftTwips = 3480;
    static constexpr int kTopTwips = 1800;
    static constexpr int kWidthTwips = 8745;
    static constexpr int kHeightTwips = 6345;

    static inline const QString kWebHelpTip = QStringLiteral("Web HELP for Build Worksheets");
    static inline const QString kOutOfSyncQuestion =
        QStringLiteral("The database is out of sync with the workbook.\nDo you want to re-sync the data?");

    explicit frmBuild(QWidget* parent = nullptr);
    ~frmBuild() override;

    // The loaded dialog, or null.
    static frmBuild* loaded();

    // The dialog's title on a tab (0 to 3) before " [Context: ...]".
    static QString tabTitle(int tab);

    // The load: registration of the active workbook and the lists filled.
    void Form_Load();
    void LoadForTemplate();
    void LoadForBudget();

    // The controls, by their form names.
    QTabWidget* SSTab1() const { return SSTab1_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdClose() const { return cmdClose_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }
    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblStatus() const { return lblStatus_; }
    corvakit::CorvHotLink* agtxtHelp() const { return agtxtHelp_; }
    platform::ui::EditGrid* dtCUF() const { return dtCUF_; }
    QCheckBox* chkAllCUF() const { return chkAllCUF_; }
    QCheckBox* chkCopyType() const { return chkCopyType_; }
    QRadioButton* optData() const { return optData_; }
    QRadioButton* optExcel() const { return optExcel_; }
    QPushButton* cmdSyncdb2ws() const { return cmdSyncdb2ws_; }
    corvakit::CorvHotLink* AgHyperTxt2() const { return AgHyperTxt2_; }
    platform::ui::EditGrid* dtUFAssign() const { return dtUFAssign_; }
    BuildTabPage* page(int tab) const;

    // The handlers, as the controls run them.
    void cmdOK_Click();
    void optExcel_Click();
    void optData_Click();
    void chkAllCUF_Click();
    void cmdSyncdb2ws_Click();

    // The event sink's calls.
    void retarget() override;
    void clearGrids() override;
    void addSummaryPick(bool isRow, const QString& entry) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildCreateUserFilesTab();
    QWidget* buildAssignUserFilesTab();
    void connectControls();
    void place();
    void layOutMakeWorksheets();
    void setTitle(int tab);
    void showVersionText();
    void retargetPages();
    void SSTab1_Click(int tab);
    void createUserFiles();
    void tickDatabaseView();
    bool unloadQuestions();

    QTabWidget* SSTab1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    corvakit::CorvHotLink* agtxtHelp_ = nullptr;
    platform::ui::EditGrid* dtCUF_ = nullptr;
    QCheckBox* chkAllCUF_ = nullptr;
    QCheckBox* chkCopyType_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QRadioButton* optData_ = nullptr;
    QRadioButton* optExcel_ = nullptr;
    QPushButton* cmdSyncdb2ws_ = nullptr;
    QLabel* Label2_ = nullptr;
    corvakit::CorvHotLink* AgHyperTxt2_ = nullptr;
    platform::ui::EditGrid* dtUFAssign_ = nullptr;
    QList<BuildTabPage*> pages_; // by tab; null for the tabs of this file
    bool loading_ = false;
    bool unloaded_ = false;
};

} // namespace lumicell
