// See BudgetMigration.h.
#include "admin/BudgetMigration.h"

#include "admin/BudgetPermissions.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetCopy.h"
#include "wizard/BudgetDeletion.h"

namespace admin {

namespace {

using platform::db::Connection;
using platform::db::Recordset;

const QString kSourceFailed = QStringLiteral("The source query failed.  Run CompactDatabase.");
const QString kNotTargetAuthor =
    QStringLiteral("Move denied.  You are not the budget Author at the target destination.");
const QString kOverwrite =
    QStringLiteral("This budget exists and you are the Author.  Do you want to overwrite it?");

QString budgetByName(const QString& columns) {
    return QStringLiteral("SELECT ") + columns +
           QStringLiteral(" FROM Budgets WHERE Budget_Name = ? COLLATE ") + platform::db::kNoCaseCollation;
}

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

bool askYes(const QString& text) {
    return platform::ui::msgBox(text, platform::ui::Buttons::YesNo, core::appTitle(),
                                platform::ui::Icon::Question) == platform::ui::Answer::Yes;
}

// The direction flag CopyBudgetRecord reads, set for the life of one operation.
class Direction {
public:
    explicit Direction(bool& flag)
        : flag_(flag) {
        flag_ = true;
    }
    ~Direction() { flag_ = false; }
    Direction(const Direction&) = delete;
    Direction& operator=(const Direction&) = delete;

private:
    bool& flag_;
};

Connection openConnection(const QString& connectionString) {
    Connection cnn;
    cnn.open(connectionString);
    return cnn;
}

// One budget on its way: its source row and database, the target, and whether the target
// holds a budget of that name that it replaces.
struct Transfer {
    Recordset& source;
    Connection& from;
    Connection& to;
    bool replace;
    const QString& budget;
    MigrationMode mode;
};

// On the target, in one transaction: the budget it replaces goes, the record and the tables
// come; nothing stays of it unless all of it succeeded. A move then removes its source, in a
// transaction of its own; a move that did not copy keeps it.
MigrationEnd transfer(const Transfer& t, const QString& recordFailedText) {
    bool copied = false;
    {
        platform::db::Transaction work(t.to);
        if (!t.replace || wizard::DeleteBudget(t.budget, t.to)) {
            if (!wizard::CopyBudgetRecord(t.source, t.from, t.to))
                say(recordFailedText);
            else if (wizard::CopyBudgetTables(t.source, t.from, t.to))
                copied = true;
        }
        if (copied)
            work.commit();
    }
    if (t.mode == MigrationMode::Copy)
        return MigrationEnd::Finish;
    if (!copied)
        return MigrationEnd::Stop;
    platform::db::Transaction work(t.from);
    if (wizard::DeleteBudget(t.budget, t.from))
        work.commit();
    return MigrationEnd::Finish;
}

// The source budget of exactly that name; no value (after the message) when there is not one.
std::optional<Recordset> sourceBudget(Connection& cnn, const QString& budget) {
    Recordset rows = Recordset::open(cnn, budgetByName(QStringLiteral("*")), {budget});
    if (rows.recordCount() != 1 || budget == platform::sys::kPlaceholderText) {
        say(kSourceFailed);
        return std::nullopt;
    }
    return rows;
}

// The grant test of the network budget, which on a grant makes it the budget context.
bool granted(const QString& budget) {
    int mode = 0;
    return SetBudgetContext(budget, core::gOptions->LumiAdminUserName, mode);
}

template <class Work> MigrationEnd trapped(Work&& work) {
    try {
        return work();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return MigrationEnd::Stop;
    }
}

} // namespace

bool IsBudgetAuthor(const QString& author, const QString& budget, Connection& cnn) {
    Recordset rows = Recordset::open(cnn, budgetByName(QStringLiteral("Budget_Name, Admin_Name")), {budget});
    if (rows.recordCount() != 1) {
        say(QStringLiteral("No record found.  Check the Budgets table Page 1 of the Budget Wizard."));
        return false;
    }
    return rows.value(1).toString().compare(author, Qt::CaseInsensitive) == 0;
}

bool BudgetExistsOnce(const QString& budget, Connection& cnn) {
    return Recordset::open(cnn, budgetByName(QStringLiteral("Budget_Name")), {budget}).recordCount() == 1;
}

MigrationEnd MigrateToNetwork(const QString& budget, MigrationMode mode, const QString& localConnection) {
    platform::ui::BusyPointer::Guard busy;
    Direction direction(core::gOptions->LocalToNet);
    return trapped([&] {
        Connection local = openConnection(localConnection);
        auto source = sourceBudget(local, budget);
        if (!source)
            return MigrationEnd::Stop;
        Connection network = openConnection(core::gCnn->LumiCnn());
        const QString me = core::gOptions->LumiAdminUserName;
        const bool exists = BudgetExistsOnce(budget, network);
        if (mode == MigrationMode::Move) {
            if (exists && !IsBudgetAuthor(me, budget, network)) {
                say(kNotTargetAuthor);
                return MigrationEnd::Stop;
            }
        } else if (exists) {
            if (!IsBudgetAuthor(me, budget, network)) {
                say(QStringLiteral(
                    "The selected Budget exists on the network database and you don't have overwrite "
                    "permissions."));
                return MigrationEnd::Finish;
            }
            if (!askYes(kOverwrite))
                return MigrationEnd::Stop;
        }
        return transfer({*source, local, network, exists, budget, mode},
                        QStringLiteral("The source Budget record failed to copy to the network database."));
    });
}

MigrationEnd MigrateToLocal(const QString& budget, MigrationMode mode, const QString& localConnection) {
    platform::ui::BusyPointer::Guard busy;
    Direction direction(core::gOptions->NetToLocal);
    return trapped([&] {
        Connection local = openConnection(localConnection);
        Connection network = openConnection(core::gCnn->LumiCnn());
        auto source = sourceBudget(network, budget);
        if (!source)
            return MigrationEnd::Stop;
        const QString me = core::gOptions->LumiAdminUserName;
        const bool exists = BudgetExistsOnce(budget, local);
        if (mode == MigrationMode::Copy) {
            if (exists) {
                if (!IsBudgetAuthor(me, budget, network)) {
                    say(QStringLiteral("The selected Budget exists on the local database but you don't have "
                                       "overwrite permissions."));
                    return MigrationEnd::Finish;
                }
                if (!askYes(kOverwrite))
                    return MigrationEnd::Stop;
            } else if (core::gOptions->CopyPermissions && !granted(budget)) {
                return MigrationEnd::Finish;
            }
        } else {
            if (!granted(budget))
                return MigrationEnd::Stop;
            if (!IsBudgetAuthor(me, budget, network)) {
                say(QStringLiteral("Move denied.  Move requires you to be the budget Author.  You are "
                                   "authorized for new Copy."));
                return MigrationEnd::Finish;
            }
            if (exists && !IsBudgetAuthor(me, budget, local)) {
                say(kNotTargetAuthor);
                return MigrationEnd::Stop;
            }
        }
        return transfer({*source, network, local, exists, budget, mode},
                        QStringLiteral("The source Budget record failed to copy."));
    });
}

} // namespace admin
