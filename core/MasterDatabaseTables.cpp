// See MasterDatabaseTables.h. The scripts create each table and index only where it is missing,
// so running them on a current database changes nothing. The added tables' script is not even run
// then: the names it creates are looked up first, a read, where the script's transaction would
// take the write lock for nothing each time a routine about to use the tables calls it (once for
// every returned user file).
#include "core/MasterDatabaseTables.h"

#include "core/AddedTablesScript.h"
#include "core/IndexesScript.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <exception>

namespace core {

namespace {

// The names of what the script creates ("... IF NOT EXISTS <name>"), folded to lower case.
const QStringList& createdNames() {
    static const QStringList names = [] {
        static const QRegularExpression created(QStringLiteral(R"(IF\s+NOT\s+EXISTS\s+"?(\w+))"),
                                                QRegularExpression::CaseInsensitiveOption);
        QStringList found;
        for (auto match = created.globalMatch(QString::fromUtf8(kAddedTablesScript)); match.hasNext();)
            found << match.next().captured(1).toLower();
        return found;
    }();
    return names;
}

bool nothingMissing(platform::db::Connection& cnn) {
    QSet<QString> present;
    for (platform::db::Recordset rows =
             platform::db::Recordset::open(cnn, QStringLiteral("SELECT name FROM sqlite_master"));
         !rows.eof(); rows.moveNext())
        present.insert(rows.value(0).toString().toLower());
    for (const QString& name : createdNames())
        if (!present.contains(name))
            return false;
    return true;
}

} // namespace

void AddMissingTables(platform::db::Connection& cnn) {
    if (nothingMissing(cnn))
        return;
    platform::db::WriteStep step(cnn, QStringLiteral("added_tables"));
    cnn.executeScript(QString::fromUtf8(kAddedTablesScript));
    step.commit();
}

bool AddMissingIndexes(platform::db::Connection& cnn) {
    try {
        return cnn.tryExecuteScript(QString::fromUtf8(kIndexesScript), kIndexWaitMs);
    } catch (const std::exception&) {
        // A database this script does not fit (a table or column it names is missing) works on
        // without the indexes, as it did before them.
        return false;
    }
}

} // namespace core
