// Test helpers: new database files on disk, plain or encrypted, made straight through the
// engine (the layer itself never creates a file), and connection strings for them.
#pragma once

#include "platform/db/ConnectionString.h"
#include "platform/db/Engine.h"
#include "support/TestEnvironment.h"

#include <QString>
#include <functional>
#include <ostream>

namespace dbtest {

// Creates the file at path (password "" for a plain file) and runs the script in it.
inline void makeDatabase(const QString& path, const QString& password, const QString& script) {
    using namespace platform::db;
    sqlite3* db = engine::openHandle(path, password, engine::OpenMode::CreateNew);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = message ? QString::fromUtf8(message) : QString();
    sqlite3_free(message);
    engine::closeHandle(db);
    if (rc != SQLITE_OK)
        throw DbError(DbError::kGeneral, QStringLiteral("fixture script failed: ") + text);
}

// The number of the DbError that work throws, 0 when it throws none.
inline qint32 errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const platform::db::DbError& e) {
        return e.number();
    }
    return 0;
}

// "Provider=...;Data Source=<path>[;Jet OLEDB:Database Password=<password>]"
inline QString connectionString(const QString& path, const QString& password = {}) {
    platform::db::ConnectionString cs;
    cs.set(platform::db::ConnectionString::kProvider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    cs.set(platform::db::ConnectionString::kDataSource, path);
    if (!password.isEmpty())
        cs.set(platform::db::ConnectionString::kDatabasePassword, password);
    return cs.toString();
}

// A table of budgets with an AutoNumber key, a sized text, a yes/no and a date, three rows.
inline const QString kBudgetsScript = QStringLiteral(
    "CREATE TABLE Budgets (ID_Budgets INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Budget_Name VARCHAR(20) CHECK (length(Budget_Name) <= 20),"
    " Active YESNO NOT NULL DEFAULT 0 CHECK (Active IN (0,1)),"
    " Budget_Date DATETIME, Note TEXT);"
    "INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Note) VALUES ('Alpha', 1, '2024-01-31 10:00:00', "
    "NULL);"
    "INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Note) VALUES ('Beta', 0, NULL, '');"
    "INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Note) VALUES ('Gamma', 0, NULL, 'third');");

} // namespace dbtest

// Readable QString values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
