// The activity check on user files in real folders: changed and unchanged files by their
// last-write time, missing files with both answers, the unreachable master folder, the
// selection by budget and master workbook (equal names in two budgets never cross), and the
// update run's one check of all its masters.
#include "workbooks/CheckUserFilesExist.h"

#include "platform/db/SqlText.h"
#include "platform/ui/Ui.h"
#include "workbooks/tests/BudgetFixture.h"

#include <QDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace workbookstest;
using platform::ui::Answer;

const QDateTime kCut(QDate(2024, 3, 1), QTime(9, 30, 15));

void setModified(const QString& path, const QDateTime& time) {
    const timespec times[2] = {{time.toSecsSinceEpoch(), 0}, {time.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

class CheckUserFilesExistTest : public BudgetFixture {
protected:
    // A built user file <masters>/<budget>/<folder>/<sheet>.xlsx of master workbook masterId,
    // cut at kCut, with its flag row (unless withFlagRow is false); returns its path.
    QString addUserFile(const QString& budget, const QString& sheet, qint64 masterId, const QString& folder,
                        bool withFlagRow = true) {
        const QString dir = masters_ + u'/' + budget + u'/' + folder;
        QDir().mkpath(dir);
        const QString path = dir + u'/' + sheet + QStringLiteral(".xlsx");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        setModified(path, kCut);
        addWorksheet(sheet, masterId, QStringLiteral("Budget.xlsx"), budget, folder);
        execute(
            "UPDATE Worksheets SET User_Filename = ?, UFNPath = ?, UF_Create_Date = ?, UF_Modified_Date = ? "
            "WHERE Worksheet_Name = ? AND Budget_Name = ?",
            {sheet + QStringLiteral(".xlsx"), path, kCut, kCut, sheet, budget});
        if (withFlagRow)
            execute(
                "INSERT INTO UserFileTablesData (User_Filename, Select_By_User, Master_File, Budget_Name, "
                "Folder_Name) VALUES (?, 1, 'Budget.xlsx', ?, ?)",
                {sheet + QStringLiteral(".xlsx"), budget, folder});
        return path;
    }
    static QStringList flags(const QString& budget) {
        return rows("SELECT User_Filename, UserFile_Update FROM UserFileTablesData WHERE Budget_Name = ? "
                    "ORDER BY User_Filename",
                    {budget});
    }
    static QStringList missing() {
        return rows(
            "SELECT Worksheet_Name, Budget_Name FROM Worksheets WHERE File_Missing = 1 ORDER BY 1, 2");
    }

    void SetUp() override {
        BudgetFixture::SetUp();
        masters_ = testsupport::freshDir(QStringLiteral("masters"));
    }
    QString masters_;
};

TEST_F(CheckUserFilesExistTest, FlagsFilesWrittenSinceTheirRecordedTime) {
    addUserFile("Plan", "Sales", 11, "North");
    const QString costs = addUserFile("Plan", "Costs", 11, "North");
    const QString rates = addUserFile("Plan", "Rates", 11, "South");
    setModified(costs, kCut.addSecs(1));
    setModified(rates, kCut.addDays(-3));
    execute("UPDATE UserFileTablesData SET UserFile_Update = 1 WHERE User_Filename = 'Sales.xlsx'");
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 0), 2) << "any other time counts, earlier ones too";
    EXPECT_EQ(flags("Plan"), (QStringList{"Costs.xlsx|1", "Rates.xlsx|1", "Sales.xlsx|0"}));
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(core::gDB2, nullptr);
}

TEST_F(CheckUserFilesExistTest, MissingFileIsMarkedLoggedAndAsked) {
    const QString costs = addUserFile("Plan", "Costs", 11, "North");
    const QString sales = addUserFile("Plan", "Sales", 11, "North");
    const QString rates = addUserFile("Plan", "Rates", 11, "North");
    setModified(costs, kCut.addSecs(60));
    setModified(rates, kCut.addSecs(60));
    QFile::remove(sales);

    for (const Answer answer : {Answer::Yes, Answer::No}) {
        execute("UPDATE Worksheets SET File_Missing = 0");
        execute("DELETE FROM Errors");
        execute("UPDATE UserFileTablesData SET UserFile_Update = 0");
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({answer});
        const qint32 changed = workbooks::CheckUserFilesExist(true, 0);
        EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kMissingUserFileText.arg("Sales.xlsx")});
        EXPECT_EQ(
            ui->messageTexts().front(),
            "User file (Sales.xlsx) is missing.  Do you want to continue checking for other User Files?");
        EXPECT_EQ(missing(), QStringList{"Sales|Plan"});
        EXPECT_EQ(rows("SELECT UF_name, Budget_Name, File_Missing FROM Errors"),
                  QStringList{"Sales.xlsx|Plan|1"});
        if (answer == Answer::Yes) {
            EXPECT_EQ(changed, 2) << "Rates after the missing file was still checked";
        } else {
            EXPECT_EQ(changed, 0) << "stopped, even though Costs was found changed before";
            EXPECT_EQ(flags("Plan"), (QStringList{"Costs.xlsx|1", "Rates.xlsx|0", "Sales.xlsx|0"}));
        }
    }
}

TEST_F(CheckUserFilesExistTest, FilesWithoutFlagRowsAreNotTested) {
    const QString lone = addUserFile("Plan", "Sales", 11, "North", false);
    QFile::remove(lone);
    addUserFile("Plan", "Costs", 11, "North");
    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 0), 0);
    EXPECT_TRUE(ui->asked().empty()) << "a file without a flag row is passed over, even when missing";
    EXPECT_TRUE(missing().isEmpty());

    execute("DELETE FROM UserFileTablesData WHERE Budget_Name = 'Plan'");
    QFile::remove(masters_ + "/Plan/North/Costs.xlsx");
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 0), 0);
    EXPECT_TRUE(ui->asked().empty()) << "no flag rows for the budget: nothing is tested";
}

TEST_F(CheckUserFilesExistTest, SelectsByBudgetAndMasterWorkbook) {
    // The same user-file name and folder in two budgets, and master workbooks 1, 10 and 21.
    const QString planSales = addUserFile("Plan", "Sales", 1, "North");
    const QString otherSales = addUserFile("Other", "Sales", 1, "North");
    const QString ten = addUserFile("Plan", "Costs", 10, "North");
    const QString twentyOne = addUserFile("Plan", "Rates", 21, "North");
    for (const QString& path : {planSales, otherSales, ten, twentyOne})
        setModified(path, kCut.addSecs(5));

    testsupport::ScopedScriptedUi ui;
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 1), 1);
    EXPECT_EQ(flags("Plan"), (QStringList{"Costs.xlsx|0", "Rates.xlsx|0", "Sales.xlsx|1"}));
    EXPECT_EQ(flags("Other"), QStringList{"Sales.xlsx|0"}) << "the other budget's file of that name stays";

    EXPECT_EQ(workbooks::CheckUserFilesExist(false, 0), 4) << "every budget, every master workbook";
    EXPECT_EQ(flags("Other"), QStringList{"Sales.xlsx|1"});
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(CheckUserFilesExistTest, UnreachableMasterFolderAsksToSuspend) {
    addUserFile("Plan", "Sales", 11, "North");
    addUserFile("Plan", "Costs", 11, "North");
    QDir(masters_ + "/Plan").removeRecursively();

    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 0), 0);
    EXPECT_EQ(ui->messageTexts(), QStringList{"The path for Sales.xlsx does not exist [Budget=Plan]. "
                                              "Suspend further file tests?"});
    EXPECT_TRUE(missing().isEmpty());

    ui->clear();
    ui->answerMessages({Answer::No, Answer::No});
    EXPECT_EQ(workbooks::CheckUserFilesExist(true, 0), 0);
    EXPECT_EQ(ui->messageTexts(), (QStringList{workbooks::kPathDoesNotExistText.arg("Sales.xlsx", "Plan"),
                                               workbooks::kMissingUserFileText.arg("Sales.xlsx")}))
        << "going on counts the file as missing";
    EXPECT_EQ(missing(), QStringList{"Sales|Plan"});
}

// The update run checks its masters once, reading the budget's rows once: each master answers
// what a check of it alone answers, with the same flags, marks, errors rows and questions; a
// stop ends that master's check only. At the question the flags written before it are
// committed and the database is free for another program.
TEST_F(CheckUserFilesExistTest, TheRunsOneCheckAnswersForEachMasterAsItsOwnCheckWould) {
    // In table order the masters' files alternate; master 5 has none, master 30 is not asked for.
    const QString costs = addUserFile("Plan", "Costs", 10, "North");
    const QString sales = addUserFile("Plan", "Sales", 1, "North");
    const QString rates = addUserFile("Plan", "Rates", 21, "South");
    const QString staff = addUserFile("Plan", "Staff", 10, "South");
    addUserFile("Plan", "Notes", 1, "South");
    const QString extra = addUserFile("Plan", "Extra", 30, "South");
    const QString other = addUserFile("Other", "Sales", 1, "North");
    for (const QString& path : {costs, sales, rates, extra, other})
        setModified(path, kCut.addSecs(5));
    QFile::remove(staff);
    const QList<qint64> masters{21, 10, 5, 1};

    struct Case {
        const char* name;
        Answer toMissing;
        QHash<qint64, qint32> changed;
    };
    const Case cases[] = {
        {"going on after the missing file", Answer::Yes, {{21, 1}, {10, 1}, {5, 0}, {1, 1}}},
        {"stopping at the missing file", Answer::No, {{21, 1}, {10, 0}, {5, 0}, {1, 1}}},
    };
    struct Seen {
        QStringList flags;
        QStringList missing;
        QStringList errors;
        QStringList questions;
        QStringList flagsAtQuestion;
        bool freeAtQuestion = false;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto check = [&](const std::function<QHash<qint64, qint32>()>& run, Seen& seen) {
            execute("UPDATE Worksheets SET File_Missing = 0");
            execute("UPDATE UserFileTablesData SET UserFile_Update = 0");
            execute("DELETE FROM Errors");
            testsupport::ScopedScriptedUi ui;
            ui->answerMessages({c.toMissing});
            ui->whileAsking([&] {
                seen.flagsAtQuestion = flags("Plan");
                seen.freeAtQuestion = othersCanWrite();
            });
            const QHash<qint64, qint32> changed = run();
            seen.flags = flags("Plan") + flags("Other");
            seen.missing = missing();
            seen.errors = rows("SELECT UF_name, File_Missing FROM Errors");
            seen.questions = ui->messageTexts();
            EXPECT_EQ(core::gDB2, nullptr);
            return changed;
        };
        Seen alone;
        const QHash<qint64, qint32> eachAlone = check(
            [&] {
                QHash<qint64, qint32> changed;
                for (const qint64 master : masters)
                    changed.insert(master, workbooks::CheckUserFilesExist(true, qint32(master)));
                return changed;
            },
            alone);
        Seen once;
        const QHash<qint64, qint32> all =
            check([&] { return workbooks::CheckUserFilesOfMasters(masters); }, once);

        EXPECT_EQ(eachAlone, c.changed);
        for (const qint64 master : masters)
            EXPECT_EQ(all.value(master), c.changed.value(master)) << "master " << master;
        EXPECT_EQ(once.flags, alone.flags);
        EXPECT_EQ(once.flags, (QStringList{"Costs.xlsx|1", "Extra.xlsx|0", "Notes.xlsx|0", "Rates.xlsx|1",
                                           "Sales.xlsx|1", "Staff.xlsx|0", "Sales.xlsx|0"}))
            << "master 30 and the other budget are not checked";
        EXPECT_EQ(once.missing, QStringList{"Staff|Plan"});
        EXPECT_EQ(once.errors, alone.errors);
        EXPECT_EQ(once.questions, QStringList{workbooks::kMissingUserFileText.arg("Staff.xlsx")});
        EXPECT_EQ(once.questions, alone.questions);
        EXPECT_EQ(once.flagsAtQuestion, (QStringList{"Costs.xlsx|1", "Extra.xlsx|0", "Notes.xlsx|0",
                                                     "Rates.xlsx|1", "Sales.xlsx|0", "Staff.xlsx|0"}))
            << "Rates and Costs, checked before the question, are committed";
        EXPECT_TRUE(once.freeAtQuestion);
        EXPECT_TRUE(alone.freeAtQuestion);
    }
}

} // namespace
