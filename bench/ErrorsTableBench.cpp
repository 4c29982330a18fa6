// Cost of one errors-table write against the number of rows the table already holds. The
// writers add a row without reading the table, so the time per write should stay flat from
// an empty log to one of a hundred thousand rows.
#include "core/ErrorsTable.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

// A private data folder holding a copy of the built master database with `rows` errors.
class Workspace {
public:
    explicit Workspace(long rows) {
        setenv("LUMIVANE_COMMON_FILES", qPrintable(dir_.path()), 1);
        setenv("XDG_CONFIG_HOME", qPrintable(dir_.path()), 1);
        QDir().mkpath(dir_.path() + QStringLiteral("/Lumidesk"));
        const QString master = dir_.path() + QStringLiteral("/Lumidesk/lumimaster.mdb");
        QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), master);
        QFile::setPermissions(master, QFile::ReadOwner | QFile::WriteOwner);
        core::gOptions = std::make_unique<core::cOptions>();
        core::gCnn = std::make_unique<core::cConnection>();
        core::gCnn->LocalCnn();
        platform::db::Connection db;
        db.open(core::gCnn->LumiCnn());
        db.execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                           "INSERT INTO Errors (UF_name, Budget_Name, MF_Value) "
                           "SELECT 'user' || i || '.xlsx', 'Budget', printf('%.200c', 'v') FROM n"),
            {static_cast<qint64>(rows)});
    }
    ~Workspace() {
        core::gCnn.reset();
        core::gOptions.reset();
    }

private:
    QTemporaryDir dir_;
};

void BM_LogCellError(benchmark::State& state) {
    Workspace workspace(state.range(0));
    for (auto _ : state)
        core::LogCellError(120000, 40, true, false, false, QStringLiteral("AN120000"),
                           QStringLiteral("north.xlsx"), QStringLiteral("North"), QStringLiteral("Sales"),
                           QStringLiteral("sales.xlsx"), QStringLiteral("1200"), QStringLiteral("1350"));
}
BENCHMARK(BM_LogCellError)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace
