// Reading sheetData in one pass: a small forward cursor over the XML text (tags, attributes,
// character data) and the cell reader on top of it (elements row, c, v, f, is).
#include "platform/sheet/package/SheetDataReader.h"

#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <charconv>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::sheet {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The character an entity or character reference at text[0] ('&') stands for, appended to out;
// answers how many characters it took. An unknown or malformed one stays as it is, as the
// layer's other XML reader leaves it.
std::size_t appendEntity(std::string& out, std::string_view text) {
    const std::size_t semicolon = text.substr(0, 16).find(';'); // references are short
    if (semicolon == std::string_view::npos) {
        out += '&';
        return 1;
    }
    const std::string_view name = text.substr(1, semicolon - 1);
    static const std::pair<std::string_view, char> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : named) {
        if (name == entity) {
            out += c;
            return semicolon + 1;
        }
    }
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        std::uint32_t code = 0;
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (ec == std::errc() && end == digits.data() + digits.size() && code > 0 && code <= 0x10FFFF &&
            !(code >= 0xD800 && code <= 0xDFFF)) {
            appendUtf8(out, code);
            return semicolon + 1;
        }
    }
    out += '&';
    return 1;
}

// A forward cursor over the XML text of one element and what it holds.
class XmlCursor {
public:
    struct Attribute {
        std::string_view name;
        std::string_view raw; // the value as written, between its quotes
    };
    struct Tag {
        std::string_view name; // qualified
        std::string_view local;
        bool closing = false;
        bool selfClosing = false;
        std::vector<Attribute> attributes;
    };

    XmlCursor(std::string_view text, std::string_view part)
        : text_(text)
        , part_(part) {}

    // Where the cursor stands, and the element (start tag to end tag) whose start tag ends at
    // `afterStartTag` and that was read to where the cursor stands.
    std::size_t position() const { return pos_; }
    std::string_view element(std::size_t afterStartTag) const {
        const std::size_t from = text_.rfind('<', afterStartTag - 1);
        return text_.substr(from, pos_ - from);
    }

    [[noreturn]] void fail(const char* problem) const {
        throw SheetError(
            SheetError::Code::DamagedXml,
            QStringLiteral("The part %1 of the workbook is damaged: %2.")
                .arg(QString::fromUtf8(part_.data(), qsizetype(part_.size())), QString::fromLatin1(problem)));
    }

    // Moves to the next start or end tag and reads it. The character data before it (CDATA
    // sections included, references decoded) is appended to `text` when one is given; comments
    // and processing instructions are passed over. Fails at the end of the text.
    void next(Tag& tag, std::string* text) {
        for (;;) {
            const std::size_t lt = text_.find('<', pos_);
            if (lt == std::string_view::npos)
                fail("an element is not closed");
            if (text)
                appendText(*text, text_.substr(pos_, lt - pos_));
            pos_ = lt;
            const std::string_view rest = text_.substr(pos_);
            if (rest.starts_with("<!--")) {
                skipPast("-->", "a comment is not closed");
            } else if (rest.starts_with("<![CDATA[")) {
                const std::size_t end = text_.find("]]>", pos_ + 9);
                if (end == std::string_view::npos)
                    fail("a CDATA section is not closed");
                if (text)
                    text->append(text_.substr(pos_ + 9, end - pos_ - 9));
                pos_ = end + 3;
            } else if (rest.starts_with("<?")) {
                skipPast("?>", "a processing instruction is not closed");
            } else if (rest.starts_with("<!")) {
                fail("it holds a declaration inside an element");
            } else {
                readTag(tag);
                return;
            }
        }
    }

    // Passes over the rest of an element whose start tag was just read.
    void skipRest(const Tag& start) {
        if (start.selfClosing)
            return;
        std::vector<std::string> open{std::string(start.name)};
        Tag tag;
        while (!open.empty()) {
            next(tag, nullptr);
            if (tag.closing) {
                if (tag.name != open.back())
                    fail("an end tag does not match its start tag");
                open.pop_back();
            } else if (!tag.selfClosing) {
                open.emplace_back(tag.name);
            }
        }
    }

    // The character data of an element whose start tag was just read, up to its end tag;
    // elements inside it are passed over.
    void readText(const Tag& start, std::string& out) {
        if (start.selfClosing)
            return;
        Tag tag;
        for (;;) {
            next(tag, &out);
            if (tag.closing) {
                if (tag.name != start.name)
                    fail("an end tag does not match its start tag");
                return;
            }
            skipRest(tag);
        }
    }

    // Reads the element's children: each start tag goes to `child`, which reads or passes over
    // the rest of that element; ends at the element's end tag.
    template <class Child> void forEachChild(const Tag& start, Child&& child) {
        if (start.selfClosing)
            return;
        Tag tag;
        for (;;) {
            next(tag, nullptr);
            if (tag.closing) {
                if (tag.name != start.name)
                    fail("an end tag does not match its start tag");
                return;
            }
            child(tag);
        }
    }

    // An attribute value with its references decoded and its blanks made spaces, as an XML
    // parser gives it; `scratch` holds it when it had to change.
    static std::string_view value(std::string_view raw, std::string& scratch) {
        std::size_t special = 0;
        while (special < raw.size() && raw[special] != '&' && raw[special] != '\t' && raw[special] != '\n' &&
               raw[special] != '\r')
            ++special;
        if (special == raw.size())
            return raw;
        scratch.assign(raw.substr(0, special));
        for (std::size_t i = special; i < raw.size();) {
            const char c = raw[i];
            if (c == '&') {
                i += appendEntity(scratch, raw.substr(i));
            } else if (c == '\r') {
                scratch += ' ';
                i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
            } else {
                scratch += c == '\t' || c == '\n' ? ' ' : c;
                ++i;
            }
        }
        return scratch;
    }

private:
    void skipPast(std::string_view terminator, const char* problem) {
        const std::size_t at = text_.find(terminator, pos_);
        if (at == std::string_view::npos)
            fail(problem);
        pos_ = at + terminator.size();
    }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
    }

    std::string_view readName(const char* problem) {
        const std::size_t start = pos_;
        if (pos_ >= text_.size() || !isNameStart(text_[pos_]))
            fail(problem);
        while (pos_ < text_.size() && isNameChar(text_[pos_]))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void readTag(Tag& tag) {
        ++pos_; // '<'
        tag.closing = pos_ < text_.size() && text_[pos_] == '/';
        if (tag.closing)
            ++pos_;
        tag.selfClosing = false;
        tag.attributes.clear();
        tag.name = readName("an element has no proper name");
        const std::size_t colon = tag.name.find(':');
        tag.local = colon == std::string_view::npos ? tag.name : tag.name.substr(colon + 1);
        for (;;) {
            const std::size_t before = pos_;
            skipBlanks();
            if (pos_ >= text_.size())
                fail("the text ends inside a tag");
            const char c = text_[pos_];
            if (c == '>') {
                ++pos_;
                return;
            }
            if (c == '/' && !tag.closing && pos_ + 1 < text_.size() && text_[pos_ + 1] == '>') {
                tag.selfClosing = true;
                pos_ += 2;
                return;
            }
            if (tag.closing || before == pos_)
                fail("a tag is not written properly");
            readAttribute(tag);
        }
    }

    void readAttribute(Tag& tag) {
        Attribute a;
        a.name = readName("an attribute has no proper name");
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '=')
            fail("an attribute has no value");
        ++pos_;
        skipBlanks();
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\''))
            fail("an attribute value is not quoted");
        const char quote = text_[pos_++];
        const std::size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos)
            fail("an attribute value is not closed");
        a.raw = text_.substr(pos_, end - pos_);
        if (a.raw.find('<') != std::string_view::npos)
            fail("an attribute value holds a '<'");
        pos_ = end + 1;
        tag.attributes.push_back(a);
    }

    // Character data with references decoded and line ends made "\n".
    static void appendText(std::string& out, std::string_view raw) {
        std::size_t plain = 0;
        for (std::size_t i = 0; i < raw.size();) {
            const char c = raw[i];
            if (c != '&' && c != '\r') {
                ++i;
                continue;
            }
            out.append(raw.substr(plain, i - plain));
            if (c == '&') {
                i += appendEntity(out, raw.substr(i));
            } else {
                out += '\n';
                i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
            }
            plain = i;
        }
        out.append(raw.substr(plain));
    }

    std::string_view text_;
    std::string_view part_;
    std::size_t pos_ = 0;
};

using Tag = XmlCursor::Tag;

void appendAttr(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    XmlText::appendEscaped(out, value, true);
    out += '"';
}

// A whole number at the start of a text after blanks; nullopt when there is none.
template <class Int> std::optional<Int> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    Int value = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (ec != std::errc())
        return std::nullopt;
    return value;
}

struct SharedMaster {
    CellRef anchor;
    std::vector<FormulaText::Token> tokens;
};

class Reader {
public:
    Reader(std::string_view text, CellStore& store, std::string_view part, CellBudget* budget)
        : xml_(text, part)
        , store_(store)
        , tally_(budget, part) {}

    void read() {
        Tag sheetData;
        xml_.next(sheetData, nullptr);
        if (sheetData.closing || sheetData.local != "sheetData")
            xml_.fail("its sheet data cannot be found");
        int rowNumber = 0;
        xml_.forEachChild(sheetData, [&](const Tag& tag) {
            if (tag.local == "row")
                readRow(tag, rowNumber);
            else
                xml_.skipRest(tag);
        });
        tally_.flush();
    }

private:
    void readRow(const Tag& row, int& rowNumber) {
        std::string attrs;
        int r = rowNumber + 1;
        for (const auto& a : row.attributes) {
            if (a.name == "r")
                r = leadingNumber<int>(XmlCursor::value(a.raw, scratch_)).value_or(0);
            else if (a.name != "spans")
                appendAttr(attrs, a.name, XmlCursor::value(a.raw, scratch_));
        }
        if (r < 1 || r > CellAddress::kMaxRows)
            xml_.fail("a row number is outside the sheet");
        rowNumber = r;
        if (const std::uint32_t attrIndex = store_.addAttrs(attrs)) {
            store_.obtainRow(r).attrs = attrIndex;
            tally_.addCells(1);
        }
        // Rows of a sheet tend to be alike: room for as many cells as the row before held.
        const std::size_t cellsBefore = store_.rows().empty() ? 0 : store_.rows().back().cells.size();
        bool reserved = false;
        int col = 0;
        xml_.forEachChild(row, [&](const Tag& tag) {
            if (tag.local != "c") {
                xml_.skipRest(tag);
                return;
            }
            if (!reserved) {
                reserved = true;
                CellStore::Row& stored = store_.obtainRow(r);
                if (stored.cells.empty())
                    stored.cells.reserve(cellsBefore);
            }
            readCell(tag, r, col);
        });
    }

    void readCell(const Tag& c, int row, int& col) {
        std::string_view type;
        std::uint32_t style = 0;
        std::string extra;
        int at = col + 1;
        for (const auto& a : c.attributes) {
            if (a.name == "r") {
                const std::string_view ref = XmlCursor::value(a.raw, scratch_);
                CellRef parsed;
                if (!CellAddress::parseA1(ref.data(), ref.size(), parsed) || parsed.row != row)
                    xml_.fail("a cell position does not fit its row");
                at = parsed.col;
            } else if (a.name == "s") {
                style = leadingNumber<std::uint32_t>(XmlCursor::value(a.raw, scratch_)).value_or(0);
            } else if (a.name == "t") {
                type = a.raw; // the types are plain names
            } else {
                appendAttr(extra, a.name, XmlCursor::value(a.raw, scratch_));
            }
        }
        if (at < 1 || at > CellAddress::kMaxColumns)
            xml_.fail("a cell lies outside the sheet");
        col = at;
        tally_.addCells(1);
        CellStore::Cell& cell = store_.append(row, at);
        cell = CellStore::Cell{};
        cell.col = std::uint16_t(at);
        cell.style = style;
        if (!extra.empty()) {
            cell.flags |= CellStore::kExtraAttrs;
            store_.setCellAttrs({row, at}, store_.addAttrs(extra));
        }
        bool hasValue = false;
        bool hasInline = false;
        std::string_view richElement; // an inline string with formatted runs, as written
        value_.clear();
        inline_.clear();
        xml_.forEachChild(c, [&](const Tag& child) {
            if (child.local == "v") {
                hasValue = true;
                xml_.readText(child, value_);
            } else if (child.local == "f") {
                readFormula(child, cell, {row, at});
            } else if (child.local == "is") {
                hasInline = true;
                const std::size_t start = xml_.position();
                if (readInline(child) && !child.selfClosing)
                    richElement = xml_.element(start);
            } else {
                xml_.skipRest(child);
            }
        });
        readValue(cell, type, hasValue, hasInline);
        if (!richElement.empty() && cell.type == CellStore::Type::Inline)
            store_.setRichText({row, at}, cell.text, richElement);
        // A formula saved without its result (as some writers do) is calculated when needed.
        if (cell.formula && cell.type == CellStore::Type::Empty)
            cell.flags |= CellStore::kStale;
    }

    // The text of an inline string: its <t>, or the <t> of each run; phonetic runs left out.
    // True when it holds more than a plain text (formatted runs, phonetic runs).
    bool readInline(const Tag& is) {
        bool rich = false;
        xml_.forEachChild(is, [&](const Tag& child) {
            if (child.local == "t") {
                xml_.readText(child, inline_);
                return;
            }
            rich = true;
            if (child.local == "r") {
                xml_.forEachChild(child, [&](const Tag& run) {
                    if (run.local == "t")
                        xml_.readText(run, inline_);
                    else
                        xml_.skipRest(run);
                });
            } else {
                xml_.skipRest(child);
            }
        });
        return rich;
    }

    void readValue(CellStore::Cell& cell, std::string_view t, bool hasValue, bool hasInline) {
        if (t == "inlineStr") {
            // An inline string without its text holds no value: the cell is empty.
            if (!hasInline)
                return;
            cell.type = CellStore::Type::Inline;
            cell.text = store_.addText(XmlText::decodeCellText(inline_));
            return;
        }
        if (value_.empty()) {
            // A formula whose result is the empty text; an empty shared reference is nothing.
            if (t == "str" && hasValue) {
                cell.type = CellStore::Type::Inline;
                cell.text = store_.addText({});
            }
            return;
        }
        if (t.empty() || t == "n") {
            std::size_t i = 0;
            while (i < value_.size() && value_[i] == ' ')
                ++i;
            double number = 0;
            const auto result = std::from_chars(value_.data() + i, value_.data() + value_.size(), number);
            if (result.ec != std::errc())
                xml_.fail("a number cannot be read");
            cell.type = CellStore::Type::Number;
            cell.number = number;
        } else if (t == "s") {
            const auto index = leadingNumber<std::uint64_t>(value_);
            if (!index || *index > 0xFFFFFFFEull)
                xml_.fail("a shared string number cannot be read");
            cell.type = CellStore::Type::Shared;
            cell.text = std::uint32_t(*index);
        } else if (t == "b") {
            cell.type = CellStore::Type::Boolean;
            cell.number = value_ == "1" || value_ == "true" ? 1 : 0;
        } else if (t == "e") {
            cell.type = CellStore::Type::Error;
            cell.text = store_.addText(value_);
        } else {
            // "str" (a formula's text result) and "d" (a date written as text).
            cell.type = CellStore::Type::Inline;
            cell.text = store_.addText(XmlText::decodeCellText(value_));
        }
    }

    void readFormula(const Tag& f, CellStore::Cell& cell, CellRef at) {
        std::string_view kind;
        std::optional<int> shareId;
        std::string kept;
        std::string ref;
        for (const auto& a : f.attributes) {
            if (a.name == "t")
                kind = a.raw;
            else if (a.name == "si")
                shareId = leadingNumber<int>(XmlCursor::value(a.raw, scratch_)).value_or(0);
            else if (a.name == "ref")
                ref = XmlCursor::value(a.raw, scratch_);
            else
                appendAttr(kept, a.name, XmlCursor::value(a.raw, scratch_));
        }
        formula_.clear();
        xml_.readText(f, formula_);
        if (kind == "shared" && shareId) {
            const int id = *shareId;
            if (!formula_.empty()) {
                masters_[id] = SharedMaster{at, FormulaText::tokenize(formula_)};
                cell.formula = store_.addFormula(formula_, store_.addAttrs(kept));
                return;
            }
            const auto it = masters_.find(id);
            if (it == masters_.end())
                xml_.fail("a shared formula refers to a block that has no formula");
            const std::string moved = FormulaText::shifted(it->second.tokens, at.row - it->second.anchor.row,
                                                           at.col - it->second.anchor.col);
            tally_.addFormulaBytes(moved.size());
            cell.formula = store_.addFormula(moved, store_.addAttrs(kept));
            return;
        }
        if (kind == "array" || kind == "dataTable") {
            std::string attrs = " t=\"" + std::string(kind) + "\"";
            if (!ref.empty())
                attrs += " ref=\"" + XmlText::escaped(ref, true) + "\"";
            attrs += kept;
            cell.formula = store_.addFormula(formula_, store_.addAttrs(attrs));
            return;
        }
        cell.formula = store_.addFormula(formula_, store_.addAttrs(kept));
    }

    XmlCursor xml_;
    CellStore& store_;
    CellTally tally_;
    std::unordered_map<int, SharedMaster> masters_;
    std::string scratch_;
    std::string value_;
    std::string inline_;
    std::string formula_;
};

} // namespace

void SheetDataReader::read(std::string_view text, CellStore& store, std::string_view partName,
                           CellBudget* budget) {
    Reader(text, store, partName, budget).read();
}

} // namespace platform::sheet
