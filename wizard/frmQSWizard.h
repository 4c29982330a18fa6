// The QuickStart window: the workbooks dropped on the main window (or picked through its
// QuickStart command) listed for one run that turns them into a working budget. The user
// confirms the author, the author's e-mail address and the project name and presses Start;
// the step list and the workbook list show the run's progress, a finished row "Done" on green.
//
// One instance at a time, modeless, owned by the main window. Only the automatic mode ("Let
// the Wizard decide!") builds anything; the run itself is RunQuickStart (QuickStart.h).
#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class ListBox;
}

namespace wizard {

class frmQSWizard : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmQSWizard");
    static inline const QString kCaption = QStringLiteral("QuickStart Wizard");
    static inline const QString kDefaultProject = QStringLiteral("WizardProject");
    static inline const QString kDoneText = QStringLiteral("Done");
    static constexpr int kWidthTwips = 9390;
    static constexpr int kHeightTwips = 4815;
    // Columns of the workbook list.
    enum WorkbookColumn { kWorkbookName = 0, kWorkbookStatus = 1, kWorkbookPath = 2 };

    // The seven steps, in order; the automatic mode shows the first five.
    static const QStringList& stepCaptions();
    static constexpr int kAutomaticSteps = 5;

    // Loads the window (not shown), owned by owner; the load runs at once.
    explicit frmQSWizard(QWidget* owner = nullptr);
    ~frmQSWizard() override;

    // The loaded window, or null.
    static frmQSWizard* loaded();

    QLabel* lblUsername() const { return lblUsername_; }
    QLineEdit* tbxAuthorName() const { return tbxAuthorName_; }
    QLineEdit* tbxEmailAddress() const { return tbxEmailAddress_; }
    QLineEdit* tbxProjectName() const { return tbxProjectName_; }
    QCheckBox* chkWizDecide() const { return chkWizDecide_; }
    platform::ui::ListBox* lbxOptions() const { return lbxOptions_; }
    platform::ui::ListBox* lbxWorkbooks() const { return lbxWorkbooks_; }
    QPushButton* cmdStart() const { return cmdStart_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }

    // Adds a row to the workbook list: the file name, no status, the full path.
    void addWorkbook(const QString& fileName, const QString& fullPath);

    // Rebuilds the step list: all seven steps unselected, or with allSelected the five
    // automatic ones selected, the first done of them marked done.
    void InitQuickStartSteps(bool allSelected, int done);
    // Rebuilds the workbook list keeping names, paths and order: every row selected (or not),
    // with allSelected the first done rows marked done; other status texts are cleared.
    void MarkQuickStartWorkbooks(bool allSelected, int done);

    // A list row shows "Done" and is coloured green.
    static bool isDoneRow(const platform::ui::ListBox& list, int row);

    // The handlers.
    void chkWizDecide_Click();
    void cmdStart_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    static void markDone(platform::ui::ListBox& list, int row, int statusColumn);

    QLabel* lblUsername_ = nullptr;
    QLineEdit* tbxAuthorName_ = nullptr;
    QLabel* lblEmailAddress_ = nullptr;
    QLineEdit* tbxEmailAddress_ = nullptr;
    QLabel* lblProjectName_ = nullptr;
    QLineEdit* tbxProjectName_ = nullptr;
    QCheckBox* chkWizDecide_ = nullptr;
    platform::ui::ListBox* lbxOptions_ = nullptr;
    platform::ui::ListBox* lbxWorkbooks_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QLabel* Label1_ = nullptr;
};

} // namespace wizard
