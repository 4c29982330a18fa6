// See Migration.h.
#include "lumistore/Migration.h"

#include "lumistore/TableSweep.h"
#include "lumistore/WaitDisplay.h"
#include "lumistore/cClean.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"

#include <QStringList>
#include <set>

namespace lumistore {

namespace {

using platform::db::Connection;
using platform::db::DbError;
using platform::db::quoteIdentifier;
using platform::db::Recordset;
using platform::db::TableInfo;

const QString kMigratingText = QStringLiteral("Migrating old data to new table.");
const QString kAccountsTable = QStringLiteral("Admin");
const QString kKeyPrefix = QStringLiteral("ID_"); // the new table numbers these columns itself

bool isNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

bool isPlaceholder(const QVariant& value) {
    return value.userType() == QMetaType::QString && value.toString() == platform::sys::kPlaceholderText;
}

// An account the user is asked about: it has a name, and it is not the placeholder.
bool namesAnAccount(const QVariant& name) {
    return !isNull(name) && !name.toString().isEmpty() && !isPlaceholder(name);
}

int requireColumn(const TableInfo& table, const QString& column) {
    const int index = table.columnIndex(column);
    if (index < 0)
        throw DbError(DbError::kItemNotFound,
                      QStringLiteral("The table '%1' has no column '%2'.").arg(table.name, column));
    return index;
}

} // namespace

Migration::Migration(Connection& target, Connection& source, WaitDisplay& wait)
    : target_(target)
    , source_(source)
    , wait_(wait) {}

void Migration::run() {
    plan();
    ask();
    write();
}

void Migration::plan() {
    listed_ = listedTables(target_);
    for (const QString& name : listed_)
        if (!copies_.count(name) && hasExactTable(source_, name))
            copies_.emplace(name, planCopy(name));
    planAuthorQuestions();
}

Migration::TableCopy Migration::planCopy(const QString& table) {
    TableCopy copy{requireTable(target_, table), {}};
    Recordset rows = Recordset::open(source_, QStringLiteral("SELECT * FROM ") + quoteIdentifier(table));
    const int columns = rows.fieldCount();
    if (columns > copy.target.columns.size())
        throw DbError(DbError::kItemNotFound,
                      QStringLiteral("The table '%1' of the new database has fewer columns (%2) than the "
                                     "previous one (%3).")
                          .arg(table, QString::number(copy.target.columns.size()), QString::number(columns)));
    for (; !rows.eof(); rows.moveNext()) {
        if (isPlaceholder(rows.value(0)))
            continue;
        Row row;
        for (int j = 0; j < columns; ++j)
            if (!copy.target.columns.at(j).name.startsWith(kKeyPrefix, Qt::CaseSensitive))
                row[j] = rows.value(j);
        copy.rows.push_back(std::move(row));
    }
    return copy;
}

void Migration::planAuthorQuestions() {
    const TableInfo accounts = requireTable(target_, kAccountsTable);
    const int nameColumn = requireColumn(accounts, QStringLiteral("Admin_Name"));
    recTypeColumn_ = requireColumn(accounts, QStringLiteral("RecType"));
    defaultColumn_ = requireColumn(accounts, QStringLiteral("Default"));

    // Accounts the new database already holds without a record type come first, as they
    // come first in the table.
    existingAccounts_ = Recordset::open(target_, QStringLiteral("SELECT * FROM Admin WHERE RecType IS NULL"));
    for (int position = 1; !existingAccounts_.eof(); existingAccounts_.moveNext(), ++position) {
        const QVariant name = existingAccounts_.value(nameColumn);
        if (namesAnAccount(name))
            questions_.push_back({name.toString(), position, nullptr});
    }

    for (auto& [listedName, copy] : copies_) {
        if (copy.target.name.compare(accounts.name, Qt::CaseInsensitive) != 0)
            continue;
        for (Row& row : copy.rows) {
            const auto recType = row.find(recTypeColumn_);
            if (recType != row.end() && !isNull(recType->second))
                continue;
            const auto name = row.find(nameColumn);
            if (name != row.end() && namesAnAccount(name->second))
                questions_.push_back({name->second.toString(), -1, &row});
        }
    }
}

void Migration::ask() {
    for (AuthorQuestion& question : questions_) {
        const auto answer = platform::ui::msgBox(QStringLiteral("Is the ") + question.name +
                                                     QStringLiteral(" record an Author?"),
                                                 platform::ui::Buttons::YesNo, QStringLiteral("Lumivane"));
        question.author = answer == platform::ui::Answer::Yes;
        if (question.newRow) {
            (*question.newRow)[recTypeColumn_] =
                question.author ? QStringLiteral("Author") : QStringLiteral("Robot");
            (*question.newRow)[defaultColumn_] = 0;
        }
    }
}

void Migration::write() {
    platform::db::Transaction transaction(target_);
    const int count = int(listed_.size());
    std::set<QString> copied; // a table listed twice is copied once
    int k = 1;
    for (const QString& name : listed_) {
        wait_.step(name, kMigratingText, count, k);
        const auto copy = copies_.find(name);
        if (copy != copies_.end() && copied.insert(name).second)
            for (const Row& row : copy->second.rows)
                insertRow(copy->second.target, row);
        ++k;
    }
    relinkWorksheets();
    storeExistingAnswers();
    transaction.commit();
}

void Migration::insertRow(const TableInfo& table, const Row& row) {
    if (row.empty()) {
        target_.execute(QStringLiteral("INSERT INTO ") + quoteIdentifier(table.name) +
                        QStringLiteral(" DEFAULT VALUES"));
        return;
    }
    QStringList columns;
    QVariantList values;
    for (const auto& [index, value] : row) {
        columns << table.columns.at(index).name;
        values << value;
    }
    target_.execute(QStringLiteral("INSERT INTO ") + quoteIdentifier(table.name) + QStringLiteral(" (") +
                        platform::db::identifierList(columns) + QStringLiteral(") VALUES (") +
                        platform::db::parameterMarks(columns.size()) + QLatin1Char(')'),
                    values);
}

// Each master workbook row gets a new key in the new database; the worksheets that name the
// same master workbook and budget (exactly, letter case counting) and are linked at all
// take it. Worksheets not linked (0 or Null) stay so.
void Migration::relinkWorksheets() {
    Recordset masters = Recordset::open(
        target_, QStringLiteral("SELECT Master_File, Budget_Name, ID_MasterFiles FROM MasterFiles "
                                "WHERE Master_File IS NOT NULL"));
    for (; !masters.eof(); masters.moveNext()) {
        const QVariant budget = masters.value(1);
        if (isNull(budget) || budget.toString().isEmpty())
            continue;
        target_.execute(
            QStringLiteral("UPDATE Worksheets SET MasterFiles_ID = ? "
                           "WHERE Worksheet_Name IS NOT NULL "
                           "AND MasterFiles_ID IS NOT NULL AND MasterFiles_ID <> 0 "
                           "AND Master_File COLLATE BINARY = ? AND Budget_Name COLLATE BINARY = ?"),
            {masters.value(2), masters.value(0), budget});
    }
}

void Migration::storeExistingAnswers() {
    for (const AuthorQuestion& question : questions_) {
        if (question.existingRow < 1)
            continue;
        existingAccounts_.moveFirst();
        existingAccounts_.move(question.existingRow - 1);
        existingAccounts_.setValue(recTypeColumn_,
                                   question.author ? QStringLiteral("Author") : QStringLiteral("Robot"));
        existingAccounts_.setValue(defaultColumn_, 0);
        existingAccounts_.update();
    }
}

} // namespace lumistore
