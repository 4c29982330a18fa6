// The send-mail window ("SendMail Configuration"): the budget context's built user files in a
// grid with their users, attach flags and due dates, the sender, subject and body lists, the
// two append options and the due-date box. SendMail mails every ticked row, Compose the
// current row through the compose dialog; the heading of "Send" ticks or clears every row,
// that of "Mail File" sets or clears the attach flag of every user file of the budget, that of
// "Due Date" clears the budget's mail status. A click into the due-date box opens the calendar,
// whose date the box then shows and the next mails carry.
//
// One instance, loaded by ShowSendMail. Each grid row keeps the key of its user-file row in a
// hidden column, so an edit of "Mail File" and the sent stamp change exactly that row.
#pragma once

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

    // Grid columns.
    static constexpr int kSend = 0;
    static constexpr int kUser = 1;
    static constexpr int kUserFilename = 2;
    static constexpr int kMailFile = 3;
    static constexpr int kDueDate = 4;
    static constexpr int kUserFilePath = 5;
    static constexpr int kMasterFile = 6;
    static constexpr int kUserFileId = 7; // hidden: ID_UFTD of the row's user file

    // Sub-items of a cbxFrom entry.
    static constexpr int kFromAddress = 1;
    static constexpr int kFromServer = 2;
    static constexpr int kFromAccount = 3;

    static constexpr int kWidthTwips = 11070;
    static constexpr int kHeightTwips = 5445;

    explicit frmMail(QWidget* owner = nullptr);
    ~frmMail() override;

    // The loaded window, or null.
    static frmMail* loaded();

    platform::ui::EditGrid* dtSendMail() const { return dtSendMail_; }
    platform::ui::ComboList* cbxFrom() const { return cbxFrom_; }
    platform::ui::ComboList* cbxSubject() const { return cbxSubject_; }
    platform::ui::ComboList* cbxBodyText() const { return cbxBodyText_; }
    QCheckBox* chkAddDueDate() const { return chkAddDueDate_; }
    QCheckBox* chkAddFN() const { return chkAddFN_; }
    QCheckBox* chkDueDateAll() const { return chkDueDateAll_; }
    QCheckBox* chkAllSendWS() const { return chkAllSendWS_; }
    QCheckBox* chkMailAll() const { return chkMailAll_; }
    QLineEdit* tbxDueDate() const { return tbxDueDate_; }
    QPushButton* cmdSendMail() const { return cmdSendMail_; }
    QPushButton* cmdCompose() const { return cmdCompose_; }
    QPushButton* cmdDueDateDone() const { return cmdDueDateDone_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }

    // The due date the box shows (invalid when none); setting it fills the box.
    QDate dueDate() const { return dueDate_; }
    void setDueDate(const QDate& date);

    // Reloads the grid for the budget context, and the three lists.
    void FillSendMailGrid();
    void FillMailLists();

    // The handlers.
    void cmdSendMail_Click();
    void cmdCompose_Click();
    void cmdDueDateDone_Click();
    void cmdHelp_Click();
    void tbxDueDate_Click();
    void dtSendMail_Change(int row, int column);
    void dtSendMail_HeadingClick(int column);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();
    void toggleSendColumn();
    void toggleMailFileColumn();

    platform::ui::EditGrid* dtSendMail_ = nullptr;
    platform::ui::ComboList* cbxFrom_ = nullptr;
    platform::ui::ComboList* cbxSubject_ = nullptr;
    platform::ui::ComboList* cbxBodyText_ = nullptr;
    QCheckBox* chkAddDueDate_ = nullptr;
    QCheckBox* chkAddFN_ = nullptr;
    QCheckBox* chkDueDateAll_ = nullptr;
    QCheckBox* chkAllSendWS_ = nullptr;
    QCheckBox* chkMailAll_ = nullptr;
    QLineEdit* tbxDueDate_ = nullptr;
    QPushButton* cmdSendMail_ = nullptr;
    QPushButton* cmdCompose_ = nullptr;
    QPushButton* cmdDueDateDone_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QDate dueDate_;
    bool unloaded_ = false;
};

} // namespace mail
