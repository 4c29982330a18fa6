// The fixed cost of one small workbook: open a workbook of 10 sheets of 1,008 cells (made by
// make_workbook.py with 10 sheets of 84 rows: numbers, shared strings, formulas with their
// results), write one input cell that three formulas depend on, save it and close it, again and
// again on the same file, as the cut and the update run do with their many small files. bench/run.sh runs the
// same job with openpyxl beside it.
//   small_workbook_bench INPUT.xlsx WORK.xlsx ROUNDS
// prints "ms=<milliseconds a round>": the mean of ROUNDS rounds after one round that warms up.
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace platform::sheet;

namespace {

void round(const QString& path, int n) {
    std::unique_ptr<Workbook> book = Workbook::open(path);
    book->sheet(0).setValue({1 + n % 80, 2}, CellValue::fromNumber(1000 + n));
    book->save();
    book->close();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: small_workbook_bench INPUT.xlsx WORK.xlsx ROUNDS\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int rounds = std::max(1, std::atoi(argv[3]));
    QFile::remove(path);
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path)) {
        std::fprintf(stderr, "small_workbook_bench: %s cannot be copied\n", argv[1]);
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    try {
        round(path, 0);
        const auto start = Clock::now();
        for (int n = 1; n <= rounds; ++n)
            round(path, n);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("ms=%.2f\n", seconds * 1000 / rounds);
    } catch (const SheetError& e) {
        std::fprintf(stderr, "small_workbook_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
