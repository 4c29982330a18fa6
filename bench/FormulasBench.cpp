// The formula engine's speed on a workbook of 10,000 lookup and conditional formulas over a table
// of 10,000 rows (made by make_formulas_workbook.py): open it, write 100 amounts of the table
// (every formula reads them), bring every result up to date and save. bench/run.sh runs LibreOffice
// loading, recalculating and saving the same workbook beside it.
//   formulas_bench INPUT.xlsx OUTPUT.xlsx
// prints "seconds=<s> stale=<n>".
// With --chains, columns of ROWS formulas that each reach the row before (or after) through
// INDIRECT and OFFSET, built in memory: after a write to the first cell, which every formula of
// the columns follows, the time of bringing every result up to date, to be compared for
// several ROWS (it grows with the rows, not faster).
//   formulas_bench --chains ROWS
// prints "rows=<n> seconds=<s> stale=<n>".
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace platform::sheet;
using Clock = std::chrono::steady_clock;

namespace {

int lookupsAndCriteria(const char* input, const char* output) {
    const auto start = Clock::now();
    auto wb = Workbook::open(QString::fromLocal8Bit(input));
    Worksheet& data = wb->sheet(QStringLiteral("Data"));
    for (int k = 0; k < 100; ++k)
        data.setValue({1 + k * 97, 4}, CellValue::fromNumber(500 + k));
    wb->calculate();
    const std::size_t stale = wb->staleCells().size();
    wb->saveAs(QString::fromLocal8Bit(output));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("seconds=%.3f stale=%zu\n", seconds, stale);
    return 0;
}

// A: 1, then INDIRECT of the row above plus 1; B: OFFSET of the row above plus 1; C: INDIRECT of
// the row below plus 1, the last row 1; D: OFFSET of the cell to the left plus A.
int chains(int rows) {
    auto wb = Workbook::create(QStringLiteral("Chains"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("1"));
    sheet.setEntry({1, 2}, QStringLiteral("=A1"));
    sheet.setEntry({rows, 3}, QStringLiteral("=A1"));
    for (int r = 1; r <= rows; ++r) {
        if (r > 1) {
            sheet.setEntry({r, 1}, QStringLiteral("=INDIRECT(\"A\"&ROW()-1)+1"));
            sheet.setEntry({r, 2}, QStringLiteral("=OFFSET(B%1,-1,0)+1").arg(r));
        }
        if (r < rows)
            sheet.setEntry({r, 3}, QStringLiteral("=INDIRECT(\"C\"&(ROW()+1))+1"));
        sheet.setEntry({r, 4}, QStringLiteral("=OFFSET(D%1,0,-1)+A%1").arg(r));
    }
    wb->calculate();
    const auto start = Clock::now();
    sheet.setEntry({1, 1}, QStringLiteral("2"));
    wb->calculate();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::size_t stale = wb->staleCells().size();
    const bool right = sheet.value({rows, 1}) == CellValue::fromNumber(rows + 1) &&
                       sheet.value({1, 3}) == CellValue::fromNumber(rows + 1);
    std::printf("rows=%d seconds=%.3f stale=%zu%s\n", rows, seconds, stale, right ? "" : " wrong");
    return right ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "--chains") == 0)
            return chains(std::atoi(argv[2]));
        if (argc == 3)
            return lookupsAndCriteria(argv[1], argv[2]);
    } catch (const SheetError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: formulas_bench INPUT.xlsx OUTPUT.xlsx | formulas_bench --chains ROWS\n");
    return 2;
}
