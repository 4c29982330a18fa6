// The window "Migrate Budgets": the budgets of the local database and of the network database
// side by side, each with its author, and the buttons that move or copy the selected budget
// across ("<" into the local database, ">" into the network database; "Copy" or "Move", Copy
// when the window opens). One list at most has a selection: a click in one clears the other.
// The work itself is BudgetMigration.h; after an operation that finished, both lists are
// filled again.
#pragma once

#include "admin/BudgetMigration.h"

#include <QWidget>

class QPushButton;
class QRadioButton;

namespace platform::ui {
class ListBox;
}

namespace admin {

class frmMigrate : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmMigrate");

    explicit frmMigrate(QWidget* owner = nullptr);

    // Fills the local list ("lbxLocalDB", compared without regard to case) or else the network
    // list with the budgets of the database at connectionString: name and author.
    void FillBudgetList(const QString& connectionString, const QString& listName);

    // The local master database of this machine, whichever database the program works on.
    const QString& localConnection() const { return localConnection_; }

    platform::ui::ListBox* lbxLocalDB() const { return lbxLocalDB_; }
    platform::ui::ListBox* lbxNetDB() const { return lbxNetDB_; }
    QPushButton* cmdToLocal() const { return cmdToLocal_; }
    QPushButton* cmdToNet() const { return cmdToNet_; }
    QRadioButton* optMove() const { return optMove_; }
    QRadioButton* optCopy() const { return optCopy_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void cmdToLocal_Click();
    void cmdToNet_Click();

private:
    using Direction = MigrationEnd (*)(const QString&, MigrationMode, const QString&);
    void migrateSelected(platform::ui::ListBox& from, platform::ui::ListBox& to, Direction direction);
    void buildControls();
    void Form_Load();
    void fillBoth();

    QString localConnection_;
    platform::ui::ListBox* lbxLocalDB_ = nullptr;
    platform::ui::ListBox* lbxNetDB_ = nullptr;
    QPushButton* cmdToLocal_ = nullptr;
    QPushButton* cmdToNet_ = nullptr;
    QRadioButton* optMove_ = nullptr;
    QRadioButton* optCopy_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace admin
