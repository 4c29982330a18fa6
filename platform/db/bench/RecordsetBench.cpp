// Writing one row through a recordset should cost the same however many rows the table
// holds: an append-only recordset reads no rows, and a change is written by the row id.
// Run with the table size as the argument and compare the times per row.
#include "platform/db/Connection.h"
#include "platform/db/Engine.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace platform::db;

namespace {

// A file with an Errors-like table of the given number of rows.
QString makeTable(const QTemporaryDir& dir, qint64 rows) {
    const QString path = dir.path() + QStringLiteral("/bench-%1.mdb").arg(rows);
    sqlite3* db = engine::openHandle(path, QString(), engine::OpenMode::CreateNew);
    sqlite3_exec(db,
                 "CREATE TABLE Errors (ID INTEGER PRIMARY KEY AUTOINCREMENT, UF_name VARCHAR(100), "
                 "MF_Value VARCHAR(255));"
                 "BEGIN;",
                 nullptr, nullptr, nullptr);
    engine::Statement insert(db, QStringLiteral("INSERT INTO Errors (UF_name, MF_Value) VALUES (?, ?)"));
    for (qint64 i = 0; i < rows; ++i) {
        sqlite3_reset(insert.get());
        insert.bind({QStringLiteral("user file %1").arg(i), QStringLiteral("value %1").arg(i)});
        insert.run();
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    engine::closeHandle(db);
    return path;
}

void AppendOneRow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = makeTable(dir, state.range(0));
    Connection connection;
    connection.open(QStringLiteral("Data Source=") + path);
    for (auto _ : state) {
        Recordset rs = Recordset::forAppend(connection, QStringLiteral("Errors"));
        rs.addNew();
        rs.setValue(QStringLiteral("UF_name"), QStringLiteral("new"));
        rs.update();
    }
}
BENCHMARK(AppendOneRow)->Arg(1000)->Arg(100000);

void ChangeOneRow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = makeTable(dir, state.range(0));
    Connection connection;
    connection.open(QStringLiteral("Data Source=") + path);
    Recordset rs = Recordset::open(connection, QStringLiteral("SELECT * FROM Errors WHERE ID = ?"),
                                   {QVariant(static_cast<qint64>(state.range(0) / 2))});
    int n = 0;
    for (auto _ : state) {
        rs.setValue(QStringLiteral("MF_Value"), QString::number(++n));
        rs.update();
    }
}
BENCHMARK(ChangeOneRow)->Arg(1000)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
