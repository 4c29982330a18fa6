// The super-administrator console "Super-Admin Configure": the network database's location
// (Move) and password (Change), the two options of the super-administrator profile that every
// logon reads ("Require permission to copy", "All data" / "Context Only"), "Show Encoding",
// the administrator accounts (AdministratorAccounts.h) and the budget permissions
// (BudgetPermissions.h). The main window shows it modeless, owned, for the logged-on
// super-administrator and unloads it at log-off.
//
// The tab-0 controls keep their state in the "Network" settings from one run to the next:
// read when the window loads (a stored value that differs from the design state runs its
// click handling, as a click would), written whenever it closes. Every other change is stored
// when it is made.
//
// Changing the password and moving the file take the database for the program's own use: they
// are refused, with the reason, while another administrator is connected. A move copies the
// file through the engine, checks that the copy opens with the database password, and only
// then switches to it and removes the original.
#pragma once

#include <QSet>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace platform::ui {
class EditGrid;
}

namespace admin {

class frmSuperAdmin : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmSuperAdmin");
    static constexpr int kWidthTwips = 10725;
    static constexpr int kHeightTwips = 5445;

    explicit frmSuperAdmin(QWidget* owner = nullptr);

    // Lets the administrator choose a new place for the database file at currentPath and
    // copies it there; answers the new path, "" when nothing was copied.
    QString MoveDatabase(const QString& currentPath);

    QTabWidget* SSTab1() const { return SSTab1_; }
    QLineEdit* tbxLocation() const { return tbxLocation_; }
    QPushButton* cmdLocation() const { return cmdLocation_; }
    QPushButton* cmdChangePwd() const { return cmdChangePwd_; }
    QCheckBox* chkCopyPerm() const { return chkCopyPerm_; }
    QRadioButton* optAll() const { return optAll_; }
    QRadioButton* optBudgets() const { return optBudgets_; }
    QCheckBox* chkEncoding() const { return chkEncoding_; }
    platform::ui::EditGrid* dtAdminUsers() const { return dtAdminUsers_; }
    QPushButton* cmdAddAU() const { return cmdAddAU_; }
    QPushButton* cmdDelAU() const { return cmdDelAU_; }
    platform::ui::EditGrid* dtBudgets() const { return dtBudgets_; }
    QPushButton* cmdGrant() const { return cmdGrant_; }
    QPushButton* cmdRemove() const { return cmdRemove_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // The handlers, run by the controls' clicks.
    void cmdLocation_Click();
    void cmdChangePwd_Click();
    void chkCopyPerm_Click();
    void optView_Click(bool contextOnly);
    void chkEncoding_Click();
    void cmdAddAU_Click();
    void cmdDelAU_Click();
    void dtAdminUsers_Change(int row, int column);
    void dtAdminUsers_DblClick(int row, int column);
    void dtBudgets_DblClick(int row, int column);
    // The grid's second cell event (the Delete key on a cell): revokes that cell.
    void dtBudgets_Revoke(int row, int column);
    void cmdGrant_Click();
    void cmdRemove_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildNetworkTab();
    QWidget* buildUsersTab();
    QWidget* buildPermissionsTab();
    void Form_Load();
    void fillPermissions();
    bool showEncoding() const;

    QTabWidget* SSTab1_ = nullptr;
    QLineEdit* tbxLocation_ = nullptr;
    QPushButton* cmdLocation_ = nullptr;
    QPushButton* cmdChangePwd_ = nullptr;
    QCheckBox* chkCopyPerm_ = nullptr;
    QRadioButton* optAll_ = nullptr;
    QRadioButton* optBudgets_ = nullptr;
    QCheckBox* chkEncoding_ = nullptr;
    platform::ui::EditGrid* dtAdminUsers_ = nullptr;
    QPushButton* cmdAddAU_ = nullptr;
    QPushButton* cmdDelAU_ = nullptr;
    platform::ui::EditGrid* dtBudgets_ = nullptr;
    QPushButton* cmdGrant_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QSet<int> typedPasswords_; // rows of dtAdminUsers whose password the user typed
};

} // namespace admin
