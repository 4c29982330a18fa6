// The window "Create Super-Admin", in which the maker of a network database enters the first
// account, the super-administrator's: logon name, password twice and e-mail address, below
// the new database's location and database password. Like the password window it only raises
// the options object's flags ("&OK" SetPwd, "Cancel" and the close box CancelPwd);
// CreateNetworkDatabase (NetworkDatabase.h) waits for them, reads the boxes and closes it.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace admin {

class frmSA : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmSA");
    static inline const QString kIntroText = QStringLiteral(
        "You are the Super-Admin for this network database.  Enter your AdminUser name and password.  The "
        "program "
        "will create the Super-Admin_ID which will be required to administer the additional AdminUsers you "
        "allow "
        "to use the database.  After this dialog is complete, use the Super-Admin Configure screen to add or "
        "delete AdminUsers and set budget permissions.");

    // Loads the window, filling the location and the database password from the settings
    // (with a message when the network database is not made, or not completely).
    frmSA();

    QLineEdit* tbxLocation() const { return tbxLocation_; }
    QLineEdit* tbxDBPwd() const { return tbxDBPwd_; }
    QLineEdit* tbxUserAdminName() const { return tbxUserAdminName_; }
    // The two boxes of tbxUserAdminPwd: 0 the password, 1 its confirmation.
    QLineEdit* tbxUserAdminPwd(int index) const { return index == 0 ? password_ : confirmation_; }
    QLineEdit* tbxEmail() const { return tbxEmail_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();

    QLineEdit* tbxLocation_ = nullptr;
    QLineEdit* tbxDBPwd_ = nullptr;
    QLineEdit* tbxUserAdminName_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* confirmation_ = nullptr;
    QLineEdit* tbxEmail_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace admin
