// Escaping for the package's XML and the "_xHHHH_" form of cell texts.
#include "platform/sheet/package/XmlText.h"

namespace platform::sheet {

namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

// True when text[pos...] starts an "_xHHHH_" sequence.
bool isEscapeSequence(std::string_view text, std::size_t pos) {
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_')
        return false;
    for (std::size_t i = 2; i < 6; ++i)
        if (!isHex(text[pos + i]))
            return false;
    return true;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendHexEscape(std::string& out, unsigned code) {
    static const char digits[] = "0123456789ABCDEF";
    out += "_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(code >> shift) & 0xF];
    out += '_';
}

} // namespace

void XmlText::appendEscaped(std::string& out, std::string_view text, bool attribute) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* replacement = nullptr;
        switch (c) {
        case '&':
            replacement = "&amp;";
            break;
        case '<':
            replacement = "&lt;";
            break;
        case '>':
            replacement = "&gt;";
            break;
        case '"':
            replacement = attribute ? "&quot;" : nullptr;
            break;
        case '\n':
            replacement = attribute ? "&#10;" : nullptr;
            break;
        case '\r':
            replacement = "&#13;";
            break;
        case '\t':
            replacement = attribute ? "&#9;" : nullptr;
            break;
        default:
            break;
        }
        if (replacement) {
            out.append(text.data() + plain, i - plain);
            out += replacement;
            plain = i + 1;
        }
    }
    out.append(text.data() + plain, text.size() - plain);
}

std::string XmlText::escaped(std::string_view text, bool attribute) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text, attribute);
    return out;
}

void XmlText::appendCellText(std::string& out, std::string_view utf8) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool control = c < 0x20 && c != '\t' && c != '\n';
        const bool literalEscape = c == '_' && isEscapeSequence(utf8, i);
        if (!control && !literalEscape)
            continue;
        appendEscaped(out, utf8.substr(plain, i - plain));
        appendHexEscape(out, literalEscape ? unsigned('_') : c);
        plain = i + 1;
    }
    appendEscaped(out, utf8.substr(plain));
}

std::string XmlText::decodeCellText(std::string_view text) {
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isEscapeSequence(text, i)) {
            unsigned code = 0;
            for (std::size_t k = 2; k < 6; ++k)
                code = code * 16 + unsigned(hexValue(text[i + k]));
            appendUtf8(out, code);
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* XmlText::localName(const char* qualified) {
    for (const char* p = qualified; *p; ++p)
        if (*p == ':')
            return p + 1;
    return qualified;
}

bool XmlText::needsSpacePreserve(std::string_view text) {
    if (text.empty())
        return false;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return blank(text.front()) || blank(text.back()) || text.find("  ") != std::string_view::npos ||
           text.find('\n') != std::string_view::npos;
}

} // namespace platform::sheet
