// See AddWorkbookToBudget.h. The master files are scanned in the order they were added, as the
// registration step that records a folder for a file name relies on; the budget name asked for
// is looked up as typed text (a part of a name), every other name exactly.
#include "lumicell/buildbudget/AddWorkbookToBudget.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/NameCompletion.h"
#include "core/cDB2.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"

#include <QDateTime>
#include <optional>

namespace lumicell {

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::ui::Answer;
using platform::ui::Buttons;
using workbooks::TextOf;

Answer ask(const QString& text, Buttons buttons) {
    return platform::ui::msgBox(text, buttons, core::appTitle());
}

// What the scan of the MasterFiles rows found for the workbook.
struct Scan {
    enum class Outcome { Registered, Unknown, Corrupt, NoRows } outcome = Outcome::Unknown;
    QString budget;      // Registered: its budget
    QString otherBudget; // Unknown: the budget of the same file name in another folder
};

Scan scanMasterFiles(Connection& cnn, const QString& WBName, const QString& WBPath) {
    Recordset rows = Recordset::open(
        cnn, QStringLiteral(
                 "SELECT Master_File, Path, Budget_Name, ID_MasterFiles FROM MasterFiles ORDER BY rowid"));
    Scan scan;
    if (rows.eof()) {
        scan.outcome = Scan::Outcome::NoRows;
        return scan;
    }
    QString lastPath;
    for (; !rows.eof(); rows.moveNext()) {
        if (TextOf(rows, QStringLiteral("Master_File")) != WBName)
            continue;
        const QString path = TextOf(rows, QStringLiteral("Path"));
        if (!path.isEmpty())
            lastPath = path;
        QString budget = TextOf(rows, QStringLiteral("Budget_Name"));
        if (budget == platform::sys::kPlaceholderText)
            budget.clear();
        if (lastPath == WBPath) {
            if (budget.isEmpty())
                continue;
            scan.outcome = Scan::Outcome::Registered;
            scan.budget = budget;
            return scan;
        }
        if (!budget.isEmpty()) {
            scan.otherBudget = budget;
            continue;
        }
        ask(kCorruptRecordText, Buttons::Ok);
        cnn.execute(QStringLiteral("DELETE FROM MasterFiles WHERE ID_MasterFiles = ?"),
                    {rows.value(QStringLiteral("ID_MasterFiles"))});
        scan.outcome = Scan::Outcome::Corrupt;
        return scan;
    }
    return scan;
}

// The existing budget the typed name stands for: the one budget whose name contains it, or,
// among several, the one whose name it is; none otherwise.
std::optional<QString> existingBudget(Connection& cnn, const QString& name) {
    const QStringList budgets =
        core::NamesContaining(cnn, QStringLiteral("Budgets"), QStringLiteral("Budget_Name"), name);
    if (budgets.size() == 1)
        return budgets.front();
    for (const QString& budget : budgets)
        if (budget.compare(name, Qt::CaseInsensitive) == 0)
            return budget;
    return std::nullopt;
}

// The workbook's master-file row in the budget, when there is exactly one (from another folder).
std::optional<qint64> trackedElsewhere(Connection& cnn, const QString& WBName, const QString& budget) {
    Recordset rows =
        Recordset::open(cnn,
                        QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = ? "
                                       "AND Budget_Name = ? COLLATE NOCASE_U"),
                        {WBName, budget});
    if (rows.recordCount() != 1)
        return std::nullopt;
    return rows.value(0).toLongLong();
}

// The open workbook of that name when it is open read-only.
const platform::sheet::Workbook* openReadOnly(const QString& WBName) {
    platform::sheet::Application* app = gXLApp();
    platform::sheet::Workbook* book = app ? app->findWorkbook(WBName) : nullptr;
    return book && book->readOnly() ? book : nullptr;
}

void makeContext(const QString& budget) {
    gOptions()->BudgetNameContext = budget;
}

// Asks for the budget until the workbook is registered (true) or the administrator gives up.
bool chooseBudget(Connection& cnn, const QString& WBName, const QString& WBPath, const QString& otherBudget) {
    for (;;) {
        const std::optional<QString> typed =
            platform::ui::ui().input(kBudgetNamePrompt, core::appTitle(), kDefaultBudgetName);
        QString name = typed.value_or(QString());
        name.remove(u'\'');
        if (name.isEmpty())
            return false;
        QString budget;
        if (const std::optional<QString> found = existingBudget(cnn, name)) {
            budget = *found;
            if (const std::optional<qint64> row = trackedElsewhere(cnn, WBName, budget)) {
                if (ask(kTrackQuestion, Buttons::YesNo) != Answer::Yes)
                    continue;
                cnn.execute(QStringLiteral(
                                "UPDATE MasterFiles SET Path = ?, Process_Date = ? WHERE ID_MasterFiles = ?"),
                            {WBPath, QDateTime::currentDateTime(), *row});
                makeContext(budget);
                return true;
            }
        } else {
            if (name == otherBudget)
                continue;
            budget = name;
            cnn.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Admin_Name) "
                                       "VALUES (?, 1, ?, ?)"),
                        {budget, QDateTime::currentDateTime(), kAddInAuthor});
        }
        cnn.execute(
            QStringLiteral("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES (?, ?, ?)"),
            {WBName, WBPath, budget});
        makeContext(budget);
        gOptions()->ReadValues(gXLApp());
        gOptions()->NewBudgetFile = true;
        return true;
    }
}

} // namespace

bool AddWorkbookToBudget(const QString& WBName, const QString& WBPath) {
    try {
        core::cDB2 query;
        query.SetConnection();
        Connection& cnn = query.Cnn();
        const Scan scan = scanMasterFiles(cnn, WBName, WBPath);
        switch (scan.outcome) {
        case Scan::Outcome::Registered:
            makeContext(scan.budget);
            return true;
        case Scan::Outcome::Corrupt:
            makeContext(kNoContext);
            return false;
        case Scan::Outcome::NoRows:
            return false;
        case Scan::Outcome::Unknown:
            break;
        }
        if (const platform::sheet::Workbook* readOnly = openReadOnly(WBName)) {
            ask(kReadOnlyRegistrationText.arg(WBName, readOnly->readOnlyReasonText()), Buttons::Ok);
            return false;
        }
        if (ask(kNewWorkbookQuestion, Buttons::YesNo) != Answer::Yes)
            return false;
        return chooseBudget(cnn, WBName, WBPath, scan.otherBudget);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

} // namespace lumicell
