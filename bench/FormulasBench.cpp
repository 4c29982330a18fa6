// The formula engine's speed on a workbook of 10,000 lookup and conditional formulas over a table
// of 10,000 rows (made by make_formulas_workbook.py): open it, write 100 amounts of the table
// (every formula reads them), bring every result up to date and save. bench/run.sh runs LibreOffice
// loading, recalculating and saving the same workbook beside it.
//   formulas_bench INPUT.xlsx OUTPUT.xlsx
// prints "seconds=<s> stale=<n>".
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <chrono>
#include <cstdio>

using namespace platform::sheet;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: formulas_bench INPUT.xlsx OUTPUT.xlsx\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    try {
        auto wb = Workbook::open(QString::fromLocal8Bit(argv[1]));
        Worksheet& data = wb->sheet(QStringLiteral("Data"));
        for (int k = 0; k < 100; ++k)
            data.setValue({1 + k * 97, 4}, CellValue::fromNumber(500 + k));
        wb->calculate();
        const std::size_t stale = wb->staleCells().size();
        wb->saveAs(QString::fromLocal8Bit(argv[2]));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("seconds=%.3f stale=%zu\n", seconds, stale);
    } catch (const SheetError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
