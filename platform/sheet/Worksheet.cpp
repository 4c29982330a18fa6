// Cells, formats, protection and selection of one sheet.
#include "platform/sheet/Worksheet.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/CellEntry.h"
#include "platform/sheet/ExternalLinks.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/ProtectionElement.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/WorksheetPart.h"
#include "platform/sheet/XmlText.h"
#include "platform/sheet/formula/FormulaCompiler.h"
#include "platform/sheet/formula/FunctionNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

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

Worksheet::Worksheet(Workbook& workbook, Kind kind)
    : workbook_(&workbook)
    , kind_(kind) {}

Worksheet::~Worksheet() = default;

WorksheetPart& Worksheet::part() const {
    requireCells();
    return *part_;
}

CellStore& Worksheet::store() const {
    return part().cells();
}

void Worksheet::requireCells() const {
    workbook_->requireOpen();
    if (kind_ != Kind::Worksheet || !part_)
        throw SheetError(SheetError::Code::WrongSheetKind,
                         QStringLiteral("The sheet '%1' is not a worksheet and has no cells.").arg(name_));
}

void Worksheet::setName(const QString& name) {
    workbook_->renameSheet(*this, name);
}

void Worksheet::setVisibility(Visibility visibility) {
    workbook_->requireStructureChange();
    if (visibility != Visibility::Visible && visibility_ == Visibility::Visible) {
        int visible = 0;
        for (int i = 0; i < workbook_->sheetCount(); ++i)
            visible += workbook_->sheet(i).visibility() == Visibility::Visible ? 1 : 0;
        if (visible <= 1)
            throw SheetError(SheetError::Code::LastSheet,
                             QStringLiteral("A workbook must keep at least one visible sheet."));
    }
    visibility_ = visibility;
    workbook_->markStructureChanged();
}

int Worksheet::index() const {
    return workbook_->indexOf(*this);
}

CellValue Worksheet::valueOf(const CellStore::Cell& cell) const {
    switch (cell.type) {
    case CellStore::Type::Number:
        return CellValue::fromNumber(cell.number);
    case CellStore::Type::Shared:
        return CellValue::fromText(workbook_->strings_->qtext(cell.text));
    case CellStore::Type::Inline:
        return CellValue::fromText(XmlText::toQString(part_->cells().text(cell.text)));
    case CellStore::Type::Boolean:
        return CellValue::fromBoolean(cell.number != 0);
    case CellStore::Type::Error:
        return CellValue::fromError(XmlText::toQString(part_->cells().text(cell.text)));
    case CellStore::Type::Empty:
        break;
    }
    return {};
}

QString Worksheet::formulaOf(const CellStore::Cell& cell) const {
    if (cell.formula) {
        // As the user would type it: references to other workbooks by their names, functions
        // without their storage prefixes.
        const std::string_view text = part_->cells().formulaText(cell.formula);
        if (FormulaText::mayHoldExternal(text))
            return u'=' + XmlText::toQString(FunctionNames::toDisplay(workbook_->links_->toDisplay(text)));
        return u'=' + XmlText::toQString(FunctionNames::toDisplay(text));
    }
    switch (cell.type) {
    case CellStore::Type::Number:
        return numberText(cell.number);
    case CellStore::Type::Shared:
        return workbook_->strings_->qtext(cell.text);
    default:
        return valueOf(cell).toText();
    }
}

CellValue Worksheet::value(CellRef at) const {
    workbook_->calculate();
    const CellStore::Cell* cell = store().find(at);
    return cell ? valueOf(*cell) : CellValue();
}

QString Worksheet::formula(CellRef at) const {
    const CellStore::Cell* cell = store().find(at);
    return cell ? formulaOf(*cell) : QString();
}

bool Worksheet::hasFormula(CellRef at) const {
    const CellStore::Cell* cell = store().find(at);
    return cell && cell->formula != 0;
}

bool Worksheet::isStale(CellRef at) const {
    workbook_->calculate();
    const CellStore::Cell* cell = store().find(at);
    return cell && cell->formula != 0 && (cell->flags & CellStore::kStale);
}

std::vector<CellRef> Worksheet::staleCells(const CellRange& block) const {
    requireCells();
    std::vector<CellRef> out;
    for (const StaleCell& stale : workbook_->staleCells())
        if (stale.sheet == this && block.contains(stale.cell))
            out.push_back(stale.cell);
    return out;
}

CellStore* Worksheet::cellStore() const {
    return kind_ == Kind::Worksheet && part_ ? &part_->cells() : nullptr;
}

CellRef Worksheet::lastCell() const {
    return store().lastUsed();
}

void Worksheet::requireReadableBlock(const CellRange& block) const {
    if (qint64(block.rows()) * block.columns() > kMaxBlockCells)
        throw SheetError(
            SheetError::Code::BadAddress,
            QStringLiteral("The block %1 of the sheet '%2' is too large to be read in one piece.")
                .arg(block.address(false, false), name_));
}

ValueGrid Worksheet::values(const CellRange& block) const {
    workbook_->calculate();
    const CellStore& cells = store();
    requireReadableBlock(block);
    ValueGrid grid(block.rows(), block.columns());
    cells.forEachIn(block, [&](int row, const CellStore::Cell& cell) {
        grid.at(row - block.first.row + 1, cell.col - block.first.col + 1) = valueOf(cell);
    });
    return grid;
}

FormulaGrid Worksheet::formulas(const CellRange& block) const {
    const CellStore& cells = store();
    requireReadableBlock(block);
    FormulaGrid grid(block.rows(), block.columns());
    cells.forEachIn(block, [&](int row, const CellStore::Cell& cell) {
        grid.at(row - block.first.row + 1, cell.col - block.first.col + 1) = formulaOf(cell);
    });
    return grid;
}

Range Worksheet::range(const QString& address) {
    const auto block = CellRange::parse(address);
    if (!block)
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("'%1' is not a cell or range address.").arg(address));
    return Range(*this, *block);
}

Range Worksheet::cells(int row, int col) {
    if (!CellAddress::isValid({row, col}))
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("Row %1, column %2 lies outside the sheet.").arg(row).arg(col));
    return Range(*this, CellRange(CellRef{row, col}));
}

std::uint32_t Worksheet::styleIndex(CellRef at) const {
    const CellStore::Cell* cell = store().find(at);
    return cell ? cell->style : 0;
}

bool Worksheet::isProtected() const {
    if (kind_ != Kind::Worksheet || !part_)
        return false;
    const std::string raw = part_->element("sheetProtection");
    if (raw.empty())
        return false;
    const auto element = ProtectionElement::parse(raw);
    return element && element->flag("sheet");
}

bool Worksheet::hasPassword() const {
    if (!isProtected())
        return false;
    const auto element = ProtectionElement::parse(part_->element("sheetProtection"));
    return element && element->hasPassword();
}

bool Worksheet::verifyPassword(const QString& password) const {
    if (!isProtected())
        return true;
    const auto element = ProtectionElement::parse(part_->element("sheetProtection"));
    return !element || element->verify(password);
}

void Worksheet::protect(const QString& password) {
    WorksheetPart& p = part();
    const ProtectionElement element = ProtectionElement::make(
        "sheetProtection", password, {{"sheet", "1"}, {"objects", "1"}, {"scenarios", "1"}});
    p.setElement("sheetProtection", element.element(p.prefix()));
    dirty_ = true;
    workbook_->saved_ = false;
}

void Worksheet::unprotect(const QString& password) {
    if (!isProtected())
        return;
    if (!verifyPassword(password))
        throw SheetError(
            SheetError::Code::WrongPassword,
            QStringLiteral("The password to unprotect the sheet '%1' is not correct.").arg(name_));
    part().setElement("sheetProtection", {});
    dirty_ = true;
    workbook_->saved_ = false;
}

bool Worksheet::canWrite(CellRef at) const {
    requireCells();
    return !isProtected() || !workbook_->styles_->isLocked(styleIndex(at));
}

void Worksheet::requireWritable(CellRef at) const {
    requireCells();
    if (!CellAddress::isValid(at))
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("Row %1, column %2 lies outside the sheet.").arg(at.row).arg(at.col));
    if (!canWrite(at))
        throw SheetError(SheetError::Code::ProtectedCell,
                         QStringLiteral("The cell %1 of the sheet '%2' is locked and the sheet is protected; "
                                        "unprotect the sheet to change it.")
                             .arg(CellAddress::toA1(at), name_));
}

CellStore::Cell& Worksheet::cellForWrite(CellRef at) {
    requireWritable(at);
    return store().obtain(at);
}

void Worksheet::setConstant(CellStore::Cell& cell, const CellValue& value) {
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
        cell.text = workbook_->strings_->add(XmlText::toUtf8(value.text));
        break;
    case CellValue::Type::Error:
        cell.type = CellStore::Type::Error;
        cell.text = cells.addText(XmlText::toUtf8(value.text.toUpper()));
        break;
    }
}

void Worksheet::storeResult(CellStore& store, CellStore::Cell& cell, const CellValue& value) {
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

void Worksheet::setFormulaText(CellStore::Cell& cell, const QString& formula) {
    // Shown references to other workbooks are stored by their link number, newer functions
    // with the prefixes the file format needs.
    const std::string text = workbook_->links_->toFile(FunctionNames::toStorage(XmlText::toUtf8(formula)));
    cell.formula = store().addFormula(text);
    // The result is not known until the workbook is calculated again.
    cell.type = CellStore::Type::Empty;
    cell.number = 0;
    cell.text = 0;
    cell.flags |= CellStore::kStale;
}

void Worksheet::written(CellRef at) {
    dirty_ = true;
    workbook_->cellWritten(*this, at);
}

void Worksheet::writeEntry(CellRef at, const QString& typed) {
    const CellEntry entry = CellEntry::parse(typed);
    if (entry.isFormula) {
        // A text that is no formula is refused before anything is stored, as the spreadsheet
        // program refuses to take it.
        if (const auto problem = FormulaCompiler::syntaxProblem(XmlText::toUtf8(entry.formula)))
            throw SheetError(SheetError::Code::BadFormula,
                             QStringLiteral("The formula %1 for the cell %2 of the sheet '%3' cannot be taken: %4.")
                                 .arg(typed.size() > 80 ? typed.left(77) + QStringLiteral("...") : typed,
                                      CellAddress::toA1(at), name_, *problem));
    }
    CellStore::Cell& cell = cellForWrite(at);
    if (entry.isFormula)
        setFormulaText(cell, entry.formula);
    else
        setConstant(cell, entry.value);
    if (!CellStore::isUsed(cell))
        store().removeEmptyCell(at);
    written(at);
}

void Worksheet::writeValue(CellRef at, const CellValue& value) {
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

void Worksheet::setEntry(CellRef at, const QString& typed) {
    writeEntry(at, typed);
    if (Application* app = workbook_->application())
        app->raiseSheetChange(*this, CellRange(at));
}

void Worksheet::setValue(CellRef at, const CellValue& value) {
    writeValue(at, value);
    if (Application* app = workbook_->application())
        app->raiseSheetChange(*this, CellRange(at));
}

void Worksheet::clearContents(const CellRange& block) {
    CellStore& cells = store();
    std::vector<CellRef> targets;
    for (const CellStore::Row& row : cells.rows()) {
        if (row.row < block.first.row || row.row > block.last.row)
            continue;
        for (const CellStore::Cell& cell : row.cells)
            if (cell.col >= block.first.col && cell.col <= block.last.col)
                targets.push_back({row.row, cell.col});
    }
    for (CellRef at : targets)
        requireWritable(at);
    for (CellRef at : targets) {
        CellStore::Cell& cell = cells.obtain(at);
        setConstant(cell, CellValue());
        if (!CellStore::isUsed(cell))
            cells.removeEmptyCell(at);
        written(at);
    }
    if (Application* app = workbook_->application())
        app->raiseSheetChange(*this, block);
}

void Worksheet::setBold(const CellRange& block, bool bold) {
    CellStore& cells = store();
    Styles& styles = *workbook_->styles_;
    const qint64 size = qint64(block.rows()) * block.columns();
    std::unordered_map<std::uint32_t, std::uint32_t> made;
    auto apply = [&](CellStore::Cell& cell) {
        auto it = made.find(cell.style);
        if (it == made.end())
            it = made.emplace(cell.style, styles.withBold(cell.style, bold)).first;
        cell.style = it->second;
    };
    if (size <= 100000) {
        for (int r = block.first.row; r <= block.last.row; ++r)
            for (int c = block.first.col; c <= block.last.col; ++c)
                apply(cells.obtain({r, c}));
    } else {
        // A whole row or column: the cells that are there.
        for (CellStore::Row& row : cells.rows())
            if (row.row >= block.first.row && row.row <= block.last.row)
                for (CellStore::Cell& cell : row.cells)
                    if (cell.col >= block.first.col && cell.col <= block.last.col)
                        apply(cell);
    }
    dirty_ = true;
    workbook_->saved_ = false;
}

bool Worksheet::isBold(CellRef at) const {
    return workbook_->styles_->isBold(styleIndex(at));
}

std::vector<CellRange> Worksheet::mergedCells() const {
    return part().mergedCells();
}

void Worksheet::setMergedCells(const std::vector<CellRange>& ranges) {
    part().setMergedCells(ranges);
    dirty_ = true;
    workbook_->saved_ = false;
}

void Worksheet::activate() {
    workbook_->requireOpen();
    workbook_->setActiveSheet(*this);
}

void Worksheet::select(const CellRange& block) {
    activate();
    selection_ = block;
    if (Application* app = workbook_->application())
        app->raiseSheetSelectionChange(*this, block);
}

QString Worksheet::selectionAddress(bool rowAbsolute, bool colAbsolute) const {
    return selection_.address(rowAbsolute, colAbsolute);
}

Worksheet& Worksheet::copy(const Worksheet* before, const Worksheet* after) {
    return workbook_->copySheet(*this, before, after);
}

Workbook& Worksheet::copyToNewWorkbook() {
    Application* app = workbook_->application();
    if (!app)
        throw SheetError(
            SheetError::Code::NotAvailable,
            QStringLiteral("A sheet is copied into a new workbook only within the application."));
    return app->copySheetToNewWorkbook(*this);
}

void Worksheet::move(const Worksheet* before, const Worksheet* after) {
    workbook_->moveSheet(*this, before, after);
}

void Worksheet::remove() {
    workbook_->deleteSheet(*this);
}

} // namespace platform::sheet
