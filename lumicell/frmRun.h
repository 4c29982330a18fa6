// The Run Budget dialog: running a budget from inside the spreadsheet program on the master
// workbook that is active there. Four tabs: "Update Workbook" (merge the returned user files
// into the open master: accept, preview or edit, and whether to save it), "Send Users Mail"
// (the send-mail panel over the master's user files), "Status" (the user files' mail and update
// state, the mailbox password, Get Mail and Clear) and "File" (views of the registered
// workbooks, the templates, the user files and the budgets; a double click opens a workbook).
// OK runs the shown tab's action (Update, Send, Get Mail); with Runtime\CloseWin set the dialog
// closes after it. Opened modeless by the add-in's RunBudget, owned by the program's window.
//
// The dialog registers itself as the options object's ActiveForm when it loads, is activated
// or its view grid gets the focus. While it is open (RunBudIsRunning) and not running an update
// (OKUMFClicked), a workbook switch re-targets it (Retarget) and a deactivated workbook empties
// its grids (ClearGrids). The shown tab, "Save password", "Auto-Select" and "Save Master File"
// are kept in the add-in's settings when it closes. With Runtime\Xvalue 1 it fetches the mail
// with the stored mailbox password when it opens.
#pragma once

#include "lumicell/OpenDialogs.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace platform::ui {
class ComboList;
class DataGrid;
} // namespace platform::ui

namespace mail {
class SendMailPanel;
}

namespace lumicell {

class frmRun : public QWidget, public SinkTarget {
    Q_OBJECT
public:
    enum Tab { kUpdateTab = 0, kSendTab = 1, kStatusTab = 2, kFileTab = 3 };

    // Columns of the Update and Status grids.
    enum UpdateColumn { kUmwSelected, kUmwWorksheet, kUmwUser, kUmwFolder, kUmwUserFilePath, kUmwModified };
    enum StatusColumn {
        kBsUserFilename,
        kBsUser,
        kBsSelected,
        kBsEmailSent,
        kBsUpdate,
        kBsDueDate,
        kBsMissing
    };

    static inline const QString kMailPasswordUnknownText =
        QStringLiteral("The default mailbox password is unknown.  Run Get Mail manually first.");
    static inline const QString kNotImplementedText = QStringLiteral("Not implemented yet");
    // Update with no workbook open.
    static inline const QString kNoWorkbookText =
        QStringLiteral("No workbook is open. Open the master workbook to update, then click Update.");
    static inline const QString kWebHelpAddress =
        QStringLiteral("https://www.lumivane.example/help/runbudget.html");

    // The place on the program's window, in twips.
    static constexpr int kLeftTwips = 3480;
    static constexpr int kTopTwips = 1800;
    static constexpr int kWidthTwips = 8745;
    static constexpr int kHeightTwips = 6345;

    // Loads the dialog (without showing it), owned by the program's window.
    frmRun();
    ~frmRun() override;

    // The loaded dialog, or null.
    static frmRun* loaded();

    QTabWidget* SSTab1() const { return SSTab1_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdClose() const { return cmdClose_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }
    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* lblStatus() const { return lblStatus_; }
    platform::ui::DataGrid* dtUMW() const { return dtUMW_; }
    platform::ui::ComboList* cbxChgeDataMode() const { return cbxChgeDataMode_; }
    QCheckBox* chkSave() const { return chkSave_; }
    QCheckBox* chkAutoSelect() const { return chkAutoSelect_; }
    QLabel* AgHyperTxt2() const { return AgHyperTxt2_; }
    mail::SendMailPanel* sendMail() const { return sendMail_; }
    platform::ui::DataGrid* dtViewBS() const { return dtViewBS_; }
    QLineEdit* tbxPassword() const { return tbxPassword_; }
    QCheckBox* chkSavePW() const { return chkSavePW_; }
    QPushButton* cmdClear() const { return cmdClear_; }
    platform::ui::DataGrid* dtTopDown() const { return dtTopDown_; }
    platform::ui::ComboList* cbxViews() const { return cbxViews_; }
    QPushButton* cmdAddBudget() const { return cmdAddBudget_; }
    QPushButton* cmdDelRecord() const { return cmdDelRecord_; }

    // The event sink's two calls: reload the lists and grids for the workbook now active (the
    // sink has registered it with a budget), and empty the grids of a deactivated one.
    void retarget() override;
    void clearGrids() override;

    // The handlers, as the user's actions run them.
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void cmdClear_Click();
    void cmdAddBudget_Click();
    void cmdDelRecord_Click();
    void chkSave_Click();
    void cbxViews_Change();
    void dtTopDown_DblClick(int row, int column);
    void SSTab1_Click(int tab);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QWidget* buildUpdateTab();
    QWidget* buildSendTab();
    QWidget* buildStatusTab();
    QWidget* buildFileTab();
    QWidget* buildButtonRow();

    void Form_Load();
    bool loadOnWorkbook();
    void useNoWorkbookLayout();
    void fetchMailOnOpen();
    void Form_Unload();

    void becomeActiveForm();
    void showTabButtons(int tab);
    void setCaptionOfTab(int tab);
    bool runOk(int tab);
    void reload();

    QTabWidget* SSTab1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* agtxtHelp_ = nullptr;
    platform::ui::DataGrid* dtUMW_ = nullptr;
    platform::ui::ComboList* cbxChgeDataMode_ = nullptr;
    QCheckBox* chkSave_ = nullptr;
    QCheckBox* chkAutoSelect_ = nullptr;
    QLabel* AgHyperTxt2_ = nullptr;
    mail::SendMailPanel* sendMail_ = nullptr;
    platform::ui::DataGrid* dtViewBS_ = nullptr;
    QLineEdit* tbxPassword_ = nullptr;
    QCheckBox* chkSavePW_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    platform::ui::DataGrid* dtTopDown_ = nullptr;
    platform::ui::ComboList* cbxViews_ = nullptr;
    QPushButton* cmdAddBudget_ = nullptr;
    QPushButton* cmdDelRecord_ = nullptr;
    bool unloaded_ = false;
};

} // namespace lumicell
