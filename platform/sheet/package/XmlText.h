// Text in the package's XML: escaping for element content and attribute values, and the
// "_xHHHH_" form in which cell texts carry characters that XML cannot (control characters,
// a lone carriage return), in both directions.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform::sheet {

class XmlText {
public:
    // Appends text escaped for element content (&, <, >) or an attribute value (also ").
    static void appendEscaped(std::string& out, std::string_view text, bool attribute = false);
    static std::string escaped(std::string_view text, bool attribute = false);

    // Appends a cell text for a <t> element: escaped, with control characters and literal
    // "_xHHHH_" sequences in their "_xHHHH_" form.
    static void appendCellText(std::string& out, std::string_view utf8);
    // Reverses the "_xHHHH_" form of a cell text read from a <t> element.
    static std::string decodeCellText(std::string_view text);

    // True when the text needs xml:space="preserve" to keep its blanks.
    static bool needsSpacePreserve(std::string_view text);

    // The name of an element without its namespace prefix ("x:row" -> "row").
    static const char* localName(const char* qualified);

    // True for the truth values of an XML schema boolean attribute ("1", "true").
    static bool isTrue(const char* value) {
        return value && ((value[0] == '1' && value[1] == 0) || std::string_view(value) == "true");
    }

    // UTF-8 <-> QString.
    static QString toQString(std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    }
    static std::string toUtf8(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
};

} // namespace platform::sheet
