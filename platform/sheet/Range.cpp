// Blocks of cells.
#include "platform/sheet/Range.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/model/WorksheetImpl.h"

namespace platform::sheet {

namespace {

Application& applicationOf(const Worksheet& sheet) {
    Application* app = sheet.workbook().application();
    if (!app)
        throw SheetError(SheetError::Code::NotAvailable,
                         QStringLiteral("Copy and paste need the application the workbook belongs to."));
    return *app;
}

} // namespace

CellValue Range::value() const {
    return sheet_->value(area_.first);
}

QString Range::formula() const {
    return sheet_->formula(area_.first);
}

ValueGrid Range::values() const {
    return sheet_->values(area_);
}

FormulaGrid Range::formulas() const {
    return sheet_->formulas(area_);
}

void Range::setValue(const CellValue& value) const {
    Worksheet::Impl& sheet = impl(*sheet_);
    for (int r = area_.first.row; r <= area_.last.row; ++r)
        for (int c = area_.first.col; c <= area_.last.col; ++c)
            sheet.writeValue({r, c}, value);
    sheet.raiseChange(area_);
}

void Range::setEntry(const QString& typed) const {
    Worksheet::Impl& sheet = impl(*sheet_);
    for (int r = area_.first.row; r <= area_.last.row; ++r)
        for (int c = area_.first.col; c <= area_.last.col; ++c)
            sheet.writeEntry({r, c}, typed);
    sheet.raiseChange(area_);
}

void Range::clearContents() const {
    sheet_->clearContents(area_);
}

Range Range::cell(int row, int col) const {
    const CellRef at{area_.first.row + row - 1, area_.first.col + col - 1};
    if (!CellAddress::isValid(at))
        throw SheetError(SheetError::Code::BadAddress, QStringLiteral("The cell lies outside the sheet."));
    return Range(*sheet_, CellRange(at));
}

void Range::select() const {
    sheet_->select(area_);
}

void Range::setBold(bool bold) const {
    sheet_->setBold(area_, bold);
}

void Range::copy() const {
    applicationOf(*sheet_).copy(*this);
}

void Range::pasteSpecial(PasteType type) const {
    applicationOf(*sheet_).pasteSpecial(*this, type);
}

} // namespace platform::sheet
