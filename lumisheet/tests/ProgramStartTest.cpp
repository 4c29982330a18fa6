// The real program started again and again on a small workbook, a few starts at a time, under the
// offscreen platform: every start comes up with the workbook's first page painted. The command
// line's workbooks are read on worker threads while the program starts, and a start in which such
// a thread reached Qt before the application existed (Qt warns of it) came up to a window that
// never painted.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

// Sets an environment variable for the programs a test starts, and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name)
        , had_(qEnvironmentVariableIsSet(name))
        , previous_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

QString smallWorkbook() {
    const QString path = testsupport::freshDir() + QStringLiteral("/Start.xlsx");
    std::unique_ptr<platform::sheet::Workbook> book =
        platform::sheet::Workbook::create(QStringLiteral("Start"));
    book->activeSheet().setEntry({1, 1}, QStringLiteral("Opening"));
    book->activeSheet().setEntry({2, 1}, QStringLiteral("42"));
    book->saveAs(path);
    book->close();
    return path;
}

TEST(ProgramStart, EveryStartPaintsTheFirstPageOfTheWorkbook) {
    constexpr int kStarts = 50;
    constexpr int kTogether = 5;
    constexpr int kTimeoutMs = 30000; // a start that never paints is stopped then
    const QString workbook = smallWorkbook();
    const ScopedVariable report("LUMIVANE_REPORT_FIRST_PAINT", "1");
    int started = 0;
    int painted = 0;
    for (int batch = 0; batch < kStarts / kTogether; ++batch) {
        // Without the add-in: with no master database in the test's folders it would ask first.
        const std::vector<QStringList> runs(kTogether, QStringList{QStringLiteral("--no-add-in"), workbook});
        const std::vector<testsupport::ProgramResult> results =
            testsupport::runPrograms(QStringLiteral(LUMISHEET_PROGRAM), runs, kTimeoutMs);
        for (const testsupport::ProgramResult& result : results) {
            ++started;
            // Qt says so when another thread reached it before the application was made; such a
            // start may never paint.
            const bool ok = result.finished && result.exitCode == 0 &&
                            result.out == QStringLiteral("painted: Start.xlsx Opening\n") &&
                            !result.err.contains(QStringLiteral("not created in the main() thread"));
            EXPECT_TRUE(ok) << "start " << started << ": " << result.out.toStdString() << " / "
                            << result.err.toStdString();
            painted += ok ? 1 : 0;
        }
    }
    EXPECT_EQ(painted, kStarts);
}

} // namespace
