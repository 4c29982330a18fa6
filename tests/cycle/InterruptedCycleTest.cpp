// The update run of the cycle killed with SIGKILL at random moments and started again. After
// every kill each master still opens, the master database passes its check, and a user file
// booked as merged has its change in its master; after the run that finishes every change is
// merged and booked, and one more run changes no master. The rounds are split into shards of a
// fixed number of rounds; each round prints its seed, so a failing round can be run again by
// its seed (CYCLE_SEED=<seed> runs that round alone in every shard).
#include "CycleFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sys/stat.h>

namespace cycletest {
namespace {

constexpr int kRoundsPerShard = 10;

// What each returned user file carries: Sales and Costs of Plan.xlsx, Rates of Locked.xlsx.
const std::map<QString, Typing> kReturned{
    {QStringLiteral("Sales"),
     {{QStringLiteral("B2"), QStringLiteral("150")}, {QStringLiteral("A4"), QStringLiteral("Eastern")}}},
    {QStringLiteral("Costs"), {{QStringLiteral("B3"), QStringLiteral("25")}}},
    {QStringLiteral("Rates"), {{QStringLiteral("B1"), QStringLiteral("0.07")}}},
};

struct Shard {
    const char* name;
    unsigned firstSeed;
};

void PrintTo(const Shard& shard, std::ostream* out) {
    *out << shard.name;
}

class InterruptedCycle : public CycleFixture, public ::testing::WithParamInterface<Shard> {
protected:
    void SetUp() override {
        CycleFixture::SetUp();
        buildBudget();
        // The users' files come back a minute after their cut, as the collection leaves them.
        for (const auto& [sheet, typed] : kReturned) {
            const QString path = userFilePath(sheet);
            typeInto(path, typed);
            markReturned(path);
        }
        execute(
            "UPDATE UserFileTablesData SET UserFile_Update = 1 WHERE Budget_Name = 'Plan' AND User_Filename "
            "<> 'Summary.xlsx'");
        // Each round starts from this state again.
        snapshot_ = testsupport::freshDir(QStringLiteral("snapshot"));
        copyTree(masters_, snapshot_ + QStringLiteral("/masters"));
        ASSERT_TRUE(QFile::copy(masterPath(), snapshot_ + QStringLiteral("/lumimaster.mdb")));
    }

    QString userFilePath(const QString& sheet) const {
        return scalar("SELECT UFNPath FROM Worksheets WHERE Worksheet_Name = ? AND Budget_Name = 'Plan'",
                      {sheet})
            .toString();
    }

    // A copy with the original's last-write time: the activity check reads it.
    static void copyFile(const QFileInfo& from, const QString& to) {
        ASSERT_TRUE(QFile::copy(from.filePath(), to)) << to.toStdString();
        QFile copy(to);
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        ASSERT_TRUE(copy.setFileTime(from.lastModified(), QFileDevice::FileModificationTime));
    }

    static void copyTree(const QString& from, const QString& to) {
        QDir().mkpath(to);
        for (const QFileInfo& entry :
             QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (entry.isDir())
                copyTree(entry.filePath(), to + u'/' + entry.fileName());
            else
                copyFile(entry, to + u'/' + entry.fileName());
        }
    }

    void restoreSnapshot() {
        QDir(masters_).removeRecursively();
        copyTree(snapshot_ + QStringLiteral("/masters"), masters_);
        QFile::remove(masterPath());
        ASSERT_TRUE(QFile::copy(snapshot_ + QStringLiteral("/lumimaster.mdb"), masterPath()));
        QFile::setPermissions(masterPath(), QFile::ReadOwner | QFile::WriteOwner);
    }

    // Starts the update run; when killAfterMs is set, sends it SIGKILL that long after its
    // start. Answers true when the kill ended the run (it had not finished by itself).
    static bool runUpdate(std::optional<int> killAfterMs, QString* output = nullptr) {
        QProcess run;
        run.start(QStringLiteral(CYCLE_UPDATE_RUN), {});
        EXPECT_TRUE(run.waitForStarted());
        if (killAfterMs && !run.waitForFinished(*killAfterMs))
            run.kill();
        if (run.state() != QProcess::NotRunning) {
            EXPECT_TRUE(run.waitForFinished(300000));
        }
        if (output)
            *output = QString::fromLocal8Bit(run.readAllStandardOutput() + run.readAllStandardError());
        return run.exitStatus() == QProcess::CrashExit;
    }

    // Every master's sheets as this program reads them.
    std::map<QString, QStringList> mastersNow() const {
        std::map<QString, QStringList> sheets;
        for (const char* sheet : {"Sales", "Costs", "Summary"})
            sheets[QString::fromLatin1(sheet)] = ourSheet(plan_, QString::fromLatin1(sheet));
        sheets[QStringLiteral("Rates")] =
            ourSheet(locked_, QStringLiteral("Rates"), workbookstest::kOpenPassword);
        sheets[QStringLiteral("LockedSales")] =
            ourSheet(locked_, QStringLiteral("Sales"), workbookstest::kOpenPassword);
        return sheets;
    }

    // What must hold after any kill.
    void checkAfterKill(const std::map<QString, QStringList>& merged, const QString& round) {
        std::map<QString, QStringList> now;
        ASSERT_NO_THROW(now = mastersNow()) << round.toStdString() << ": a master is unreadable";
        EXPECT_EQ(rows("PRAGMA quick_check"), QStringList{QStringLiteral("ok")}) << round.toStdString();
        for (const auto& [sheet, typed] : kReturned) {
            if (state(sheet + QStringLiteral(".xlsx")) != QStringLiteral("0|0|booked"))
                continue;
            EXPECT_EQ(now[sheet], merged.at(sheet))
                << round.toStdString() << ": " << sheet.toStdString() << " is booked without its change";
        }
    }

    QString snapshot_;
};

TEST_P(InterruptedCycle, KilledRunsMergeEveryChangeExactlyOnce) {
    // The uninterrupted run gives the masters every change must end in.
    QString output;
    ASSERT_FALSE(runUpdate(std::nullopt, &output));
    ASSERT_TRUE(output.contains(QStringLiteral("done"))) << output.toStdString();
    const std::map<QString, QStringList> merged = mastersNow();
    ASSERT_EQ(merged.at(QStringLiteral("Sales")).value(1), QStringLiteral("North,150,110,260,13"));
    ASSERT_EQ(merged.at(QStringLiteral("Sales")).value(3).section(u',', 0, 0), QStringLiteral("Eastern"));
    ASSERT_EQ(merged.at(QStringLiteral("Costs")).value(2), QStringLiteral("Rent,25,20,45"));
    ASSERT_EQ(merged.at(QStringLiteral("Rates")).value(0), QStringLiteral("Commission rate,0.07"));
    ASSERT_EQ(merged.at(QStringLiteral("LockedSales")).value(1), QStringLiteral("North,100,110,210,14.7"));

    // How long a run takes (the shorter of two, so that a slow moment of the machine does not
    // put kills after the end of most runs): the kills fall anywhere in it.
    int runMs = std::numeric_limits<int>::max();
    for (int timing = 0; timing < 2; ++timing) {
        restoreSnapshot();
        QElapsedTimer timer;
        timer.start();
        runUpdate(std::nullopt);
        runMs = std::min(runMs, int(timer.elapsed()));
    }
    runMs = std::max(50, runMs);

    const QString only = qEnvironmentVariable("CYCLE_SEED");
    int kills = 0;
    for (int round = 0; round < kRoundsPerShard; ++round) {
        const unsigned seed = GetParam().firstSeed + unsigned(round);
        if (!only.isEmpty() && only != QString::number(seed))
            continue;
        const QString name = QStringLiteral("%1 round %2 seed %3")
                                 .arg(QString::fromLatin1(GetParam().name))
                                 .arg(round)
                                 .arg(seed);
        std::printf("%s\n", qPrintable(name));
        std::mt19937 rng(seed);
        restoreSnapshot();
        // One or two kills, then a run that finishes.
        const int killsThisRound = std::uniform_int_distribution<int>(1, 2)(rng);
        for (int k = 0; k < killsThisRound; ++k) {
            const int at = std::uniform_int_distribution<int>(0, runMs)(rng);
            if (runUpdate(at))
                ++kills;
            checkAfterKill(merged, name);
        }
        ASSERT_FALSE(runUpdate(std::nullopt, &output));
        ASSERT_TRUE(output.contains(QStringLiteral("done"))) << name.toStdString() << output.toStdString();
        const std::string finalRun =
            name.toStdString() + ", the run that finished said: " + output.toStdString() +
            "errors table: " + rows("SELECT * FROM Errors").join(u'\n').toStdString();
        EXPECT_EQ(mastersNow(), merged) << finalRun;
        for (const auto& [sheet, typed] : kReturned)
            EXPECT_EQ(state(sheet + QStringLiteral(".xlsx")), QStringLiteral("0|0|booked"))
                << sheet.toStdString() << " in " << finalRun;
        // Nothing is left to merge: one more run writes no master.
        const QByteArray planDigest = digest(plan_), lockedDigest = digest(locked_);
        runUpdate(std::nullopt);
        EXPECT_EQ(digest(plan_), planDigest) << name.toStdString();
        EXPECT_EQ(digest(locked_), lockedDigest) << name.toStdString();
    }
    std::printf("%s: %d runs killed while running (a run takes about %d ms)\n", GetParam().name, kills,
                runMs);
    RecordProperty("killed_runs", kills);
    // Every round tries at least one kill; most must land while the run is under way, or the
    // shard tested nothing.
    if (only.isEmpty()) {
        EXPECT_GE(kills, kRoundsPerShard / 2) << "most kills came after the run had ended";
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, InterruptedCycle,
                         ::testing::Values(Shard{"Shard1", 1000}, Shard{"Shard2", 2000},
                                           Shard{"Shard3", 3000}, Shard{"Shard4", 4000},
                                           Shard{"Shard5", 5000}, Shard{"Shard6", 6000}),
                         [](const ::testing::TestParamInfo<Shard>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace cycletest
