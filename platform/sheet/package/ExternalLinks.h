// The workbook's links to other workbooks (xl/externalLinks/externalLinkN.xml and their
// relationships). Inside the file a formula names a linked workbook by its link number,
// "[1]Rates!B2"; callers read and write the form a spreadsheet program shows,
// "'folder/[Budget.xlsx]Rates'!B2". This class converts between the two, adds links (with the
// referenced cells' current values as the link's cache, so a program that opens the file
// shows them before it updates the link) and writes the link parts it added.
#pragma once

#include "platform/sheet/CellRange.h"
#include "platform/sheet/CellValue.h"
#include "platform/sheet/package/ContentTypes.h"
#include "platform/sheet/package/Package.h"
#include "platform/sheet/package/Relationships.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform::sheet {

class ExternalLinks {
public:
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.externalLink+xml";

    // Reads the links the workbook part lists (relationship ids in link order).
    void load(const Package& package, const std::string& workbookPart, const Relationships& workbookRels,
              const std::vector<std::string>& references, const QString& workbookFolder);

    // File form -> shown form. Prefixes of other kinds stay as they are.
    std::string toDisplay(std::string_view formula) const;

    // Shown form -> file form; a workbook not linked yet gets a new link. `cached` gives the
    // value of a linked cell for the link's cache (nothing known: no cache entry).
    using CellLookup =
        std::function<std::optional<CellValue>(const std::string& book, const std::string& sheet, CellRef)>;
    std::string toFile(std::string_view formula, const CellLookup& cached = {});

    // Adds or finds the link to a workbook file (full path, "/" separators); returns its number.
    int linkTo(const std::string& path);

    // Writes the link parts added since loading, with their relationships and content types,
    // and returns the workbook's reference list in link order.
    void store(Package& package, Relationships& workbookRels, ContentTypes& types,
               std::vector<std::string>& references);

    bool changed() const { return changed_; }
    int count() const { return int(links_.size()); }

private:
    struct Link {
        std::string path;                // full path of the linked workbook as shown
        std::string part;                // its link part; empty for a link added since loading
        std::vector<std::string> sheets; // sheet names known to the link
        std::map<std::pair<std::string, std::pair<int, int>>, CellValue> cache; // added cells
    };

    int sheetIndex(Link& link, const std::string& sheet);
    static std::string linkPartXml(const Link& link);

    std::vector<Link> links_;
    std::string workbookPart_ = "xl/workbook.xml";
    bool changed_ = false;
};

} // namespace platform::sheet
