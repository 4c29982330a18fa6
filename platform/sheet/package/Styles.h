// The styles part (xl/styles.xml): number formats, fonts, fills, borders and the cell formats
// (cellXfs) that cells refer to by number. The layer reads what it needs (whether a cell
// format locks its cells), brings cell formats over from another workbook (a pasted format, a
// sheet copied into a new workbook) and makes the bold variant of a format. Everything it
// does not change is written back as it was.
#pragma once

#include "platform/sheet/package/XmlChunks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::sheet {

class Styles {
public:
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

    // A cell format with everything it refers to, independent of any workbook.
    struct Look {
        std::vector<std::pair<std::string, std::string>> attributes; // of the <xf>, ids left out
        std::string children;                                        // <alignment/>, <protection/>
        std::string font, fill, border;
        int numFmtId = 0;       // a built-in number format
        std::string numFmtCode; // the code of a custom format (its id differs between workbooks)
        bool operator==(const Look& other) const {
            return attributes == other.attributes && children == other.children && font == other.font &&
                   fill == other.fill && border == other.border && numFmtCode == other.numFmtCode &&
                   (!numFmtCode.empty() || numFmtId == other.numFmtId);
        }
    };

    // The styles of a new workbook: one font, the two required fills, one border, one format.
    static Styles defaults();
    // Throws SheetError (DamagedXml).
    static Styles parse(std::string_view xml);

    std::uint32_t formatCount() const { return std::uint32_t(xfs_.size()); }
    // Whether cells of that format are locked when their sheet is protected (the default).
    bool isLocked(std::uint32_t xf) const;

    Look look(std::uint32_t xf) const;
    // The index of a cell format that looks like `look`, added when there is none.
    std::uint32_t adopt(const Look& look);
    // The same format with a bold font (or without bold).
    std::uint32_t withBold(std::uint32_t xf, bool bold);
    bool isBold(std::uint32_t xf) const;
    // Whether the format shows numbers in the general form (no number format of its own).
    bool hasGeneralNumbers(std::uint32_t xf) const;
    // The code of the format's number format: its custom code, or the code a built-in id
    // stands for in the English (United States) convention; "General" for the general form.
    std::string numberFormatCode(std::uint32_t xf) const;
    // The same format with another number format: a built-in one by its id, or a custom code.
    std::uint32_t withNumberFormat(std::uint32_t xf, int builtinId, const std::string& code);

    bool changed() const { return changed_; }
    std::string serialize() const;

private:
    struct Xf {
        std::vector<std::pair<std::string, std::string>> attributes;
        std::string children;
    };

    static std::string attr(const Xf& xf, std::string_view name);
    // The number format of a cell format: its id, and the code of the custom format of that id
    // (empty for a built-in one). Read here alone, for the look and for the code shown.
    static int numFmtIdOf(const Xf& xf);
    std::string customNumberFormat(int id) const;
    std::uint32_t addRaw(std::vector<std::string>& list, const std::string& raw);
    std::string listElement(std::string_view name, const std::vector<std::string>& items) const;

    XmlChunks chunks_;
    struct NumFmt {
        int id = 0;
        std::string raw;  // the element as written
        std::string code; // its formatCode
    };
    std::vector<NumFmt> numFmts_;
    std::vector<std::string> fonts_, fills_, borders_;
    std::vector<Xf> xfs_;
    // The attributes of the list elements (knownFonts and the like), without count.
    std::vector<std::pair<std::string, std::string>> listAttrs_[5];
    bool changed_ = false;
};

} // namespace platform::sheet
