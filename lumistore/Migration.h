// Internal: carrying the data of a previous master database into a new one, in three
// phases. Planning reads everything it needs from both databases: which listed tables the
// previous database has, their rows (placeholder rows left out) mapped onto the new
// table's columns by position, and the mail accounts that will have no record type.
// Asking puts the author question for each of those accounts to the user, before anything
// is written, so no lock is held while a question waits. Writing adds every planned row
// once, links the worksheets to their master workbooks again and stores the answers, all
// in one transaction on the new database.
#pragma once

#include "platform/db/Recordset.h"
#include "platform/db/Schema.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <vector>

namespace platform::db {
class Connection;
}

namespace lumistore {

class WaitDisplay;

class Migration {
public:
    Migration(platform::db::Connection& target, platform::db::Connection& source, WaitDisplay& wait);

    void run();

private:
    // One row to add: new column index -> value.
    using Row = std::map<int, QVariant>;

    struct TableCopy {
        platform::db::TableInfo target;
        std::vector<Row> rows;
    };

    // A mail account that will have no record type, and the user's answer for it.
    struct AuthorQuestion {
        QString name;
        int existingRow = -1;  // its position in existingAccounts_ (1 = first), or -1
        Row* newRow = nullptr; // else the planned row it is
        bool author = false;
    };

    void plan();
    TableCopy planCopy(const QString& table);
    void planAuthorQuestions();
    void ask();
    void write();
    void insertRow(const platform::db::TableInfo& table, const Row& row);
    void relinkWorksheets();
    void storeExistingAnswers();

    platform::db::Connection& target_;
    platform::db::Connection& source_;
    WaitDisplay& wait_;

    QStringList listed_;
    std::map<QString, TableCopy> copies_; // by listed name
    platform::db::Recordset existingAccounts_;
    int recTypeColumn_ = -1;
    int defaultColumn_ = -1;
    std::vector<AuthorQuestion> questions_;
};

} // namespace lumistore
