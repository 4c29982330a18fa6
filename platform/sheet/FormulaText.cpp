// Formula tokens and the rewrites done on them.
#include "platform/sheet/FormulaText.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlText.h"

#include <QString>

namespace platform::sheet {

namespace {

using Kind = FormulaText::Kind;
using Token = FormulaText::Token;

bool isWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '$' || c == '\\' || c == '?' || c >= 0x80;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// $?letters$?digits
struct A1Parts {
    bool colAbs = false;
    bool rowAbs = false;
    int col = 0;
    int row = 0;
};

bool parseCellWord(std::string_view w, A1Parts& parts) {
    std::size_t i = 0;
    parts = A1Parts{};
    if (i < w.size() && w[i] == '$') {
        parts.colAbs = true;
        ++i;
    }
    const std::size_t letters = i;
    while (i < w.size() && isLetter(w[i]) && i - letters < 4)
        ++i;
    if (i == letters || i - letters > 3)
        return false;
    int col = 0;
    for (std::size_t k = letters; k < i; ++k)
        col = col * 26 + ((w[k] & ~0x20) - 'A' + 1);
    if (i < w.size() && w[i] == '$') {
        parts.rowAbs = true;
        ++i;
    }
    const std::size_t digits = i;
    long row = 0;
    while (i < w.size() && isDigit(w[i]) && i - digits < 8) {
        row = row * 10 + (w[i] - '0');
        ++i;
    }
    if (i != w.size() || i == digits || row < 1 || row > CellAddress::kMaxRows ||
        col > CellAddress::kMaxColumns)
        return false;
    parts.col = col;
    parts.row = int(row);
    return true;
}

bool parseColumnWord(std::string_view w, bool& absolute, int& col) {
    absolute = !w.empty() && w[0] == '$';
    const std::string_view letters = absolute ? w.substr(1) : w;
    if (letters.empty() || letters.size() > 3)
        return false;
    col = 0;
    for (char c : letters) {
        if (!isLetter(c))
            return false;
        col = col * 26 + ((c & ~0x20) - 'A' + 1);
    }
    return col <= CellAddress::kMaxColumns;
}

bool parseRowWord(std::string_view w, bool& absolute, int& row) {
    absolute = !w.empty() && w[0] == '$';
    const std::string_view digits = absolute ? w.substr(1) : w;
    if (digits.empty() || digits.size() > 7)
        return false;
    row = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return false;
        row = row * 10 + (c - '0');
    }
    return row >= 1 && row <= CellAddress::kMaxRows;
}

// R1C1 cell: R(n|[n])?C(n|[n])?
bool parseR1C1Word(std::string_view w) {
    std::size_t i = 0;
    auto part = [&](char letter) {
        if (i >= w.size() || (w[i] & ~0x20) != letter)
            return false;
        ++i;
        if (i < w.size() && w[i] == '[') {
            ++i;
            if (i < w.size() && (w[i] == '-' || w[i] == '+'))
                ++i;
            const std::size_t d = i;
            while (i < w.size() && isDigit(w[i]))
                ++i;
            if (i == d || i >= w.size() || w[i] != ']')
                return false;
            ++i;
        } else {
            while (i < w.size() && isDigit(w[i]))
                ++i;
        }
        return true;
    };
    return part('R') && part('C') && i == w.size();
}

class Lexer {
public:
    Lexer(std::string_view text, ReferenceStyle style)
        : s_(text)
        , style_(style) {}

    std::vector<Token> run() {
        while (pos_ < s_.size())
            next();
        return std::move(tokens_);
    }

private:
    void push(Kind kind, std::size_t from) {
        tokens_.push_back(Token{kind, std::string(s_.substr(from, pos_ - from))});
    }

    char peek(std::size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

    // Reads to the quote that closes a quoted text (doubled quotes stay inside).
    void skipQuoted(char quote) {
        ++pos_;
        while (pos_ < s_.size()) {
            if (s_[pos_] == quote) {
                if (peek(1) == quote) {
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return;
            }
            ++pos_;
        }
    }

    // To the bracket that closes the one at pos_; an apostrophe takes the next character as it
    // is (a table column named "Q[1]" is written Q'[1']).
    void skipBrackets() {
        int depth = 0;
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '\'' && pos_ < s_.size())
                ++pos_;
            else if (c == '[')
                ++depth;
            else if (c == ']' && --depth == 0)
                return;
        }
    }

    // A workbook named in quotes within the brackets, ['file:///C:/Book.xlsx'], where a quote
    // does not escape the next character as it does in a table's column name; false (nothing
    // read) when the brackets hold no such name.
    bool skipQuotedBook() {
        if (peek(1) != '\'')
            return false;
        std::size_t i = pos_ + 2;
        while (i < s_.size()) {
            if (s_[i] == '\'' && i + 1 < s_.size() && s_[i + 1] == '\'')
                i += 2;
            else if (s_[i] == '\'')
                break;
            else
                ++i;
        }
        if (i + 1 >= s_.size() || s_[i + 1] != ']')
            return false;
        pos_ = i + 2;
        return true;
    }

    std::size_t wordEnd(std::size_t from) const {
        std::size_t i = from;
        while (i < s_.size() && isWordChar(static_cast<unsigned char>(s_[i])))
            ++i;
        return i;
    }

    bool previousIsRangeColonAfter(Kind kind) const {
        std::size_t n = tokens_.size();
        if (n < 2 || tokens_[n - 1].kind != Kind::Operator || tokens_[n - 1].text != ":")
            return false;
        return tokens_[n - 2].kind == kind;
    }

    void next() {
        const std::size_t start = pos_;
        const char c = s_[pos_];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            while (pos_ < s_.size() &&
                   (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
                ++pos_;
            push(Kind::Space, start);
            return;
        }
        if (c == '"') {
            skipQuoted('"');
            push(Kind::String, start);
            return;
        }
        if (c == '\'') {
            skipQuoted('\'');
            if (peek() == '!') {
                ++pos_;
                push(Kind::SheetPrefix, start);
            } else {
                push(Kind::Other, start);
            }
            return;
        }
        if (c == '#') {
            ++pos_;
            while (pos_ < s_.size() &&
                   (isLetter(s_[pos_]) || isDigit(s_[pos_]) || s_[pos_] == '/' || s_[pos_] == '_'))
                ++pos_;
            if (peek() == '!' || peek() == '?')
                ++pos_;
            else if (s_.substr(start, pos_ - start) == "#N" && peek() == '/' && peek(1) == 'A')
                pos_ += 2;
            push(Kind::Error, start);
            return;
        }
        if (c == '[') {
            // An external workbook: [1]Sheet!  or  [Book.xlsx]Sheet!  or  ['file:///C:/Book.xlsx']Sheet!
            // or  [1]!Name; or, with nothing after it, a reference to the table the formula
            // stands in: [@Qty].
            if (!skipQuotedBook())
                skipBrackets();
            const std::size_t afterBrackets = pos_;
            const std::size_t end = wordEnd(pos_);
            pos_ = end;
            if (peek() == ':' && isWordChar(static_cast<unsigned char>(peek(1)))) {
                const std::size_t save = pos_;
                pos_ = wordEnd(pos_ + 1);
                if (peek() != '!')
                    pos_ = save;
            }
            if (peek() == '!') {
                ++pos_;
                push(Kind::SheetPrefix, start);
            } else if (end == afterBrackets) {
                push(Kind::Name, start);
            } else {
                push(Kind::Other, start);
            }
            return;
        }
        if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
            if (style_ == ReferenceStyle::A1 && (readRowRangeSide(start)))
                return;
            while (pos_ < s_.size() && (isDigit(s_[pos_]) || s_[pos_] == '.'))
                ++pos_;
            if ((peek() == 'E' || peek() == 'e') &&
                (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
                pos_ += 2;
                while (pos_ < s_.size() && isDigit(s_[pos_]))
                    ++pos_;
            }
            push(Kind::Number, start);
            return;
        }
        if (isWordChar(static_cast<unsigned char>(c))) {
            readWord(start);
            return;
        }
        ++pos_;
        if ((c == '<' && (peek() == '=' || peek() == '>')) || (c == '>' && peek() == '='))
            ++pos_;
        if (c == '(' || c == ')' || c == '{' || c == '}' || c == ',' || c == ';')
            push(Kind::Punctuation, start);
        else if (std::string_view("+-*/^&=<>%:").find(c) != std::string_view::npos)
            push(Kind::Operator, start);
        else
            push(Kind::Other, start);
    }

    // "7" of "7:9" (or "9" after "7:").
    bool readRowRangeSide(std::size_t start) {
        const std::size_t end = wordEnd(start);
        const std::string_view word = s_.substr(start, end - start);
        bool abs = false;
        int row = 0;
        if (!parseRowWord(word, abs, row))
            return false;
        bool isRow = previousIsRangeColonAfter(Kind::Row);
        if (!isRow && end < s_.size() && s_[end] == ':') {
            const std::size_t otherEnd = wordEnd(end + 1);
            isRow = parseRowWord(s_.substr(end + 1, otherEnd - end - 1), abs, row);
        }
        if (!isRow)
            return false;
        pos_ = end;
        push(Kind::Row, start);
        return true;
    }

    // End of an R1C1 cell reference at from: R(n|[n])?C(n|[n])?; from when there is none.
    std::size_t r1c1End(std::size_t from) const {
        std::size_t i = from;
        auto part = [&](char letter) {
            if (i >= s_.size() || (s_[i] & ~0x20) != letter)
                return false;
            ++i;
            if (i < s_.size() && s_[i] == '[') {
                std::size_t k = i + 1;
                if (k < s_.size() && (s_[k] == '-' || s_[k] == '+'))
                    ++k;
                const std::size_t digits = k;
                while (k < s_.size() && isDigit(s_[k]))
                    ++k;
                if (k == digits || k >= s_.size() || s_[k] != ']')
                    return false;
                i = k + 1;
            } else {
                while (i < s_.size() && isDigit(s_[i]))
                    ++i;
            }
            return true;
        };
        if (!part('R') || !part('C'))
            return from;
        return i;
    }

    void readWord(std::size_t start) {
        if (style_ == ReferenceStyle::R1C1) {
            const std::size_t e = r1c1End(start);
            if (e > start && (e >= s_.size() || (!isWordChar(static_cast<unsigned char>(s_[e])) &&
                                                 s_[e] != '(' && s_[e] != '!' && s_[e] != '['))) {
                pos_ = e;
                push(Kind::Cell, start);
                return;
            }
        }
        std::size_t end = wordEnd(start);
        const std::string_view word = s_.substr(start, end - start);
        // Sheet prefixes: Sheet1!  Jan:Mar!
        if (end < s_.size() && s_[end] == '!') {
            pos_ = end + 1;
            push(Kind::SheetPrefix, start);
            return;
        }
        if (end < s_.size() && s_[end] == ':') {
            const std::size_t otherEnd = wordEnd(end + 1);
            if (otherEnd > end + 1 && otherEnd < s_.size() && s_[otherEnd] == '!') {
                pos_ = otherEnd + 1;
                push(Kind::SheetPrefix, start);
                return;
            }
        }
        if (word[0] == '$' && word.size() > 1 && isDigit(word[1]) && readRowRangeSide(start))
            return;
        pos_ = end;
        if (peek() == '(') {
            push(Kind::Function, start);
            return;
        }
        if (peek() == '[') {
            // A table reference: Table1[Column] or Table1[[#This Row],[Amount]].
            skipBrackets();
            push(Kind::Name, start);
            return;
        }
        if (style_ == ReferenceStyle::R1C1) {
            push(Kind::Name, start);
            return;
        }
        A1Parts parts;
        if (parseCellWord(word, parts)) {
            push(Kind::Cell, start);
            return;
        }
        bool abs = false;
        int col = 0;
        if (parseColumnWord(word, abs, col)) {
            bool isColumn = previousIsRangeColonAfter(Kind::Column);
            if (!isColumn && peek() == ':') {
                const std::size_t otherEnd = wordEnd(pos_ + 1);
                isColumn = parseColumnWord(s_.substr(pos_ + 1, otherEnd - pos_ - 1), abs, col);
            }
            if (isColumn) {
                push(Kind::Column, start);
                return;
            }
        }
        push(Kind::Name, start);
    }

    std::string_view s_;
    ReferenceStyle style_;
    std::size_t pos_ = 0;
    std::vector<Token> tokens_;
};

std::string columnLetters(int col) {
    std::string out;
    while (col > 0) {
        out.insert(out.begin(), char('A' + (col - 1) % 26));
        col = (col - 1) / 26;
    }
    return out;
}

bool sameSheetName(std::string_view a, std::string_view b) {
    return XmlText::toQString(a).compare(XmlText::toQString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

std::vector<FormulaText::Token> FormulaText::tokenize(std::string_view formula, ReferenceStyle style) {
    return Lexer(formula, style).run();
}

std::string FormulaText::join(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens)
        out += t.text;
    return out;
}

std::string FormulaText::shifted(const std::vector<Token>& tokens, int rows, int columns) {
    std::string out;
    out.reserve(64);
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Kind::Cell: {
            A1Parts p;
            if (!parseCellWord(t.text, p)) {
                out += t.text;
                break;
            }
            const int row = p.rowAbs ? p.row : p.row + rows;
            const int col = p.colAbs ? p.col : p.col + columns;
            if (row < 1 || row > CellAddress::kMaxRows || col < 1 || col > CellAddress::kMaxColumns) {
                out += "#REF!";
                break;
            }
            if (p.colAbs)
                out += '$';
            out += columnLetters(col);
            if (p.rowAbs)
                out += '$';
            out += std::to_string(row);
            break;
        }
        case Kind::Column: {
            bool abs = false;
            int col = 0;
            parseColumnWord(t.text, abs, col);
            const int moved = abs ? col : col + columns;
            if (moved < 1 || moved > CellAddress::kMaxColumns) {
                out += "#REF!";
                break;
            }
            if (abs)
                out += '$';
            out += columnLetters(moved);
            break;
        }
        case Kind::Row: {
            bool abs = false;
            int row = 0;
            parseRowWord(t.text, abs, row);
            const int moved = abs ? row : row + rows;
            if (moved < 1 || moved > CellAddress::kMaxRows) {
                out += "#REF!";
                break;
            }
            if (abs)
                out += '$';
            out += std::to_string(moved);
            break;
        }
        default:
            out += t.text;
        }
    }
    return out;
}

FormulaText::Prefix FormulaText::parsePrefix(std::string_view token) {
    Prefix prefix;
    std::string_view body = token;
    if (!body.empty() && body.back() == '!')
        body.remove_suffix(1);
    std::string text;
    if (body.size() >= 2 && body.front() == '\'' && body.back() == '\'') {
        for (std::size_t i = 1; i + 1 < body.size(); ++i) {
            text += body[i];
            if (body[i] == '\'' && i + 2 < body.size() && body[i + 1] == '\'')
                ++i;
        }
    } else {
        text.assign(body);
    }
    const std::size_t open = text.find('[');
    const std::size_t close = open == std::string::npos ? std::string::npos : text.find(']', open);
    std::string sheets = text;
    if (open != std::string::npos && close != std::string::npos) {
        prefix.hasBook = true;
        prefix.folder = text.substr(0, open);
        prefix.book = text.substr(open + 1, close - open - 1);
        sheets = text.substr(close + 1);
    }
    const std::size_t colon = sheets.find(':');
    if (colon != std::string::npos) {
        prefix.sheet = sheets.substr(0, colon);
        prefix.lastSheet = sheets.substr(colon + 1);
    } else {
        prefix.sheet = sheets;
    }
    return prefix;
}

std::string FormulaText::quotedSheet(std::string_view name) {
    bool plain = !name.empty() && !isDigit(name[0]);
    for (unsigned char c : name)
        if (!(isLetter(char(c)) || isDigit(char(c)) || c == '_' || c == '.' || c >= 0x80))
            plain = false;
    A1Parts parts;
    if (plain && (parseCellWord(name, parts) || parseR1C1Word(name) || name == "TRUE" || name == "FALSE"))
        plain = false;
    if (plain)
        return std::string(name);
    std::string out = "'";
    for (char c : name) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    out += '\'';
    return out;
}

std::string FormulaText::formatPrefix(const Prefix& prefix) {
    std::string sheets = prefix.sheet;
    if (!prefix.lastSheet.empty())
        sheets += ":" + prefix.lastSheet;
    if (!prefix.hasBook) {
        if (prefix.lastSheet.empty())
            return quotedSheet(prefix.sheet) + "!";
        const std::string a = quotedSheet(prefix.sheet);
        const std::string b = quotedSheet(prefix.lastSheet);
        if (a.front() != '\'' && b.front() != '\'')
            return sheets + "!";
        return quotedSheet(sheets) + "!";
    }
    const std::string inner = prefix.folder + "[" + prefix.book + "]" + sheets;
    bool needsQuotes = !prefix.folder.empty() || quotedSheet(prefix.sheet).front() == '\'' ||
                       (!prefix.lastSheet.empty() && quotedSheet(prefix.lastSheet).front() == '\'');
    if (!needsQuotes)
        return inner + "!";
    std::string out = "'";
    for (char c : inner) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'!";
}

std::string FormulaText::mapPrefixes(std::string_view formula,
                                     const std::function<std::optional<Prefix>(const Prefix&)>& change) {
    if (formula.find('!') == std::string_view::npos)
        return std::string(formula);
    std::vector<Token> tokens = tokenize(formula);
    bool changed = false;
    for (Token& t : tokens) {
        if (t.kind != Kind::SheetPrefix)
            continue;
        const std::optional<Prefix> replacement = change(parsePrefix(t.text));
        if (replacement) {
            t.text = formatPrefix(*replacement);
            changed = true;
        }
    }
    return changed ? join(tokens) : std::string(formula);
}

std::string FormulaText::renameSheet(std::string_view formula, std::string_view oldName,
                                     std::string_view newName) {
    return mapPrefixes(formula, [&](const Prefix& p) -> std::optional<Prefix> {
        if (p.hasBook)
            return std::nullopt;
        Prefix out = p;
        bool hit = false;
        if (sameSheetName(p.sheet, oldName)) {
            out.sheet = std::string(newName);
            hit = true;
        }
        if (!p.lastSheet.empty() && sameSheetName(p.lastSheet, oldName)) {
            out.lastSheet = std::string(newName);
            hit = true;
        }
        return hit ? std::optional<Prefix>(out) : std::nullopt;
    });
}

std::string FormulaText::dropSheet(std::string_view formula, std::string_view name) {
    if (formula.find('!') == std::string_view::npos)
        return std::string(formula);
    std::vector<Token> tokens = tokenize(formula);
    bool changed = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::SheetPrefix)
            continue;
        const Prefix p = parsePrefix(tokens[i].text);
        if (p.hasBook ||
            !(sameSheetName(p.sheet, name) || (!p.lastSheet.empty() && sameSheetName(p.lastSheet, name))))
            continue;
        tokens[i] = Token{Kind::Error, "#REF!"};
        changed = true;
    }
    return changed ? join(tokens) : std::string(formula);
}

std::string FormulaText::convertStyle(std::string_view formula, ReferenceStyle from, ReferenceStyle to,
                                      CellRef base) {
    if (from == to)
        return std::string(formula);
    std::vector<Token> tokens = tokenize(formula, from);
    for (Token& t : tokens) {
        if (t.kind != Kind::Cell)
            continue;
        if (from == ReferenceStyle::R1C1) {
            // Absolute parts stay absolute ("R3C2" -> "$B$3"), relative ones relative.
            const QString text = XmlText::toQString(t.text);
            const auto cell = CellAddress::parseR1C1(text, base);
            if (!cell)
                throw SheetError(SheetError::Code::BadFormula,
                                 QStringLiteral("The reference %1 cannot be converted.").arg(text));
            const qsizetype c = text.indexOf(u'C', 0, Qt::CaseInsensitive);
            const QStringView rowPart = QStringView(text).left(c);
            const QStringView colPart = QStringView(text).mid(c);
            const bool rowAbs = rowPart.size() > 1 && rowPart[1] != u'[';
            const bool colAbs = colPart.size() > 1 && colPart[1] != u'[';
            t.text = XmlText::toUtf8(CellAddress::toA1(*cell, rowAbs, colAbs));
        } else {
            A1Parts p;
            if (!parseCellWord(t.text, p))
                continue;
            t.text = XmlText::toUtf8(CellAddress::toR1C1({p.row, p.col}, p.rowAbs, p.colAbs, base));
        }
    }
    return join(tokens);
}

} // namespace platform::sheet
