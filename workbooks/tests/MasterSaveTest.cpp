// A master workbook whose saving program is killed in the middle of a save is still a
// workbook afterwards, with the value of one of its saves and its passwords: the workbook
// layer saves into a file beside it and renames it into place. Kept as a regression test of
// what the update run relies on.
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "workbooks/tests/BudgetFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::sheet::OpenOptions;
using platform::sheet::Workbook;

// Runs the save loop until it has saved `saves` times, waits `extraMs` and kills it.
void killDuringSaves(const QStringList& args, int saves, int extraMs) {
    QProcess loop;
    loop.start(QStringLiteral(WORKBOOKS_MASTER_SAVE_LOOP), args);
    ASSERT_TRUE(loop.waitForStarted());
    int seen = 0;
    while (seen < saves && loop.waitForReadyRead(60000))
        seen += int(loop.readAll().count("saved"));
    EXPECT_GE(seen, saves) << loop.readAllStandardError().toStdString();
    QThread::msleep(extraMs);
    loop.kill();
    loop.waitForFinished();
    // A program killed while it held the workbook leaves its lock file beside it; with its
    // process gone the workbook is free again, or every later run would skip it as in use.
    EXPECT_FALSE(platform::sys::IsFileInUse(args[0]));
}

class MasterSaveTest : public BudgetFixture {};

TEST_F(MasterSaveTest, KilledDuringItsSaveTheMasterStaysReadable) {
    const QString folder = testsupport::freshDir("killed");
    const QString plain = copyMaster("Budget.xlsx", folder);
    const QString locked = copyMaster("Encrypted.xlsx", folder, "Locked.xlsx");
    OpenOptions both = OpenOptions::withPassword(kOpenPassword);
    both.writeResPassword = kWritePassword;
    // Larger masters, so that a kill more often falls while the file is being written.
    for (const auto& [path, options] : {std::pair{plain, OpenOptions()}, std::pair{locked, both}}) {
        std::unique_ptr<Workbook> book = Workbook::open(path, options);
        platform::sheet::Worksheet& rates = book->sheet("Rates");
        for (int row = 3; row < 20003; ++row)
            for (int column = 1; column <= 5; ++column)
                rates.setValue({row, column}, platform::sheet::CellValue::fromNumber(row * 10 + column));
        book->save();
        book->close();
    }
    for (int round = 0; round < 6; ++round) {
        const bool encrypted = round % 2 == 1;
        const QString path = encrypted ? locked : plain;
        const QStringList args =
            encrypted ? QStringList{path, kOpenPassword, kWritePassword} : QStringList{path};
        killDuringSaves(args, 2, int(QRandomGenerator::global()->bounded(40)));
        std::unique_ptr<Workbook> book;
        ASSERT_NO_THROW(book = Workbook::open(path, encrypted ? both : OpenOptions())) << "round " << round;
        EXPECT_GT(book->sheet("Sales").value({2, 2}).number, 100) << "the value of a finished save";
        EXPECT_EQ(book->hasPassword(), encrypted);
        EXPECT_EQ(book->writeReserved(), encrypted);
        EXPECT_EQ(book->sheet("Rates").value({20002, 5}).number, 200025);
        book->close();
        EXPECT_FALSE(QFile::exists(platform::sys::WorkbookLockFilePath(path))) << "round " << round;
    }
}

// Kills the save loop on a small master until a kill falls while it holds the workbook (its lock
// file is left behind): the workbook is not in use, and the next open takes it for writing and
// leaves no lock file when it closes.
TEST_F(MasterSaveTest, AHolderKilledWithTheWorkbookOpenLeavesItFree) {
    const QString folder = testsupport::freshDir("holder");
    const QString path = copyMaster("Budget.xlsx", folder);
    const QString lockFile = platform::sys::WorkbookLockFilePath(path);
    int tries = 0;
    for (; tries < 40 && !QFile::exists(lockFile); ++tries)
        killDuringSaves({path}, 1, tries % 5);
    ASSERT_TRUE(QFile::exists(lockFile))
        << "no kill fell while the workbook was open in " << tries << " tries";
    EXPECT_FALSE(platform::sys::IsFileInUse(path));
    {
        std::unique_ptr<Workbook> book = Workbook::open(path);
        EXPECT_FALSE(book->readOnly());
        EXPECT_TRUE(platform::sys::IsFileInUse(path));
        book->close();
    }
    EXPECT_FALSE(QFile::exists(lockFile));
    EXPECT_FALSE(platform::sys::IsFileInUse(path));
}

} // namespace
