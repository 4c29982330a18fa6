// Test helpers for the data store library: copies of the master database the build made,
// small databases made from a script, and plain reads of what a file holds, all on real
// files in a fresh folder per test.
#pragma once

#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>
#include <gtest/gtest.h>
#include <ostream>

namespace storetest {

// The connection string the program passes for a database file.
inline QString connectionString(const QString& path, const QString& password = {}) {
    platform::db::ConnectionString text;
    text.set(platform::db::ConnectionString::kProvider, QStringLiteral("Lumivane.SQLCipher"));
    text.set(platform::db::ConnectionString::kDataSource, path);
    if (!password.isEmpty())
        text.set(platform::db::ConnectionString::kDatabasePassword, password);
    return text.toString();
}

// A copy of the built master database in a fresh folder.
inline QString copyMaster(const QString& name = QStringLiteral("lumimaster.mdb")) {
    const QString path = testsupport::freshDir(QStringLiteral("db")) + QLatin1Char('/') + name;
    if (!QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path))
        ADD_FAILURE() << "cannot copy the master database to " << path.toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// A new database file made by running the script (password "" for a plain file).
inline QString makeDatabase(const QString& script, const QString& password = {}) {
    using namespace platform::db;
    const QString path = testsupport::freshDir(QStringLiteral("db")) + QStringLiteral("/made.mdb");
    sqlite3* db = engine::openHandle(path, password, engine::OpenMode::CreateNew);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = message ? QString::fromUtf8(message) : QString();
    sqlite3_free(message);
    engine::closeHandle(db);
    if (rc != SQLITE_OK)
        ADD_FAILURE() << "fixture script failed: " << text.toStdString();
    return path;
}

// Runs statements on a database file.
inline void execute(const QString& path, const QStringList& statements, const QVariantList& params = {}) {
    platform::db::Connection connection;
    connection.open(connectionString(path));
    for (const QString& statement : statements)
        connection.execute(statement, params);
}

// Every row of a query, each as the list of its values.
inline QList<QVariantList> rows(const QString& path, const QString& sql, const QVariantList& params = {}) {
    platform::db::Connection connection;
    connection.open(connectionString(path));
    QList<QVariantList> result;
    auto set = platform::db::Recordset::open(connection, sql, params);
    for (; !set.eof(); set.moveNext()) {
        QVariantList row;
        for (int i = 0; i < set.fieldCount(); ++i)
            row << set.value(i);
        result << row;
    }
    return result;
}

// The first column of every row, as text ("<null>" for Null).
inline QStringList column(const QString& path, const QString& sql) {
    QStringList result;
    for (const QVariantList& row : rows(path, sql))
        result << (row.first().isNull() ? QStringLiteral("<null>") : row.first().toString());
    return result;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace storetest

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}
QT_END_NAMESPACE
