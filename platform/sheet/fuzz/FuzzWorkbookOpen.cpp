// Fuzz target of the workbook layer: opens a workbook from arbitrary bytes and, when that
// succeeds, does what callers do with one -- reads every worksheet's used block as values and
// formulas, writes a cell, saves to bytes and opens the result again. The layer's own errors
// are expected answers to bad input; only a crash or a sanitizer report is a finding.
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/fuzz/FuzzTargets.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace platform::sheet;

namespace {

void exercise(Workbook& wb) {
    for (Worksheet* sheet : wb.worksheets()) {
        const CellRef last = sheet->lastCell();
        // Keep the blocks small: a stray far cell must not make the fuzzer run out of memory.
        const CellRange block({1, 1}, {std::min(last.row, 200), std::min(last.col, 60)});
        const ValueGrid values = sheet->values(block);
        const FormulaGrid formulas = sheet->formulas(block);
        (void)values;
        (void)formulas;
        sheet->mergedCells();
        sheet->isProtected();
    }
    Worksheet& first = wb.sheet(0);
    if (first.kind() == Worksheet::Kind::Worksheet && first.canWrite({2, 2}))
        first.setEntry({2, 2}, QStringLiteral("=A1+1"));
    const QByteArray saved = wb.toBytes();
    Workbook::openBytes(saved, QStringLiteral("again.xlsx"));
}

// The password of the encrypted fixtures that seed the corpus: with it, mutated encrypted
// packages get past the password check and their decrypted contents are parsed too. A plain
// workbook ignores it.
const QString kFixturePassword = QStringLiteral("Plan \u00fc\u20ac 2024");

} // namespace

namespace platform::sheet::fuzz {

void workbookOpen(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        auto wb = Workbook::openBytes(bytes, QStringLiteral("fuzz.xlsx"),
                                      OpenOptions::withPassword(kFixturePassword));
        exercise(*wb);
    } catch (const SheetError&) {
    }
}

} // namespace platform::sheet::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::sheet::fuzz::workbookOpen(data, size);
    return 0;
}
#endif
