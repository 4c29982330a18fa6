// Copy and paste-special of values, formats or both.
#include "platform/sheet/model/CopyBuffer.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/model/WorkbookImpl.h"
#include "platform/sheet/model/WorksheetImpl.h"
#include "platform/sheet/package/XmlText.h"

#include <map>

namespace platform::sheet {

void CopyBuffer::clear() {
    rows_ = cols_ = 0;
    items_.clear();
    looks_.clear();
    merges_.clear();
}

void CopyBuffer::take(const Worksheet& sheet, const CellRange& area) {
    clear();
    sheet.workbook().calculate(); // values are copied as current results
    if (qint64(area.rows()) * area.columns() > 20000000)
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("The block is too large to be copied."));
    area_ = area;
    rows_ = area.rows();
    cols_ = area.columns();
    items_.assign(std::size_t(rows_) * std::size_t(cols_), Item{});
    std::map<std::uint32_t, std::uint32_t> lookOf; // style index -> look number
    const Worksheet::Impl& from = impl(sheet);
    const Styles& styles = *from.book().styles;
    auto lookFor = [&](std::uint32_t style) {
        auto it = lookOf.find(style);
        if (it == lookOf.end()) {
            looks_.push_back(styles.look(style));
            it = lookOf.emplace(style, std::uint32_t(looks_.size() - 1)).first;
        }
        return it->second;
    };
    const std::uint32_t defaultLook = lookFor(0);
    for (Item& i : items_)
        i.look = defaultLook;
    from.store().forEachIn(area, [&](int row, const CellStore::Cell& cell) {
        Item& i = items_[std::size_t(row - area.first.row) * std::size_t(cols_) +
                         std::size_t(cell.col - area.first.col)];
        i.value = from.valueOf(cell);
        i.look = lookFor(cell.style);
        if (cell.formula)
            i.formula = from.formulaOf(cell).mid(1);
    });
    for (const CellRange& m : sheet.mergedCells())
        if (area.contains(m.first) && area.contains(m.last))
            merges_.push_back(CellRange({m.first.row - area.first.row + 1, m.first.col - area.first.col + 1},
                                        {m.last.row - area.first.row + 1, m.last.col - area.first.col + 1}));
}

void CopyBuffer::paste(Worksheet& target, CellRef at, PasteType type) const {
    if (empty())
        throw SheetError(SheetError::Code::NoCopyData, QStringLiteral("Nothing has been copied to paste."));
    const CellRange block(at, {at.row + rows_ - 1, at.col + cols_ - 1});
    if (!CellAddress::isValid(block.last))
        throw SheetError(SheetError::Code::BadAddress,
                         QStringLiteral("The pasted block would reach beyond the sheet."));
    Worksheet::Impl& to = impl(target);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < cols_; ++c)
            if (!target.canWrite({at.row + r, at.col + c}))
                to.requireWritable({at.row + r, at.col + c});

    const bool formats = type == PasteType::Formats || type == PasteType::All;
    const bool contents = type == PasteType::Values || type == PasteType::All;
    Styles& styles = *to.book().styles;
    std::vector<std::uint32_t> styleOf;
    if (formats) {
        styleOf.reserve(looks_.size());
        for (const Styles::Look& look : looks_)
            styleOf.push_back(styles.adopt(look));
    }
    const int rowShift = at.row - area_.first.row;
    const int colShift = at.col - area_.first.col;
    CellStore& cells = to.store();
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const Item& i = item(r, c);
            const CellRef cellAt{at.row + r, at.col + c};
            if (formats)
                cells.obtain(cellAt).style = styleOf[i.look];
            if (contents) {
                CellStore::Cell& cell = cells.obtain(cellAt);
                if (type == PasteType::All && !i.formula.isEmpty()) {
                    const auto tokens = FormulaText::tokenize(XmlText::toUtf8(i.formula));
                    to.setFormulaText(cell,
                                      XmlText::toQString(FormulaText::shifted(tokens, rowShift, colShift)));
                } else {
                    to.setConstant(cell, i.value);
                }
            }
            if (!CellStore::isUsed(cells.obtain(cellAt)))
                cells.removeEmptyCell(cellAt);
            to.written(cellAt);
        }
    }
    if (formats && !merges_.empty()) {
        std::vector<CellRange> merged;
        for (const CellRange& m : target.mergedCells()) {
            const bool overlaps = !(m.last.row < block.first.row || m.first.row > block.last.row ||
                                    m.last.col < block.first.col || m.first.col > block.last.col);
            if (!overlaps)
                merged.push_back(m);
        }
        for (const CellRange& m : merges_)
            merged.push_back(CellRange({at.row + m.first.row - 1, at.col + m.first.col - 1},
                                       {at.row + m.last.row - 1, at.col + m.last.col - 1}));
        target.setMergedCells(merged);
    }
}

} // namespace platform::sheet
