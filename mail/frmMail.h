// The send-mail window ("SendMail Configuration"): the send-mail panel (SendMailPanel.h) over
// the budget context's built user files, with the window's own buttons: SendMail mails every
// ticked row, Close closes the window, Help shows its page.
//
// One instance, loaded by ShowSendMail. The grid, the lists and their handlers are the panel's
// (panel()); the window holds only its own buttons.
#pragma once

#include "mail/SendMailPanel.h"

#include <QWidget>

class QPushButton;

namespace mail {

class frmMail : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmMail");

    static constexpr int kWidthTwips = 11070;
    static constexpr int kHeightTwips = 5445;

    explicit frmMail(QWidget* owner = nullptr);
    ~frmMail() override;

    // The loaded window, or null.
    static frmMail* loaded();

    SendMailPanel* panel() const { return panel_; }
    QPushButton* cmdSendMail() const { return cmdSendMail_; }
    QPushButton* cmdDueDateDone() const { return cmdDueDateDone_; }
    QPushButton* cmdHelp() const { return cmdHelp_; }

    // The handlers.
    void cmdSendMail_Click();
    void cmdDueDateDone_Click();
    void cmdHelp_Click();

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
