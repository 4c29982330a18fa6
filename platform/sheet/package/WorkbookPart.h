// The workbook part (xl/workbook.xml): the sheets in order with their names, ids, links and
// visibility, the defined names, the date system, the calculation settings, the write reservation
// (fileSharing), the structure protection, the window's active sheet and the list of external links. The
// layer changes these and writes the part with every other child as it was.
#pragma once

#include "platform/sheet/package/ProtectionElement.h"
#include "platform/sheet/package/XmlChunks.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::sheet {

class WorkbookPart {
public:
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
    static constexpr std::string_view kMacroContentType =
        "application/vnd.ms-excel.sheet.macroEnabled.main+xml";

    struct SheetEntry {
        std::string name; // UTF-8
        unsigned sheetId = 0;
        std::string relId;
        std::string state; // "", "visible", "hidden", "veryHidden"
    };

    struct DefinedName {
        std::vector<std::pair<std::string, std::string>> attributes; // name, localSheetId, hidden, ...
        std::string text;                                            // the formula, without "="
        std::string attribute(std::string_view key) const;
        void setAttribute(std::string_view key, std::string value);
        void eraseAttribute(std::string_view key);
    };

    // A new workbook's part with one sheet.
    static WorkbookPart blank(const std::string& firstSheetName, const std::string& relId);
    // Throws SheetError (DamagedXml).
    static WorkbookPart parse(const std::string& xml);

    std::vector<SheetEntry> sheets;
    std::vector<DefinedName> definedNames;
    std::vector<std::string> externalReferences; // relationship ids, in link number order
    std::optional<ProtectionElement> fileSharing;
    bool lockStructure = false;
    int activeTab = 0;
    bool date1904 = false; // dates count from 1 January 1904 (workbookPr date1904)

    // Whether the workbook is written in the Strict spelling of the format's namespaces.
    bool strict() const { return strict_; }

    void setFullCalcOnLoad() { fullCalcOnLoad_ = true; }
    bool fullCalcOnLoad() const { return fullCalcOnLoad_; }

    // The part again. Only the children the layer manages are rewritten.
    std::string serialize() const;

private:
    XmlChunks chunks_;
    bool fullCalcOnLoad_ = false;
    bool strict_ = false;
    std::string calcPrAttributes_; // the calcPr attributes as read, without fullCalcOnLoad
    std::string bookViewsRaw_;
};

} // namespace platform::sheet
