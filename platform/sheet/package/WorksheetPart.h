// A worksheet part (xl/worksheets/sheetN.xml). Reading fills the sheet's cell store from
// sheetData -- shared strings by number, inline strings, numbers, truth values, errors,
// formulas with their results, shared formulas expanded to each cell of their block -- and
// keeps every other child of the worksheet as raw text. Writing puts the children back as they
// were, with sheetData written from the store, the dimension brought up to date and the
// elements the layer manages (sheetProtection, mergeCells) as the sheet now has them.
#pragma once

#include "platform/sheet/CellRange.h"
#include "platform/sheet/model/CellStore.h"
#include "platform/sheet/package/CellBudget.h"
#include "platform/sheet/package/XmlChunks.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

class WorksheetPart {
public:
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

    // An empty worksheet of a new workbook or a sheet added to one (in the Strict spelling of
    // the namespaces for a Strict workbook).
    static WorksheetPart blank(bool selected, bool strict = false);
    // Reads a worksheet part; throws SheetError (DamagedXml) naming the part, or (TooLarge) when
    // it holds more than is left of the workbook's budget. Without a budget nothing is counted.
    static WorksheetPart parse(const std::string& xml, std::string_view partName,
                               CellBudget* budget = nullptr);

    CellStore& cells() { return cells_; }
    const CellStore& cells() const { return cells_; }

    // A child element of the worksheet by name, raw; empty when there is none.
    std::string element(std::string_view name) const;
    // Puts a raw child in its place by the schema's order, or removes it when raw is empty.
    void setElement(std::string_view name, std::string raw);
    const std::string& prefix() const { return chunks_.prefix(); }

    // Marks the sheet's first window view as the selected tab or not; false when nothing changed.
    bool setTabSelected(bool selected);

    std::vector<CellRange> mergedCells() const;
    void setMergedCells(const std::vector<CellRange>& ranges);

    // The whole part again.
    std::string serialize() const;

private:
    XmlChunks chunks_;
    CellStore cells_;
};

} // namespace platform::sheet
