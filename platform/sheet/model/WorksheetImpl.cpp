// The layer's cell operations on one sheet: stored cells read as values and formulas, and
// constants, formulas and results written into the cell store.
#include "platform/sheet/model/WorksheetImpl.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/formula/FormulaCompiler.h"
#include "platform/sheet/formula/FunctionNames.h"
#include "platform/sheet/model/ApplicationImpl.h"
#include "platform/sheet/model/CellEntry.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/package/AutoFilter.h"
#include "platform/sheet/package/ExternalLinks.h"
#include "platform/sheet/package/SharedStrings.h"
#include "platform/sheet/package/Styles.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/XmlText.h"

#include <charconv>
#include <cmath>

namespace platform::sheet {

namespace {

// The general form of a number, with a quick path for whole numbers.
QString numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
        return QString::fromLatin1(buffer, int(result.ptr - buffer));
    }
    return CellValue::numberText(value);
}

} // namespace

std::unique_ptr<Worksheet> Worksheet::Impl::make(Workbook& workbook, Kind kind) {
    std::unique_ptr<Worksheet> sheet(new Worksheet(std::make_unique<Impl>(workbook, kind)));
    sheet->d_->self = sheet.get();
    return sheet;
}

Worksheet::Impl::Impl(Workbook& workbook, Kind kind)
    : workbook(&workbook)
    , kind(kind) {}

Worksheet::Impl::~Impl() = default;

Workbook::Impl& Worksheet::Impl::book() const {
    return impl(*workbook);
}

WorksheetPart& Worksheet::Impl::sheetPart() const {
    requireCells();
    return *part;
}

CellStore& Worksheet::Impl::store() const {
    return sheetPart().cells();
}

CellStore* Worksheet::Impl::cellStore() const {
    return kind == Kind::Worksheet && part ? &part->cells() : nullptr;
}

void Worksheet::Impl::requireCells() const {
    book().requireOpen();
    if (unread)
        throw SheetError(SheetError::Code::NotAvailable,
                         QStringLiteral("The cells of the sheet '%1' were not read: the workbook was opened "
                                        "for a look at another sheet.")
                             .arg(name));
    if (kind != Kind::Worksheet || !part)
        throw SheetError(SheetError::Code::WrongSheetKind,
                         QStringLiteral("The sheet '%1' is not a worksheet and has no cells.").arg(name));
}

void Worksheet::Impl::requireWritable(CellRef at) const {
    requireCells();
    if (!CellAddress::isValid(at))
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("Row %1, column %2 lies outside the sheet.").arg(at.row).arg(at.col));
    if (!self->canWrite(at))
        throw SheetError(SheetError::Code::ProtectedCell,
                         QStringLiteral("The cell %1 of the sheet '%2' is locked and the sheet is protected; "
                                        "unprotect the sheet to change it.")
                             .arg(CellAddress::toA1(at), name));
}

CellValue Worksheet::Impl::valueOf(const CellStore::Cell& cell) const {
    switch (cell.type) {
    case CellStore::Type::Number:
        return CellValue::fromNumber(cell.number);
    case CellStore::Type::Shared:
        return CellValue::fromText(book().strings->qtext(cell.text));
    case CellStore::Type::Inline:
        return CellValue::fromText(XmlText::toQString(part->cells().text(cell.text)));
    case CellStore::Type::Boolean:
        return CellValue::fromBoolean(cell.number != 0);
    case CellStore::Type::Error:
        return CellValue::fromError(XmlText::toQString(part->cells().text(cell.text)));
    case CellStore::Type::Empty:
        break;
    }
    return {};
}

QString Worksheet::Impl::formulaOf(const CellStore::Cell& cell) const {
    if (cell.formula) {
        // As the user would type it: references to other workbooks by their names, functions
        // without their storage prefixes.
        const std::string_view text = part->cells().formulaText(cell.formula);
        if (FormulaText::mayHoldExternal(text))
            return u'=' + XmlText::toQString(FunctionNames::toDisplay(book().links->toDisplay(text)));
        return u'=' + XmlText::toQString(FunctionNames::toDisplay(text));
    }
    switch (cell.type) {
    case CellStore::Type::Number:
        return numberText(cell.number);
    case CellStore::Type::Shared:
        return book().strings->qtext(cell.text);
    default:
        return valueOf(cell).toText();
    }
}

CellStore::Cell& Worksheet::Impl::cellForWrite(CellRef at) {
    requireWritable(at);
    return store().obtain(at);
}

void Worksheet::Impl::setConstant(CellStore::Cell& cell, const CellValue& value) {
    CellStore& cells = store();
    cell.formula = 0;
    cell.flags &= std::uint8_t(~CellStore::kStale);
    cell.number = 0;
    cell.text = 0;
    switch (value.type) {
    case CellValue::Type::Empty:
        cell.type = CellStore::Type::Empty;
        break;
    case CellValue::Type::Number:
        cell.type = CellStore::Type::Number;
        cell.number = value.number;
        break;
    case CellValue::Type::Boolean:
        cell.type = CellStore::Type::Boolean;
        cell.number = value.boolean() ? 1 : 0;
        break;
    case CellValue::Type::Text:
        cell.type = CellStore::Type::Shared;
        cell.text = book().strings->add(XmlText::toUtf8(value.text));
        break;
    case CellValue::Type::Error:
        cell.type = CellStore::Type::Error;
        cell.text = cells.addText(XmlText::toUtf8(value.text.toUpper()));
        break;
    }
}

void Worksheet::Impl::storeResult(CellStore& store, CellStore::Cell& cell, const CellValue& value) {
    cell.number = 0;
    switch (value.type) {
    case CellValue::Type::Number:
        cell.type = CellStore::Type::Number;
        cell.number = value.number;
        break;
    case CellValue::Type::Boolean:
        cell.type = CellStore::Type::Boolean;
        cell.number = value.boolean() ? 1 : 0;
        break;
    case CellValue::Type::Text:
        // A formula's text result is kept with the cell, not among the shared strings.
        cell.type = CellStore::Type::Inline;
        cell.text = store.addText(XmlText::toUtf8(value.text));
        break;
    case CellValue::Type::Error:
        cell.type = CellStore::Type::Error;
        cell.text = store.addText(XmlText::toUtf8(value.text));
        break;
    case CellValue::Type::Empty:
        cell.type = CellStore::Type::Empty;
        cell.text = 0;
        break;
    }
}

void Worksheet::Impl::setFormulaText(CellStore::Cell& cell, const QString& formula) {
    // Shown references to other workbooks are stored by their link number, newer functions
    // with the prefixes the file format needs.
    const std::string text = book().links->toFile(FunctionNames::toStorage(XmlText::toUtf8(formula)));
    cell.formula = store().addFormula(text);
    // The result is not known until the workbook is calculated again.
    cell.type = CellStore::Type::Empty;
    cell.number = 0;
    cell.text = 0;
    cell.flags |= CellStore::kStale;
}

void Worksheet::Impl::written(CellRef at) {
    dirty = true;
    book().cellWritten(*self, at);
}

void Worksheet::Impl::markChanged() {
    dirty = true;
    book().saved = false;
}

std::vector<CellRange> Worksheet::Impl::filteredBlocks() const {
    std::vector<CellRange> blocks;
    if (!part)
        return blocks;
    if (const auto own = AutoFilter::filteredBlock(part->element("autoFilter")))
        blocks.push_back(*own);
    for (const TablePart& table : tables)
        if (table.filter)
            blocks.push_back(*table.filter);
    return blocks;
}

void Worksheet::Impl::raiseChange(const CellRange& block) {
    if (Application* app = workbook->application())
        impl(*app).raiseSheetChange(*self, block);
}

void Worksheet::Impl::writeEntry(CellRef at, const QString& typed) {
    const CellEntry entry = CellEntry::parse(typed, book().workbookPart->date1904);
    if (entry.isFormula) {
        // A text that is no formula is refused before anything is stored, as the spreadsheet
        // program refuses to take it.
        if (const auto problem = FormulaCompiler::syntaxProblem(XmlText::toUtf8(entry.formula)))
            throw SheetError(
                SheetError::Code::BadFormula,
                QStringLiteral("The formula %1 for the cell %2 of the sheet '%3' cannot be taken: %4.")
                    .arg(typed.size() > 80 ? typed.left(77) + QStringLiteral("...") : typed,
                         CellAddress::toA1(at), name, *problem));
    }
    CellStore::Cell& cell = cellForWrite(at);
    if (entry.isFormula)
        setFormulaText(cell, entry.formula);
    else
        setConstant(cell, entry.value);
    // A number typed as a percentage, an amount, a date or a time is shown the way it was
    // typed, unless the cell has a number format of its own.
    if (entry.look != TypedNumber::Look::General && book().styles->hasGeneralNumbers(cell.style)) {
        const TypedNumber::Format format = TypedNumber::format(entry.look);
        cell.style = book().styles->withNumberFormat(cell.style, format.builtinId, format.code);
    }
    if (!CellStore::isUsed(cell))
        store().removeEmptyCell(at);
    written(at);
}

void Worksheet::Impl::writeValue(CellRef at, const CellValue& value) {
    if (value.type == CellValue::Type::Text) {
        writeEntry(at, value.text);
        return;
    }
    CellStore::Cell& cell = cellForWrite(at);
    setConstant(cell, value);
    if (!CellStore::isUsed(cell))
        store().removeEmptyCell(at);
    written(at);
}

} // namespace platform::sheet
