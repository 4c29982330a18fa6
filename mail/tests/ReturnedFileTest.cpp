// The collection's check of a returned file reads no more than it needs to know that the file is
// a workbook that opens: its own sheet's cells, the other sheets' parts only checked, and nothing
// of a package beyond what a workbook holds. What a check costs is measured in a helper program
// of its own (its peak memory); what it answers, here.
#include "mail/ReturnedFile.h"

#include "support/ChildProcess.h"
#include "support/LargeWorkbook.h"
#include "support/PeakMemory.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(ReturnedFile, ACheckCostsTheUserFilesSheetNotTheWholeWorkbook) {
    const struct {
        const char* what;
        QStringList sheets;
        const char* answer;
        double peakMb; // the most the check may take
    } cases[] = {
        // Eight sheets of a million cells each, 70 KB as a file: the check reads Sales alone.
        {"eight large sheets",
         {"North=1000x1000", "South=1000x1000", "East=1000x1000", "Sales=1000x1000", "West=1000x1000",
          "Rates=1000x1000", "Costs=1000x1000", "Staff=1000x1000"},
         "accepted",
         96},
        // Parts that unpack to 300 MB: refused with the workbook layer's message, unread.
        {"parts unpacking to 300 MB",
         {"Sales=+100000000", "B=+100000000", "C=+100000000"},
         "Sales.xlsx is no workbook that opens: The workbook file unpacks to more than 256 MB",
         64},
    };
    for (const auto& c : cases) {
        const testsupport::PeakRun run =
            testsupport::runPeak(QStringLiteral(MAIL_RETURNED_FILE_PEAK),
                                 {testsupport::largeWorkbook(QStringLiteral("Returned.xlsx"), c.sheets),
                                  QStringLiteral("Sales.xlsx")});
        EXPECT_TRUE(run.said.startsWith(QLatin1String(c.answer))) << c.what << ": " << run.said.toStdString();
        EXPECT_GT(run.peakMb, 0) << c.what;
        EXPECT_LT(run.peakMb, c.peakMb) << c.what;
    }
}

// What the check lets replace a user file: a workbook that opens, whichever sheet it holds, or one
// that needs its password; never one cut short.
TEST(ReturnedFile, AWorkbookThatOpensIsTakenAndOneCutShortIsNot) {
    const QByteArray whole =
        bytesOf(testsupport::largeWorkbook(QStringLiteral("Returned.xlsx"), {"Data=3x3", "Notes=2x2"}));
    const struct {
        const char* what;
        QByteArray data;
        bool taken;
    } cases[] = {
        {"a workbook without the user file's sheet", whole, true},
        {"the same cut short", whole.left(whole.size() - 40), false},
        {"one that needs its password",
         bytesOf(testsupport::fixturePath(QStringLiteral("workbooks/encrypted.xlsx"))), true},
        {"a text", "Sales,100\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mail::CheckReturnedFile(c.data, QStringLiteral("Sales.xlsx")).refusal.isEmpty(), c.taken)
            << c.what;
}

} // namespace
