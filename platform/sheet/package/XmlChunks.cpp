// Cutting a part's XML into top-level children and putting it together again.
#include "platform/sheet/package/XmlChunks.h"

#include "platform/sheet/SheetError.h"

#include <algorithm>

namespace platform::sheet {

namespace {

class Scanner {
public:
    Scanner(std::string_view text, std::string_view what)
        : text_(text)
        , what_(what) {}

    [[noreturn]] void fail(const char* problem) const {
        throw SheetError(
            SheetError::Code::DamagedXml,
            QStringLiteral("The part %1 of the workbook is damaged: %2.")
                .arg(QString::fromUtf8(what_.data(), qsizetype(what_.size())), QString::fromLatin1(problem)));
    }

    std::size_t pos = 0;

    bool atEnd() const { return pos >= text_.size(); }
    bool startsWith(std::string_view s) const { return text_.substr(pos, s.size()) == s; }

    void skipPast(std::string_view terminator, const char* problem) {
        const std::size_t at = text_.find(terminator, pos);
        if (at == std::string_view::npos)
            fail(problem);
        pos = at + terminator.size();
    }

    void skipBlanks() {
        while (!atEnd() &&
               (text_[pos] == ' ' || text_[pos] == '\t' || text_[pos] == '\r' || text_[pos] == '\n'))
            ++pos;
    }

    // At '<' of a start or end tag: reads the name and moves past the tag's '>'. Returns the
    // qualified name; selfClosing tells whether the tag ended with "/>".
    std::string_view readTag(bool& selfClosing) {
        ++pos;
        if (!atEnd() && text_[pos] == '/')
            ++pos;
        const std::size_t nameStart = pos;
        while (!atEnd() && text_[pos] != '>' && text_[pos] != '/' && text_[pos] != ' ' &&
               text_[pos] != '\t' && text_[pos] != '\r' && text_[pos] != '\n')
            ++pos;
        const std::string_view name = text_.substr(nameStart, pos - nameStart);
        if (name.empty())
            fail("an element has no name");
        char quote = 0;
        while (!atEnd()) {
            const char c = text_[pos];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                selfClosing = pos > 0 && text_[pos - 1] == '/';
                ++pos;
                return name;
            } else if (c == '<') {
                fail("a tag is not closed");
            }
            ++pos;
        }
        fail("the text ends inside a tag");
    }

    // Skips a comment, processing instruction or CDATA section at pos; false when pos is at a tag.
    bool skipSpecial() {
        if (startsWith("<!--")) {
            skipPast("-->", "a comment is not closed");
            return true;
        }
        if (startsWith("<![CDATA[")) {
            skipPast("]]>", "a CDATA section is not closed");
            return true;
        }
        if (startsWith("<?")) {
            skipPast("?>", "a processing instruction is not closed");
            return true;
        }
        if (startsWith("<!"))
            fail("it holds a document type declaration");
        return false;
    }

    // From the start tag of an element at pos to just past its end.
    void skipElement() {
        std::vector<std::string_view> open;
        do {
            const std::size_t lt = text_.find('<', pos);
            if (lt == std::string_view::npos)
                fail("an element is not closed");
            pos = lt;
            if (skipSpecial())
                continue;
            const bool closing = text_[pos + 1 < text_.size() ? pos + 1 : pos] == '/';
            bool selfClosing = false;
            const std::string_view name = readTag(selfClosing);
            if (closing) {
                if (open.empty() || open.back() != name)
                    fail("an end tag does not match its start tag");
                open.pop_back();
            } else if (!selfClosing) {
                open.push_back(name);
            }
        } while (!open.empty());
    }

    std::string_view text_;
    std::string_view what_;
};

std::string_view localName(std::string_view qualified) {
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

} // namespace

XmlChunks XmlChunks::split(std::string_view xml, std::string_view what,
                           std::initializer_list<std::string_view> placeholders, CellBudget* budget) {
    XmlChunks result;
    CellTally children(budget, what);
    Scanner scan(xml, what);
    if (xml.substr(0, 3) == "\xEF\xBB\xBF")
        scan.pos = 3;
    for (;;) {
        scan.skipBlanks();
        if (scan.atEnd())
            scan.fail("it holds no root element");
        if (!scan.skipSpecial())
            break;
    }
    result.prolog_.assign(xml.substr(0, scan.pos));
    const std::size_t rootAt = scan.pos;
    if (xml[rootAt] != '<' || (rootAt + 1 < xml.size() && xml[rootAt + 1] == '/'))
        scan.fail("it holds no root element");
    bool selfClosing = false;
    const std::string_view rootName = scan.readTag(selfClosing);
    const std::size_t colon = rootName.find(':');
    if (colon != std::string_view::npos)
        result.prefix_.assign(rootName.substr(0, colon + 1));
    result.rootStart_.assign(xml.substr(rootAt, scan.pos - rootAt));
    result.bodyOffset_ = scan.pos;
    result.emptyRoot_ = selfClosing;
    result.rootEnd_ = "</" + std::string(rootName) + ">";
    if (selfClosing) {
        result.rootStart_.erase(result.rootStart_.size() - 2, 1);
        while (result.rootStart_.size() > 1 && result.rootStart_[result.rootStart_.size() - 2] == ' ')
            result.rootStart_.erase(result.rootStart_.size() - 2, 1);
    } else {
        for (;;) {
            const std::size_t chunkStart = scan.pos;
            const std::size_t lt = xml.find('<', scan.pos);
            if (lt == std::string_view::npos)
                scan.fail("the root element is not closed");
            scan.pos = lt;
            if (xml.substr(lt, 2) == "</") {
                bool dummy = false;
                if (scan.readTag(dummy) != rootName)
                    scan.fail("an end tag does not match its start tag");
                // Blanks before the end tag belong to the end.
                result.rootEnd_ = std::string(xml.substr(chunkStart, scan.pos - chunkStart));
                break;
            }
            Chunk chunk;
            children.addElements(1);
            if (scan.skipSpecial()) {
                chunk.raw.assign(xml.substr(chunkStart, scan.pos - chunkStart));
                result.chunks_.push_back(std::move(chunk));
                continue;
            }
            bool childSelfClosing = false;
            const std::size_t tagAt = scan.pos;
            const std::string_view childName = scan.readTag(childSelfClosing);
            scan.pos = tagAt;
            if (childSelfClosing) {
                bool dummy = false;
                scan.readTag(dummy);
            } else {
                scan.skipElement();
            }
            chunk.name.assign(localName(childName));
            chunk.placeholder =
                std::find(placeholders.begin(), placeholders.end(), chunk.name) != placeholders.end();
            if (chunk.placeholder) {
                chunk.sourceOffset = chunkStart;
                chunk.sourceSize = scan.pos - chunkStart;
            } else {
                chunk.raw.assign(xml.substr(chunkStart, scan.pos - chunkStart));
            }
            result.chunks_.push_back(std::move(chunk));
        }
    }
    result.epilog_.assign(xml.substr(scan.pos));
    children.flush();
    return result;
}

int XmlChunks::indexOf(std::string_view name) const {
    for (std::size_t i = 0; i < chunks_.size(); ++i)
        if (chunks_[i].name == name)
            return int(i);
    return -1;
}

const XmlChunks::Chunk* XmlChunks::find(std::string_view name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : &chunks_[std::size_t(i)];
}

void XmlChunks::put(std::string_view name, std::string raw, const std::vector<std::string_view>& order) {
    const int existing = indexOf(name);
    if (existing >= 0) {
        chunks_[std::size_t(existing)].raw = std::move(raw);
        chunks_[std::size_t(existing)].placeholder = false;
        return;
    }
    // Insert before the first child that the schema puts after this one.
    const auto rank = [&](std::string_view n) {
        const auto it = std::find(order.begin(), order.end(), n);
        return it == order.end() ? -1 : int(it - order.begin());
    };
    const int myRank = rank(name);
    std::size_t at = chunks_.size();
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        const int r = rank(chunks_[i].name);
        if (r > myRank) {
            at = i;
            break;
        }
    }
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(at), Chunk{std::string(name), std::move(raw), false});
}

void XmlChunks::remove(std::string_view name) {
    chunks_.erase(
        std::remove_if(chunks_.begin(), chunks_.end(), [&](const Chunk& c) { return c.name == name; }),
        chunks_.end());
}

void XmlChunks::markPlaceholder(std::string_view name) {
    for (Chunk& c : chunks_) {
        if (c.name == name) {
            c.placeholder = true;
            c.raw.clear();
        }
    }
}

std::string
XmlChunks::assemble(const std::function<void(std::string&, const Chunk&)>& writePlaceholder) const {
    std::string out;
    std::size_t size = prolog_.size() + rootStart_.size() + rootEnd_.size() + epilog_.size();
    for (const Chunk& c : chunks_)
        size += c.raw.size();
    out.reserve(size);
    out += prolog_;
    out += rootStart_;
    for (const Chunk& c : chunks_) {
        if (c.placeholder && writePlaceholder)
            writePlaceholder(out, c);
        else
            out += c.raw;
    }
    out += rootEnd_;
    out += epilog_;
    return out;
}

} // namespace platform::sheet
