// The send-mail window ("SendMail Configuration"): the send-mail panel (SendMailPanel.h) over
// the budget context's built user files, with the window's own buttons: SendMail mails every
// ticked row, Close closes the window, Help shows its page.
//
// One instance, loaded by ShowSendMail.
#pragma once

#include "mail/SendMailPanel.h"

#include <QDate>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class ComboList;
class EditGrid;
} // namespace platform::ui

namespace mail {

class frmMail : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmMail");

    // Grid columns and the sub-items of a cbxFrom entry: the panel's.
    static constexpr int kSend = SendMailPanel::kSend;
    static constexpr int kUser = SendMailPanel::kUser;
    static constexpr int kUserFilename = SendMailPanel::kUserFilename;
    static constexpr int kMailFile = SendMailPanel::kMailFile;
    static constexpr int kDueDate = SendMailPanel::kDueDate;
    static constexpr int kUserFilePath = SendMailPanel::kUserFilePath;
    static constexpr int kMasterFile = SendMailPanel::kMasterFile;
    static constexpr int kUserFileId = SendMailPanel::kUserFileId;
    static constexpr int kFromAddress = SendMailPanel::kFromAddress;
    static constexpr int kFromServer = SendMailPanel::kFromServer;
    static constexpr int kFromAccount = SendMailPanel::kFromAccount;

    static constexpr int kWidthTwips = 11070;
    static constexpr int kHeightTwips = 5445;

    explicit frmMail(QWidget* owner = nullptr);
    ~frmMail() override;

    // The loaded window, or null.
    static frmMail* loaded();

    SendMailPanel* panel() const { return panel_; }
    platform::ui::EditGrid* dtSendMail() const { return panel_->dtSendMail(); }
    platform::ui::ComboList* cbxFrom() const { return panel_->cbxFrom(); }
    platform::ui::ComboList* cbxSubject() const { return panel_->cbxSubject(); }
    platform::ui::ComboList* cbxBodyText() const { return panel_->cbxBodyText(); }
    QCheckBox* chkAddDueDate() const { return panel_->chkAddDueDate(); }
    QCheckBox* chkAddFN() const { return panel_->chkAddFN(); }
    QCheckBox* chkDueDateAll() const { return panel_->chkDueDateAll(); }
    QCheckBox* chkAllSendWS() const { return panel_->chkAllSendWS(); }
    QCheckBox* chkMailAll() const { return panel_->chkMailAll(); }
    QLineEdit* tbxDueDate() const { return panel_->tbxDueDate(); }
    QPushButton* cmdSendMail() const { return cmdSendMail_; }
    QPushButton* cmdCompose() const { return panel_->cmdCompose(); }
    QPushButton* cmdDueDateDone() const { return cmdDueDateDone_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }

    QDate dueDate() const { return panel_->dueDate(); }
    void setDueDate(const QDate& date) { panel_->setDueDate(date); }

    void FillSendMailGrid() { panel_->FillSendMailGrid(); }
    void FillMailLists() { panel_->FillMailLists(); }

    // The handlers.
    void cmdSendMail_Click();
    void cmdCompose_Click() { panel_->cmdCompose_Click(); }
    void cmdDueDateDone_Click();
    void cmdHelp_Click();
    void tbxDueDate_Click() { panel_->tbxDueDate_Click(); }
    void dtSendMail_Change(int row, int column) { panel_->dtSendMail_Change(row, column); }
    void dtSendMail_HeadingClick(int column) { panel_->dtSendMail_HeadingClick(column); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();

    SendMailPanel* panel_ = nullptr;
    QPushButton* cmdSendMail_ = nullptr;
    QPushButton* cmdDueDateDone_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    bool unloaded_ = false;
};

} // namespace mail
