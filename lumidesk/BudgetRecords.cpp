// See BudgetRecords.h. Every value reaches the SQL as a bound parameter, so a budget name
// with apostrophes is stored as it is; only the budget-name dialog removes them.
#include "lumidesk/BudgetRecords.h"

#include "admin/AccountRules.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "mail/MailServices.h"
#include "mail/frmAddAddress.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"
#include "wizard/WizardServices.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <optional>

namespace lumidesk {

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::db::Transaction;

const QString kHomeNode = QStringLiteral("HOME");

// Every table whose Budget_Name refers to a budget; Budgets itself comes first.
const QStringList kBudgetNameTables = {QStringLiteral("Budgets"), QStringLiteral("MasterFiles"),
                                       QStringLiteral("Worksheets"), QStringLiteral("UserFileTablesData"),
                                       QStringLiteral("Errors")};

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// The stored name of the budget called name (any case), if there is one.
std::optional<QString> storedBudgetName(Connection& cnn, const QString& name) {
    const QVariant stored = cnn.scalar(QStringLiteral("SELECT Budget_Name FROM Budgets "
                                                      "WHERE Budget_Name = ? COLLATE NOCASE_U"),
                                       {name});
    if (!stored.isValid())
        return std::nullopt;
    return stored.toString();
}

void addBudget(Connection& cnn, const QString& name, const QString& author) {
    cnn.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Admin_Name) "
                               "VALUES (?, 1, ?, ?)"),
                {name, QDateTime::currentDateTime(), author});
}

void addMasterFile(Connection& cnn, const QString& masterFile, const QString& folder, const QString& budget) {
    cnn.execute(QStringLiteral("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES (?, ?, ?)"),
                {masterFile, folder, budget});
}

// Asks for the name of a new budget until one is given that no budget has; no value when
// the dialog was cancelled or answered empty.
std::optional<QString> askNewBudgetName(Connection& cnn) {
    for (;;) {
        const std::optional<QString> answer =
            platform::ui::ui().input(kBudgetNamePrompt, core::appTitle(), kProposedBudgetName);
        if (!answer || answer->isEmpty())
            return std::nullopt;
        const QString name = CleanBudgetName(*answer);
        // A name of apostrophes only, or one already taken, is asked for again.
        if (!name.isEmpty() && !storedBudgetName(cnn, name))
            return name;
    }
}

QString quickStartBox(const QString& box) {
    QWidget* window = platform::ui::LoadedWindows::find(wizard::kQuickStartFormName);
    const auto* edit = window ? window->findChild<QLineEdit*>(box) : nullptr;
    return edit ? edit->text() : QString();
}

// The budget of the QuickStart window's project name: its author becomes the window's
// author when it exists, else it is added. Answers the stored name.
QString quickStartBudget(Connection& cnn, const QString& name, const QString& author) {
    if (const std::optional<QString> stored = storedBudgetName(cnn, name)) {
        // An empty author box leaves the budget's author as it is.
        if (!author.isEmpty())
            cnn.execute(QStringLiteral("UPDATE Budgets SET Admin_Name = ? WHERE Budget_Name = ?"),
                        {author, *stored});
        return *stored;
    }
    addBudget(cnn, name, author);
    return name;
}

// The rename itself, inside the caller's transaction.
void renameEverywhere(Connection& cnn, const QString& storedOld, const QString& newName) {
    cnn.execute(QStringLiteral("UPDATE Budgets SET Budget_Name = ? WHERE Budget_Name = ?"),
                {newName, storedOld});
    for (const QString& table : kBudgetNameTables.mid(1))
        cnn.execute(QStringLiteral("UPDATE ") + table +
                        QStringLiteral(" SET Budget_Name = ? WHERE Budget_Name = ? COLLATE NOCASE_U"),
                    {newName, storedOld});
}

void renameContext(const QString& oldName, const QString& newName) {
    const QString section = QStringLiteral("Runtime");
    const QString key = QStringLiteral("BudgetNameContext");
    if (core::gOptions && core::gOptions->BudgetNameContext.compare(oldName, Qt::CaseInsensitive) == 0) {
        core::gOptions->BudgetNameContext = newName;
        core::gOptions->WriteValues();
    } else if (platform::sys::readSetting(platform::sys::settingsApplication(), section, key)
                   .compare(oldName, Qt::CaseInsensitive) == 0) {
        platform::sys::writeSetting(platform::sys::settingsApplication(), section, key, newName);
    }
}

} // namespace

QString CleanBudgetName(const QString& typed) {
    QString name = typed;
    name.remove(QLatin1Char('\''));
    return name;
}

QString BudgetNameInUseText(const QString& name) {
    return QStringLiteral("There is already a budget named ") + name + QStringLiteral(".");
}

qint32 CreateBudgetRecord(const QString& masterFile, const QString& folder) {
    try {
        core::cDB2 query;
        query.SetConnection();
        Connection& cnn = query.Cnn();
        const bool interactive = core::gOptions && core::gOptions->QuickStartMode == kInteractiveMode;

        QString budget;
        if (interactive) {
            const std::optional<QString> name = askNewBudgetName(cnn);
            if (!name)
                return kRecordCancelled;
            Transaction transaction(cnn);
            addBudget(cnn, *name, core::gOptions->DefaultAdmin);
            addMasterFile(cnn, masterFile, folder, *name);
            transaction.commit();
            budget = *name;
        } else {
            const QString name = quickStartBox(kProjectNameBox);
            if (name.isEmpty()) {
                tell(kBudgetNamePrompt);
                return kRecordCancelled;
            }
            Transaction transaction(cnn);
            budget = quickStartBudget(cnn, name, quickStartBox(kAuthorNameBox));
            addMasterFile(cnn, masterFile, folder, budget);
            transaction.commit();
        }
        if (core::gOptions)
            core::gOptions->BudgetNameContext = budget;
        return kRecordDone;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return kRecordFailed;
    }
}

bool BudgetExists(const platform::ui::ExplorerTree& tree, int node) {
    if (node < 0 || node >= tree.nodeCount() || tree.nodeParent(node) != -1)
        return false;
    const QString text = tree.nodeText(node);
    if (text.isEmpty() || text == platform::sys::kPlaceholderText || text == kHomeNode)
        return false;
    try {
        core::cDB2 query;
        query.SetConnection();
        return storedBudgetName(query.Cnn(), text).has_value();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

qint32 RenameBudgetFromExplorer(const QString& oldName, const QString& newName) {
    try {
        if (newName.isEmpty()) {
            tell(kEmptyBudgetNameText);
            return kRecordCancelled;
        }
        core::cDB2 query;
        query.SetConnection();
        Connection& cnn = query.Cnn();
        const QVariant stored =
            cnn.scalar(QStringLiteral("SELECT Budget_Name FROM Budgets WHERE Budget_Name = ? "
                                      "AND Budget_Name <> ?"),
                       {oldName, platform::sys::kPlaceholderText});
        if (!stored.isValid())
            return kRecordCancelled;
        if (newName == oldName)
            return kRecordDone;
        // The budget's own name in other letters is no clash; any other budget of the name is.
        const QVariant clash = cnn.scalar(QStringLiteral("SELECT Budget_Name FROM Budgets "
                                                         "WHERE Budget_Name = ? COLLATE NOCASE_U "
                                                         "AND Budget_Name <> ?"),
                                          {newName, oldName});
        if (clash.isValid()) {
            tell(BudgetNameInUseText(newName));
            return kRecordCancelled;
        }
        Transaction transaction(cnn);
        renameEverywhere(cnn, oldName, newName);
        transaction.commit();
        renameContext(oldName, newName);
        return kRecordDone;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return kRecordFailed;
    }
}

void AddAddressesToUsersData() {
    QWidget* window = platform::ui::LoadedWindows::find(mail::kAddAddressFormName);
    const auto* grid = window ? window->findChild<platform::ui::DataGrid*>(kAddressGrid) : nullptr;
    if (!grid)
        return;
    try {
        core::cDB2 query;
        query.SetConnection();
        Connection& cnn = query.Cnn();
        Transaction transaction(cnn);
        QStringList leftOut;
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QString user = grid->cellText(row, 0);
            if (user.isEmpty())
                continue;
            const QString address = grid->cellText(row, 1);
            if (!admin::AddressRefusal(address).isEmpty()) {
                leftOut << address;
                continue;
            }
            // Names are compared without regard to case, as the users grid does: "ann" is "Ann".
            const QVariant known = cnn.scalar(QStringLiteral("SELECT Users FROM UsersData WHERE Users IS NOT "
                                                             "NULL AND Users = ? COLLATE NOCASE_U"),
                                              {user});
            if (known.isValid())
                continue;
            cnn.execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)"),
                        {user, address});
        }
        transaction.commit();
        if (!leftOut.isEmpty())
            platform::ui::msgBox(admin::LeftOutAddressesText(leftOut), platform::ui::Buttons::Ok,
                                 core::appTitle());
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void ImportContactAddresses() {
    // A window the user has open is used as it is and left open.
    mail::frmAddAddress* window = mail::frmAddAddress::loaded();
    const bool own = !window;
    if (own)
        window = new mail::frmAddAddress;
    window->cbxListSource()->setText(mail::kContactsSource);
    window->cbxListName()->setText(kQuickStartAddressBook);
    window->chkName()->setChecked(true);
    window->cmdAllToUsers_Click();
    core::Pause(1);
    AddAddressesToUsersData();
    if (own) {
        window->close();
        delete window;
    }
}

} // namespace lumidesk
