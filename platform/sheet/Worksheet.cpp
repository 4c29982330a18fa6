// Cells, formats, protection and selection of one sheet; the cell operations behind them are
// the Impl's (model/WorksheetImpl.cpp).
#include "platform/sheet/Worksheet.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/formula/NumberFormat.h"
#include "platform/sheet/model/ApplicationImpl.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/ProtectionElement.h"
#include "platform/sheet/package/Styles.h"
#include "platform/sheet/package/WorkbookPart.h"
#include "platform/sheet/package/WorksheetPart.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <unordered_map>

namespace platform::sheet {

Worksheet::Worksheet(std::unique_ptr<Impl> impl)
    : d_(std::move(impl)) {}

Worksheet::~Worksheet() = default;

Workbook& Worksheet::workbook() const {
    return *d_->workbook;
}

const QString& Worksheet::name() const {
    return d_->name;
}

Worksheet::Kind Worksheet::kind() const {
    return d_->kind;
}

Worksheet::Visibility Worksheet::visibility() const {
    return d_->visibility;
}

void Worksheet::setVisibility(Visibility visibility) {
    Workbook::Impl& book = d_->book();
    book.requireStructureChange();
    if (visibility != Visibility::Visible && d_->visibility == Visibility::Visible) {
        const auto visible = std::count_if(book.sheets.begin(), book.sheets.end(), [](const auto& s) {
            return s->visibility() == Visibility::Visible;
        });
        if (visible <= 1)
            throw SheetError(SheetError::Code::LastSheet,
                             QStringLiteral("A workbook must keep at least one visible sheet."));
    }
    d_->visibility = visibility;
    book.markStructureChanged();
    book.sheetListChanged();
}

int Worksheet::index() const {
    return d_->workbook->indexOf(*this);
}

// ---- cells -------------------------------------------------------------------------------

CellValue Worksheet::value(CellRef at) const {
    d_->workbook->calculate();
    const CellStore::Cell* cell = d_->store().find(at);
    return cell ? d_->valueOf(*cell) : CellValue();
}

QString Worksheet::formula(CellRef at) const {
    const CellStore::Cell* cell = d_->store().find(at);
    return cell ? d_->formulaOf(*cell) : QString();
}

QString Worksheet::text(CellRef at) const {
    const CellValue shown = value(at);
    const auto numberFormatOf = [this](CellRef cell) {
        return XmlText::toQString(d_->book().styles->numberFormatCode(styleIndex(cell)));
    };
    switch (shown.type) {
    case CellValue::Type::Empty:
        return {};
    case CellValue::Type::Number:
        return NumberFormat::format(shown.number, numberFormatOf(at), d_->book().workbookPart->date1904)
            .value_or(shown.toText());
    case CellValue::Type::Text:
        return NumberFormat::formatText(shown.text, numberFormatOf(at));
    case CellValue::Type::Boolean: // TRUE and FALSE take the text section
        return NumberFormat::formatText(shown.toText(), numberFormatOf(at));
    case CellValue::Type::Error:
        break;
    }
    return shown.toText();
}

bool Worksheet::hasFormula(CellRef at) const {
    const CellStore::Cell* cell = d_->store().find(at);
    return cell && cell->formula != 0;
}

bool Worksheet::isStale(CellRef at) const {
    d_->workbook->calculate();
    const CellStore::Cell* cell = d_->store().find(at);
    return cell && cell->formula != 0 && (cell->flags & CellStore::kStale);
}

std::vector<CellRef> Worksheet::staleCells(const CellRange& block) const {
    d_->requireCells();
    std::vector<CellRef> out;
    for (const StaleCell& stale : d_->workbook->staleCells())
        if (stale.sheet == this && block.contains(stale.cell))
            out.push_back(stale.cell);
    return out;
}

CellRef Worksheet::lastCell() const {
    return d_->store().lastUsed();
}

namespace {

void requireReadableBlock(const CellRange& block, const QString& sheetName) {
    if (qint64(block.rows()) * block.columns() > Worksheet::kMaxBlockCells)
        throw SheetError(
            SheetError::Code::BadAddress,
            QStringLiteral("The block %1 of the sheet '%2' is too large to be read in one piece.")
                .arg(block.address(false, false), sheetName));
}

} // namespace

ValueGrid Worksheet::values(const CellRange& block) const {
    d_->workbook->calculate();
    const CellStore& cells = d_->store();
    requireReadableBlock(block, d_->name);
    ValueGrid grid(block.rows(), block.columns());
    cells.forEachIn(block, [&](int row, const CellStore::Cell& cell) {
        grid.at(row - block.first.row + 1, cell.col - block.first.col + 1) = d_->valueOf(cell);
    });
    return grid;
}

FormulaGrid Worksheet::formulas(const CellRange& block) const {
    const CellStore& cells = d_->store();
    requireReadableBlock(block, d_->name);
    FormulaGrid grid(block.rows(), block.columns());
    cells.forEachIn(block, [&](int row, const CellStore::Cell& cell) {
        grid.at(row - block.first.row + 1, cell.col - block.first.col + 1) = d_->formulaOf(cell);
    });
    return grid;
}

void Worksheet::forEachHeldCell(
    const CellRange& block,
    const std::function<void(CellRef, const CellValue&, const QString&)>& visit) const {
    d_->workbook->calculate();
    d_->store().forEachIn(block, [&](int row, const CellStore::Cell& cell) {
        if (cell.type != CellStore::Type::Empty || cell.formula != 0)
            visit({row, cell.col}, d_->valueOf(cell), d_->formulaOf(cell));
    });
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

void Worksheet::setEntry(CellRef at, const QString& typed) {
    d_->writeEntry(at, typed);
    d_->raiseChange(CellRange(at));
}

void Worksheet::setValue(CellRef at, const CellValue& value) {
    d_->writeValue(at, value);
    d_->raiseChange(CellRange(at));
}

void Worksheet::clearContents(const CellRange& block) {
    CellStore& cells = d_->store();
    std::vector<CellRef> targets;
    cells.forEachIn(block, [&](int row, const CellStore::Cell& cell) { targets.push_back({row, cell.col}); });
    for (CellRef at : targets)
        d_->requireWritable(at);
    for (CellRef at : targets) {
        CellStore::Cell& cell = cells.obtain(at);
        d_->setConstant(cell, CellValue());
        if (!CellStore::isUsed(cell))
            cells.removeEmptyCell(at);
        d_->written(at);
    }
    d_->raiseChange(block);
}

// ---- formats -----------------------------------------------------------------------------

std::uint32_t Worksheet::styleIndex(CellRef at) const {
    const CellStore::Cell* cell = d_->store().find(at);
    return cell ? cell->style : 0;
}

void Worksheet::setBold(const CellRange& block, bool bold) {
    CellStore& cells = d_->store();
    Styles& styles = *d_->book().styles;
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
    d_->markChanged();
}

bool Worksheet::isBold(CellRef at) const {
    return d_->book().styles->isBold(styleIndex(at));
}

std::vector<CellRange> Worksheet::mergedCells() const {
    return d_->sheetPart().mergedCells();
}

void Worksheet::setMergedCells(const std::vector<CellRange>& ranges) {
    d_->sheetPart().setMergedCells(ranges);
    d_->markChanged();
}

// ---- protection --------------------------------------------------------------------------

bool Worksheet::isProtected() const {
    if (d_->kind != Kind::Worksheet || !d_->part)
        return false;
    const std::string raw = d_->part->element("sheetProtection");
    if (raw.empty())
        return false;
    const auto element = ProtectionElement::parse(raw);
    return element && element->flag("sheet");
}

bool Worksheet::hasPassword() const {
    if (!isProtected())
        return false;
    const auto element = ProtectionElement::parse(d_->part->element("sheetProtection"));
    return element && element->hasPassword();
}

bool Worksheet::verifyPassword(const QString& password) const {
    if (!isProtected())
        return true;
    const auto element = ProtectionElement::parse(d_->part->element("sheetProtection"));
    return !element || element->verify(password);
}

void Worksheet::protect(const QString& password) {
    WorksheetPart& p = d_->sheetPart();
    const ProtectionElement element = ProtectionElement::make(
        "sheetProtection", password, {{"sheet", "1"}, {"objects", "1"}, {"scenarios", "1"}});
    p.setElement("sheetProtection", element.element(p.prefix()));
    d_->markChanged();
}

void Worksheet::unprotect(const QString& password) {
    if (!isProtected())
        return;
    if (!verifyPassword(password))
        throw SheetError(
            SheetError::Code::WrongPassword,
            QStringLiteral("The password to unprotect the sheet '%1' is not correct.").arg(d_->name));
    d_->sheetPart().setElement("sheetProtection", {});
    d_->markChanged();
}

bool Worksheet::canWrite(CellRef at) const {
    d_->requireCells();
    return !isProtected() || !d_->book().styles->isLocked(styleIndex(at));
}

// ---- activation and selection ------------------------------------------------------------

void Worksheet::activate() {
    d_->book().requireOpen();
    d_->book().setActiveSheet(*this);
}

void Worksheet::select(const CellRange& block) {
    activate();
    d_->selection = block;
    if (Application* app = d_->workbook->application())
        impl(*app).raiseSheetSelectionChange(*this, block);
}

const CellRange& Worksheet::selection() const {
    return d_->selection;
}

QString Worksheet::selectionAddress(bool rowAbsolute, bool colAbsolute) const {
    return d_->selection.address(rowAbsolute, colAbsolute);
}

} // namespace platform::sheet
