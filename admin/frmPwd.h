// The password window: a new password typed twice ("Password", "Confirm Pwd"). It only raises
// the options object's flags: "Set" sets SetPwd, "Cancel" and the close box set CancelPwd;
// neither closes it. SetDatabasePassword (NetworkDatabase.h) waits for the flags, reads the
// boxes and closes it.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace admin {

class frmPwd : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmPwd");

    frmPwd();

    // Titles the window for its use ("Net": the network database's password) and shows it.
    void Display(const QString& mode);

    // The two boxes of tbxPwd: 0 the password, 1 its confirmation.
    QLineEdit* tbxPwd(int index) const { return index == 0 ? password_ : confirmation_; }
    QPushButton* cmdSet() const { return cmdSet_; }
    QPushButton* cmdCancelOps() const { return cmdCancelOps_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* password_ = nullptr;
    QLineEdit* confirmation_ = nullptr;
    QPushButton* cmdSet_ = nullptr;
    QPushButton* cmdCancelOps_ = nullptr;
};

} // namespace admin
