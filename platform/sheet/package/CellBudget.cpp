// See CellBudget.h.
#include "platform/sheet/package/CellBudget.h"

#include "platform/sheet/SheetError.h"

#include <QLocale>
#include <algorithm>

namespace platform::sheet {

namespace {

QString number(std::uint64_t n) {
    return QLocale(QLocale::English).toString(qulonglong(n));
}

QString nameOf(std::string_view part) {
    return QString::fromUtf8(part.data(), qsizetype(part.size()));
}

// Adds to a count that several readers share; true while it stays within the limit.
bool within(std::atomic<std::uint64_t>& count, std::uint64_t more, std::uint64_t limit) {
    return count.fetch_add(more) + more <= limit;
}

[[noreturn]] void tooLarge(const QString& what, std::string_view part) {
    throw SheetError(
        SheetError::Code::TooLarge,
        QStringLiteral("The workbook holds more than %1 (the part %2 goes beyond them), more than "
                       "a workbook needs; it is not read.")
            .arg(what, nameOf(part)));
}

} // namespace

void CellBudget::take(const Counts& counts, std::string_view partName) {
    if (!within(cells_, counts.cells, limits_.cells))
        tooLarge(number(limits_.cells) + QStringLiteral(" cells"), partName);
    if (!within(elements_, counts.elements, limits_.elements))
        tooLarge(number(limits_.elements) + QStringLiteral(" elements in the parts read whole"), partName);
    if (!within(formulaBytes_, counts.formulaBytes, limits_.formulaBytes))
        tooLarge(
            QStringLiteral("%1 MB of formulas copied from shared formulas").arg(limits_.formulaBytes >> 20),
            partName);
    if (!within(sheets_, counts.sheets, limits_.sheets))
        tooLarge(number(limits_.sheets) + QStringLiteral(" sheets"), partName);
}

void CellBudget::takeElements(std::string_view xml, std::string_view partName) {
    take({0, std::uint64_t(std::count(xml.begin(), xml.end(), '<')), 0, 0}, partName);
}

void CellTally::flush() {
    if (budget_ && (counts_.cells || counts_.elements || counts_.formulaBytes || counts_.sheets))
        budget_->take(counts_, partName_);
    counts_ = {};
}

} // namespace platform::sheet
