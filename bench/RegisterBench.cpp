// How the register sync and the lookups made for every user file grow with the number of users:
// a budget of N user files (N/10 master workbooks of 10 sheets, one user each) in a copy of the
// built master database, with its indexes or, as a database of an earlier version, without them.
//   BM_RegisterSync/N/indexed      one sync of a register that is up to date (every file's row
//                                  found, nothing written)
//   BM_PerFileLookups/N/indexed    the lookups of the cut, the mail and the collection, once for
//                                  each of the N user files
// Linear work shows as ten times the time for ten times the users.
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "core/tests/MasterIndexes.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "wizard/SyncUserFileTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

const QString kBudget = QStringLiteral("Bench");

QString userFile(int u) {
    return QStringLiteral("U%1.xlsx").arg(u, 5, 10, QLatin1Char('0'));
}
QString userName(int u) {
    return QStringLiteral("User%1").arg(u, 5, 10, QLatin1Char('0'));
}

// A private data folder whose master database holds the budget of `users` user files, its
// register filled in.
class Workspace {
public:
    Workspace(int users, bool indexed) {
        setenv("LUMIVANE_COMMON_FILES", qPrintable(dir_.path()), 1);
        setenv("XDG_CONFIG_HOME", qPrintable(dir_.path()), 1);
        QDir().mkpath(dir_.path() + QStringLiteral("/Lumidesk"));
        const QString master = dir_.path() + QStringLiteral("/Lumidesk/lumimaster.mdb");
        QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), master);
        QFile::setPermissions(master, QFile::ReadOwner | QFile::WriteOwner);
        core::gOptions = std::make_unique<core::cOptions>();
        core::gOptions->BudgetNameContext = kBudget;
        core::gCnn = std::make_unique<core::cConnection>();
        core::gCnn->LocalCnn();
        cnn_.open(core::gCnn->LumiCnn());
        if (!indexed)
            coretest::dropIndexes(cnn_);
        fill(users);
    }
    ~Workspace() {
        cnn_.close();
        core::gCnn.reset();
        core::gOptions.reset();
    }
    platform::db::Connection& cnn() { return cnn_; }

private:
    void fill(int users) {
        cnn_.beginTransaction();
        for (int m = 0; m < users / 10; ++m)
            cnn_.execute(
                QStringLiteral("INSERT INTO MasterFiles (Master_File, Budget_Name, Path) VALUES (?, ?, ?)"),
                {QStringLiteral("M%1.xlsx").arg(m), kBudget, dir_.path()});
        for (int u = 0; u < users; ++u) {
            const int m = u / 10;
            const QString folder = QStringLiteral("U%1").arg(m);
            cnn_.execute(
                QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, "
                               "UF_Create_Date, User_Filename, UFNPath, Master_File, Budget_Name, "
                               "MasterFiles_ID) VALUES (?, 1, ?, '2026-01-02 03:04:05', ?, ?, ?, ?, ?)"),
                {QStringLiteral("M%1S%2").arg(m).arg(u % 10), folder, userFile(u),
                 dir_.path() + u'/' + folder + u'/' + userFile(u), QStringLiteral("M%1.xlsx").arg(m), kBudget,
                 m + 1});
            cnn_.execute(
                QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, "
                               "Master_File, Budget_Name, Folder_Name) VALUES (?, ?, 1, ?, ?, ?)"),
                {userFile(u), userName(u), QStringLiteral("M%1.xlsx").arg(m), kBudget, folder});
            cnn_.execute(QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)"),
                         {userName(u), userName(u) + QStringLiteral("@example.org")});
        }
        cnn_.commit();
    }

    QTemporaryDir dir_;
    platform::db::Connection cnn_;
};

void BM_RegisterSync(benchmark::State& state) {
    Workspace workspace(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state)
        wizard::SyncUserFileTable();
    state.counters["users"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_RegisterSync)
    ->ArgsProduct({{100, 1000}, {0, 1}})
    ->ArgNames({"users", "indexed"})
    ->Unit(benchmark::kMillisecond);

// The lookups, as the cut, the mail and the collection make them for one user file.
void lookUp(platform::db::Connection& cnn, int u) {
    using platform::db::Recordset;
    const QString file = userFile(u);
    Recordset sheet = Recordset::open(
        cnn,
        QStringLiteral("SELECT User_Filename, UFNPath, Master_File, Worksheet_Name FROM Worksheets "
                       "WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
                       "AND (? = '' OR Master_File = ? COLLATE NOCASE_U)"),
        {file, kBudget, QString(), QString()});
    cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Worksheets WHERE UFNPath = ?"), {sheet.value(1)});
    Recordset::open(cnn,
                    QStringLiteral("SELECT * FROM Worksheets WHERE Worksheet_Name = ? COLLATE NOCASE_U "
                                   "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid"),
                    {sheet.value(3), kBudget});
    Recordset row = Recordset::open(
        cnn,
        QStringLiteral("SELECT Select_By_User, Users, Attachment, Due_Date, ID_UFTD FROM UserFileTablesData "
                       "WHERE User_Filename = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U "
                       "ORDER BY (Master_File = ? COLLATE NOCASE_U) DESC, ID_UFTD LIMIT 1"),
        {file, kBudget, sheet.value(2)});
    Recordset::open(cnn, QStringLiteral("SELECT Email_Address FROM UsersData WHERE Users = ? COLLATE BINARY"),
                    {row.value(1)});
    Recordset::open(
        cnn,
        QStringLiteral("SELECT u.Email_Address FROM UserFileTablesData f JOIN UsersData u "
                       "ON u.Users = f.Users WHERE f.User_Filename = ? COLLATE NOCASE_U "
                       "AND f.Budget_Name = ? COLLATE NOCASE_U AND f.Master_File = ? COLLATE NOCASE_U"),
        {file, kBudget, sheet.value(2)});
}

void BM_PerFileLookups(benchmark::State& state) {
    const int users = static_cast<int>(state.range(0));
    Workspace workspace(users, state.range(1) != 0);
    for (auto _ : state) {
        for (int u = 0; u < users; ++u)
            lookUp(workspace.cnn(), u);
    }
    state.counters["users"] = users;
}
BENCHMARK(BM_PerFileLookups)
    ->ArgsProduct({{100, 1000}, {0, 1}})
    ->ArgNames({"users", "indexed"})
    ->Unit(benchmark::kMillisecond);

} // namespace
