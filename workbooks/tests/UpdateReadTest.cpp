// The update run reads of a returned user file what the comparison needs, and no more: a file
// whose used range reaches far beyond its master sheet's is refused with a message, unread,
// whatever it claims, and a note typed a little beyond the cut costs nothing. What a reading
// costs is measured in the probe program (its peak memory); the run's answers, here. And what
// fuzzing the reading found stays fixed: every reproducer and seed of fuzz_update_read is merged
// again, each within its memory and its rules.
#include "support/PeakMemory.h"
#include "workbooks/cUpdate.h"
#include "workbooks/fuzz/FuzzUpdateRead.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;

// A file of two cells, Item in A1 and 1 in AMJ48828 (the corner of 50 million cells), as
// openpyxl writes it: 1.4 KB.
QString farFile(const QString& folder) {
    const QString path = folder + QStringLiteral("/Sales.xlsx");
    sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Sales"
ws["A1"] = "Item"
ws["AMJ48828"] = 1
wb.save(sys.argv[1])
)"),
                         {path});
    return path;
}

TEST(UpdateRead, AUserFileUsedFarBeyondItsMasterIsRefusedUnread) {
    const QString file = farFile(testsupport::freshDir(QStringLiteral("far")));
    for (const char* mode : {"whole", "values"}) {
        const testsupport::PeakRun run =
            testsupport::runPeak(QStringLiteral(WORKBOOKS_UPDATE_READ_PEAK),
                                 {testsupport::fixturePath(QStringLiteral("budget/Budget.xlsx")), file,
                                  QStringLiteral("Sales"), QString::fromLatin1(mode)});
        EXPECT_TRUE(run.said.startsWith(QStringLiteral("result %1\n").arg(workbooks::cUpdate::kFailed)))
            << mode << ": " << run.said.toStdString();
        EXPECT_TRUE(run.said.contains(QLatin1String("is used up to AMJ48828, far beyond")))
            << mode << ": " << run.said.toStdString();
        EXPECT_FALSE(run.said.contains(QLatin1String("broken:"))) << mode << ": " << run.said.toStdString();
        EXPECT_GT(run.peakMb, 0) << mode;
        EXPECT_LT(run.peakMb, 128) << mode;
    }
}

class UpdateReadRun : public PlanBudgetFixture {};

// A whole cut's cells beyond its master block are never compared: a note a little beyond is
// merged past, one far beyond refuses the file with its message and an errors row, and nothing
// of it is written.
TEST_F(UpdateReadRun, ANoteBeyondTheCutIsPassedAndOneFarBeyondRefusesTheFile) {
    cut();
    const struct {
        const char* what;
        const char* note;
        const char* typed;  // into B3
        const char* merged; // B3 of the master afterwards
        const char* state;
        bool refused;
    } cases[] = {
        {"a note beside the block", "H40", "250", "250", "0|0|0|merged", false},
        {"a note far beyond", "AMJ48828", "275", "250", "1|1|0|as cut", true},
    };
    for (const auto& c : cases) {
        returnFile(userFile("North", "Sales"), {{"B3", c.typed}, {c.note, "note"}});
        testsupport::ScopedScriptedUi ui;
        ui->acceptUnscriptedMessages();
        run(workbooks::kAcceptChanges);
        EXPECT_EQ(state("Sales"), c.state) << c.what;
        EXPECT_EQ(cell(master_, "Sales", "B3"), c.merged) << c.what;
        EXPECT_EQ(ui->messageTexts().filter(QStringLiteral("far beyond the master sheet's")).size(),
                  c.refused ? 1 : 0)
            << c.what << ": " << ui->messageTexts().join('|').toStdString();
        execute("UPDATE Worksheets SET UF_Modified_Date = '2001-01-01 00:00:00', Corrupt_Error = 0 "
                "WHERE Worksheet_Name = 'Sales'");
    }
    EXPECT_EQ(rows("SELECT UF_name FROM Errors WHERE UFPassArrayFailed = 1"), QStringList{"Sales.xlsx"});
}

class FuzzReplay : public BudgetFixture {};

TEST_F(FuzzReplay, EveryReproducerAndSeedOfTheUpdateReadTargetHolds) {
    QFile master(testsupport::fixturePath(QStringLiteral("budget/Budget.xlsx")));
    ASSERT_TRUE(master.open(QIODevice::ReadOnly));
    const QByteArray masterBytes = master.readAll();
    const QString root = qEnvironmentVariable("LUMIVANE_SOURCE_DIR") + QStringLiteral("/workbooks/fuzz");
    QStringList inputs;
    for (const char* folder : {"reproducers", "corpus"}) {
        const QDir dir(root + u'/' + QString::fromLatin1(folder) + QStringLiteral("/update_read"));
        const QStringList found = dir.entryList(QDir::Files, QDir::Name);
        EXPECT_FALSE(found.isEmpty()) << dir.path().toStdString();
        for (const QString& name : found)
            inputs << dir.filePath(name);
    }
    testsupport::ScopedScriptedUi ui;
    ui->acceptUnscriptedMessages();
    for (const QString& path : inputs) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray input = file.readAll();
        QString why;
        EXPECT_TRUE(workbooks::fuzz::updateReadHolds(masterBytes,
                                                     reinterpret_cast<const std::uint8_t*>(input.constData()),
                                                     std::size_t(input.size()), &why))
            << path.toStdString() << ": " << why.toStdString();
    }
}

} // namespace
