// The logon window "LumiNet Logon": the network database's location (typed or found with
// Browse), its database password, and the administrator's name and password. The window
// only raises the options object's flags: OK sets SetPwd and, while a logon is in progress
// (LoggingOn), tests the database and the account and closes itself after an accepted logon
// with SetPwd still set; a failed attempt takes SetPwd back and the window stays for another
// try. Cancel, and closing the window by its close box, set CancelPwd. The caller waits for
// the flags (core/DialogHandshake.h).
//
// The window opens with the location, the database password and the name of the last logon;
// the administrator's password is always typed. Closing keeps the location in the settings.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class ComboList;
}

namespace admin {

class frmLogon : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmLogon");

    frmLogon();

    platform::ui::ComboList* cbxLocation() const { return cbxLocation_; }
    QLineEdit* tbxDBPwd() const { return tbxDBPwd_; }
    QLineEdit* tbxUserAdminName() const { return tbxUserAdminName_; }
    QLineEdit* tbxUserAdminPwd() const { return tbxUserAdminPwd_; }
    QPushButton* cmdBrowse() const { return cmdBrowse_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();

    platform::ui::ComboList* cbxLocation_ = nullptr;
    QLineEdit* tbxDBPwd_ = nullptr;
    QLineEdit* tbxUserAdminName_ = nullptr;
    QLineEdit* tbxUserAdminPwd_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool busy_ = false; // OK raised the busy pointer; closing lowers it
};

} // namespace admin
