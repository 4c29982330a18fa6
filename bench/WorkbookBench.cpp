// The workbook layer's speed and memory on a large workbook: open it, read every sheet's used
// block as a table of values and as a table of formulas, write 10,000 scattered cells (numbers,
// texts and formulas), bring the formula results up to date, save under another name.
// bench/run.sh runs it beside the same job done with openpyxl.
//   workbook_bench INPUT.xlsx OUTPUT.xlsx
// prints "seconds=<s> peak_kb=<kb> cells=<n> read_seconds=<s> recalc_seconds=<s> stale=<n>": the
// whole job, the opening and reading, the recalculation after the writes, the stale results.
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QString>
#include <chrono>
#include <cstdio>
#include <random>
#include <sys/resource.h>

using namespace platform::sheet;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: workbook_bench INPUT.xlsx OUTPUT.xlsx\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    const auto start = Clock::now();
    try {
        auto wb = Workbook::open(QString::fromLocal8Bit(argv[1]), OpenOptions::readOnlyAccess());
        long long cells = 0;
        for (Worksheet* sheet : wb->worksheets()) {
            const CellRange block = sheet->usedBlock();
            const ValueGrid values = sheet->values(block);
            const FormulaGrid formulas = sheet->formulas(block);
            cells += qint64(values.rows()) * values.columns() + qint64(formulas.rows()) * formulas.columns();
        }
        const double readSeconds = since(start);
        std::mt19937 rng(7);
        const auto sheets = wb->worksheets();
        std::uniform_int_distribution<int> sheetPick(0, int(sheets.size()) - 1);
        std::uniform_int_distribution<int> rowPick(1, 4167);
        std::uniform_int_distribution<int> colPick(1, 12);
        std::uniform_real_distribution<double> number(0, 1000);
        for (int k = 0; k < 10000; ++k) {
            Worksheet& sheet = *sheets[std::size_t(sheetPick(rng))];
            const CellRef at{rowPick(rng), colPick(rng)};
            switch (k % 3) {
            case 0:
                sheet.setValue(at, CellValue::fromNumber(number(rng)));
                break;
            case 1:
                sheet.setValue(at, CellValue::fromText(QStringLiteral("Note %1").arg(k)));
                break;
            default:
                sheet.setEntry(at, QStringLiteral("=B%1*2").arg(at.row));
            }
        }
        // The results that depend on the written cells, which a read or the save would bring up
        // to date anyway, timed on their own.
        const auto recalcStart = Clock::now();
        wb->calculate();
        const double recalcSeconds = since(recalcStart);
        const std::size_t stale = wb->staleCells().size();
        wb->saveAs(QString::fromLocal8Bit(argv[2]));
        const double seconds = since(start);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("seconds=%.3f peak_kb=%ld cells=%lld read_seconds=%.3f recalc_seconds=%.3f stale=%zu\n",
                    seconds, usage.ru_maxrss, cells, readSeconds, recalcSeconds, stale);
    } catch (const SheetError& e) {
        std::fprintf(stderr, "workbook_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
