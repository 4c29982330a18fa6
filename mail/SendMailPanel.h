// The send-mail panel that the desktop's send-mail window and the add-in's Run Budget dialog
// (its Send Mail tab) both show: the user files to mail in a grid with their users, attach flags
// and due dates, the sender, subject and body lists, the two append options, the due-date box
// with its "All" box, and Compose. The heading of "Send" ticks or clears every row, that of
// "Mail File" sets or clears the attach flag of every user file of the budget, that of "Due
// Date" clears the mail status; a tick in "Mail File" stores exactly the row it shows. The
// "Mail All Files" box shows whether every listed row goes with its file: clicking it sets or
// clears Mail File on every listed row, and the heading's double click clears them all when
// it is ticked and sets them all when it is not. A click
// into the due-date box opens the calendar, whose date the box then shows and the next mails
// carry. In the add-in a body text longer than 100 characters is shown whole in a box below the
// lists.
//
// Each grid row keeps the key of its user-file row in a hidden column, so an edit of "Mail
// File" and the sent stamp change exactly that row. With a master file set (the add-in: the
// active workbook) the grid lists only that master workbook's user files, and clearing the
// mail status clears only theirs.
#pragma once

#include <QDate>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace platform::ui {
class ComboList;
class EditGrid;
} // namespace platform::ui

namespace mail {

class SendMailPanel : public QWidget {
    Q_OBJECT
public:
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

    // A body text longer than this is shown whole in tbxBodyText.
    static constexpr int kShortBodyLength = 100;

    // The two editions' captions and boxes: the desktop window's, and the add-in's tab, which
    // shows the "All" boxes of the grid's headings and the "To:" label.
    enum class Edition { Desktop, AddIn };

    explicit SendMailPanel(Edition edition, QWidget* parent = nullptr);
    ~SendMailPanel() override;

    // The loaded panels, the first loaded first.
    static QList<SendMailPanel*> loadedPanels();

    platform::ui::EditGrid* dtSendMail() const { return dtSendMail_; }
    platform::ui::ComboList* cbxFrom() const { return cbxFrom_; }
    platform::ui::ComboList* cbxSubject() const { return cbxSubject_; }
    platform::ui::ComboList* cbxBodyText() const { return cbxBodyText_; }
    QPlainTextEdit* tbxBodyText() const { return tbxBodyText_; }
    QCheckBox* chkAddDueDate() const { return chkAddDueDate_; }
    QCheckBox* chkAddFN() const { return chkAddFN_; }
    QCheckBox* chkDueDateAll() const { return chkDueDateAll_; }
    QCheckBox* chkAllSendWS() const { return chkAllSendWS_; }
    QCheckBox* chkMailAll() const { return chkMailAll_; }
    QLineEdit* tbxDueDate() const { return tbxDueDate_; }
    QPushButton* cmdCompose() const { return cmdCompose_; }

    // The due date the box shows (invalid when none); setting it fills the box.
    QDate dueDate() const { return dueDate_; }
    void setDueDate(const QDate& date);

    // The master workbook whose user files the grid lists; empty: all of the budget's.
    const QString& masterFile() const { return masterFile_; }
    void setMasterFile(const QString& masterFile) { masterFile_ = masterFile; }

    // Reloads the grid for the budget context (and the master file), and the three lists.
    void FillSendMailGrid();
    void FillMailLists();

    // The handlers.
    void cmdCompose_Click();
    void tbxDueDate_Click();
    void cbxBodyText_Change();
    void dtSendMail_Change(int row, int column);
    void dtSendMail_HeadingClick(int column);
    void chkMailAll_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(Edition edition);
    void toggleSendColumn();
    void toggleMailFileColumn();
    // Ticks "Mail All Files" exactly when every listed row goes with its file.
    void showMailAllState();

    platform::ui::EditGrid* dtSendMail_ = nullptr;
    platform::ui::ComboList* cbxFrom_ = nullptr;
    platform::ui::ComboList* cbxSubject_ = nullptr;
    platform::ui::ComboList* cbxBodyText_ = nullptr;
    QPlainTextEdit* tbxBodyText_ = nullptr;
    QCheckBox* chkAddDueDate_ = nullptr;
    QCheckBox* chkAddFN_ = nullptr;
    QCheckBox* chkDueDateAll_ = nullptr;
    QCheckBox* chkAllSendWS_ = nullptr;
    QCheckBox* chkMailAll_ = nullptr;
    QLineEdit* tbxDueDate_ = nullptr;
    QPushButton* cmdCompose_ = nullptr;
    Edition edition_;
    QDate dueDate_;
    QString masterFile_;
};

} // namespace mail
