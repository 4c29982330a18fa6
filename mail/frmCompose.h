// The compose dialog ("New message"): a mail prepared from one row of the send-mail window,
// shown for the user to read, change (recipient, subject, body) and send, or to close unsent.
// The attachment is shown, not changed. exec() answers kSend when the user chose Send.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace mail {

class frmCompose : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSend = 10;

    frmCompose(const QString& sender, const QString& recipient, const QString& subject, const QString& body,
               const QString& attachment, QWidget* parent = nullptr);

    QString recipient() const;
    QString subject() const;
    QString body() const;

    QLineEdit* tbxTo() const { return tbxTo_; }
    QPushButton* cmdSend() const { return cmdSend_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

private:
    QLineEdit* tbxTo_;
    QLineEdit* tbxSubject_;
    QPlainTextEdit* tbxBody_;
    QPushButton* cmdSend_;
    QPushButton* cmdCancel_;
};

} // namespace mail
