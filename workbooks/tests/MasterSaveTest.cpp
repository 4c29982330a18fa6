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
    // A killed program leaves its lock file beside the workbook (a person would be asked
    // whether to open it anyway); the next round's program must not find it.
    QFile::remove(platform::sys::WorkbookLockFilePath(args[0]));
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
    }
}

} // namespace
