// Formula texts compiled into postfix steps, and the precedents of formulas.
#include "platform/sheet/formula/FormulaCompiler.h"

#include "platform/sheet/CellValue.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/formula/FunctionNames.h"
#include "platform/sheet/formula/TableReference.h"
#include "platform/sheet/package/XmlText.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace platform::sheet {

namespace {

using Kind = FormulaText::Kind;
using Token = FormulaText::Token;
using Op = FormulaProgram::Op;
using Scope = FormulaCompiler::Scope;

// The tokens of a formula without its blanks. A blank between two references is the
// intersection operator: whether a blank came before a token is kept for it.
class TokenList {
public:
    explicit TokenList(const std::vector<Token>& tokens) {
        items_.reserve(tokens.size());
        bool blank = false;
        for (const Token& t : tokens) {
            if (t.kind == Kind::Space) {
                blank = true;
                continue;
            }
            items_.push_back(&t);
            blankBefore_.push_back(blank);
            blank = false;
        }
    }
    std::size_t size() const { return items_.size(); }
    const Token* at(std::size_t i) const { return i < items_.size() ? items_[i] : nullptr; }
    bool blankBefore(std::size_t i) const { return i < blankBefore_.size() && blankBefore_[i]; }

private:
    std::vector<const Token*> items_;
    std::vector<bool> blankBefore_;
};

bool is(const Token* t, Kind kind) {
    return t && t->kind == kind;
}

bool isText(const Token* t, Kind kind, std::string_view text) {
    return t && t->kind == kind && t->text == text;
}

bool sameUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

// "$B$3" -> B3.
bool readCell(std::string_view text, CellRef& cell) {
    char plain[16];
    std::size_t n = 0;
    for (char c : text) {
        if (c == '$')
            continue;
        if (n == sizeof plain)
            return false;
        plain[n++] = c;
    }
    return CellAddress::parseA1(plain, n, cell);
}

// "$C" -> 3; 0 when the text is no column.
int readColumn(std::string_view text) {
    if (!text.empty() && text.front() == '$')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 3)
        return 0;
    int col = 0;
    for (char c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            return 0;
        col = col * 26 + (c - 'A' + 1);
    }
    return col <= CellAddress::kMaxColumns ? col : 0;
}

// "$7" -> 7; 0 when the text is no row.
int readRow(std::string_view text) {
    if (!text.empty() && text.front() == '$')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 7)
        return 0;
    int row = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        row = row * 10 + (c - '0');
    }
    return row <= CellAddress::kMaxRows ? row : 0;
}

// A reference read from the tokens: [prefix] cell[:cell] | [prefix] column:column | [prefix] row:row.
struct ReadReference {
    enum class Outcome { None, Local, External, UnknownSheet, Unsupported };
    Outcome outcome = Outcome::None;
    std::size_t used = 0;
    FormulaRef ref;
    std::uint8_t moves = 0; // FormulaProgram::kFirstRow ...
};

// Which parts of a cell's text move with the formula: its row (no $ before the digits) and its
// column (no $ before the letters).
std::pair<bool, bool> movingParts(std::string_view cell) {
    const bool columnFixed = !cell.empty() && cell.front() == '$';
    const std::size_t digits = cell.find_first_of("0123456789");
    const bool rowFixed = digits != std::string_view::npos && digits > 0 && cell[digits - 1] == '$';
    return {!rowFixed, !columnFixed};
}

// The corners of the block spanning two cells (as CellRange orders them) that move: each corner
// takes its row and its column from the cell that gives it.
std::uint8_t movingCorners(CellRef one, std::string_view oneText, CellRef other, std::string_view otherText) {
    const auto [oneRow, oneColumn] = movingParts(oneText);
    const auto [otherRow, otherColumn] = movingParts(otherText);
    const bool rowsInOrder = one.row <= other.row;
    const bool columnsInOrder = one.col <= other.col;
    std::uint8_t moves = 0;
    if (rowsInOrder ? oneRow : otherRow)
        moves |= FormulaProgram::kFirstRow;
    if (rowsInOrder ? otherRow : oneRow)
        moves |= FormulaProgram::kLastRow;
    if (columnsInOrder ? oneColumn : otherColumn)
        moves |= FormulaProgram::kFirstColumn;
    if (columnsInOrder ? otherColumn : oneColumn)
        moves |= FormulaProgram::kLastColumn;
    return moves;
}

// The sides of a span of columns (rows) that move: the side nearer the start from the one of the
// two that gives it.
std::uint8_t movingSides(int a, std::string_view aText, int b, std::string_view bText, std::uint8_t first,
                         std::uint8_t last) {
    const bool aMoves = aText.front() != '$';
    const bool bMoves = bText.front() != '$';
    std::uint8_t moves = 0;
    if (a <= b ? aMoves : bMoves)
        moves |= first;
    if (a <= b ? bMoves : aMoves)
        moves |= last;
    return moves;
}

ReadReference readReference(const TokenList& list, std::size_t i, int sheet, const Scope& scope) {
    ReadReference read;
    std::size_t j = i;
    int first = sheet;
    int last = sheet;
    bool external = false;
    bool unknown = false;
    if (is(list.at(j), Kind::SheetPrefix)) {
        const FormulaText::Prefix prefix = FormulaText::parsePrefix(list.at(j)->text);
        if (prefix.hasBook) {
            external = true;
        } else {
            first = scope.sheetIndex(prefix.sheet);
            last = prefix.lastSheet.empty() ? first : scope.sheetIndex(prefix.lastSheet);
            unknown = first < 0 || last < 0;
            if (first > last)
                std::swap(first, last);
        }
        ++j;
    }
    const Token* head = list.at(j);
    CellRange range;
    if (is(head, Kind::Cell)) {
        CellRef one;
        if (!readCell(head->text, one)) {
            read.outcome = ReadReference::Outcome::Unsupported; // an R1C1 reference, for one
            read.used = j + 1 - i;
            return read;
        }
        range = CellRange(one);
        read.moves = movingCorners(one, head->text, one, head->text);
        ++j;
        if (isText(list.at(j), Kind::Operator, ":")) {
            std::size_t k = j + 1;
            bool sameSheet = true;
            if (is(list.at(k), Kind::SheetPrefix)) {
                // Sheet1!A1:Sheet1!B2 names one sheet twice; anything else is not a block.
                const FormulaText::Prefix second = FormulaText::parsePrefix(list.at(k)->text);
                sameSheet = !second.hasBook && !external && second.lastSheet.empty() &&
                            scope.sheetIndex(second.sheet) == first && first == last;
                ++k;
            }
            CellRef other;
            if (is(list.at(k), Kind::Cell) && readCell(list.at(k)->text, other)) {
                if (!sameSheet) {
                    read.outcome = ReadReference::Outcome::Unsupported;
                    read.used = k + 1 - i;
                    return read;
                }
                range = CellRange(one, other);
                read.moves = movingCorners(one, head->text, other, list.at(k)->text);
                j = k + 1;
            }
        }
    } else if (is(head, Kind::Column) && isText(list.at(j + 1), Kind::Operator, ":") &&
               is(list.at(j + 2), Kind::Column)) {
        const int a = readColumn(head->text);
        const int b = readColumn(list.at(j + 2)->text);
        if (a == 0 || b == 0)
            return read;
        range = CellRange({1, a}, {CellAddress::kMaxRows, b});
        read.moves = movingSides(a, head->text, b, list.at(j + 2)->text, FormulaProgram::kFirstColumn,
                                 FormulaProgram::kLastColumn);
        j += 3;
    } else if (is(head, Kind::Row) && isText(list.at(j + 1), Kind::Operator, ":") &&
               is(list.at(j + 2), Kind::Row)) {
        const int a = readRow(head->text);
        const int b = readRow(list.at(j + 2)->text);
        if (a == 0 || b == 0)
            return read;
        range = CellRange({a, 1}, {b, CellAddress::kMaxColumns});
        read.moves = movingSides(a, head->text, b, list.at(j + 2)->text, FormulaProgram::kFirstRow,
                                 FormulaProgram::kLastRow);
        j += 3;
    } else {
        if (j > i) {
            // A prefix before something that is no reference: a name local to a sheet.
            read.outcome = ReadReference::Outcome::Unsupported;
            read.used = j - i;
        }
        return read;
    }
    read.used = j - i;
    read.ref = FormulaRef{first, last, range};
    read.outcome = external  ? ReadReference::Outcome::External
                   : unknown ? ReadReference::Outcome::UnknownSheet
                             : ReadReference::Outcome::Local;
    return read;
}

bool isReferenceStart(const Token* t) {
    return t && (t->kind == Kind::SheetPrefix || t->kind == Kind::Cell || t->kind == Kind::Column ||
                 t->kind == Kind::Row);
}

bool isBooleanName(std::string_view name) {
    return sameUpper(name, "TRUE") || sameUpper(name, "FALSE");
}

// What the precedents of a formula cannot tell: cells it reads without naming them (the engine
// does not evaluate such a formula), and whether it is calculated again at every calculation (the
// clock, references found while calculating).
struct Unnamed {
    bool hiddenCells = false;
    bool everyTime = false;
};

void scanPrecedents(const TokenList& list, int sheet, const Scope& scope, std::vector<FormulaRef>& out,
                    Unnamed& unnamed, int depth, std::vector<std::uint8_t>* moves = nullptr) {
    // The corners that move with the formula's cell: only in the formula's own text.
    auto put = [&](const FormulaRef& ref, std::uint8_t corners) {
        out.push_back(ref);
        if (moves)
            moves->push_back(depth == 0 ? corners : 0);
    };
    bool& hidden = unnamed.hiddenCells;
    for (std::size_t i = 0; i < list.size();) {
        const Token* t = list.at(i);
        if (is(t, Kind::SheetPrefix) && is(list.at(i + 1), Kind::Name)) {
            // A name of another sheet: Budget!Rates.
            const FormulaText::Prefix prefix = FormulaText::parsePrefix(t->text);
            const int owner = prefix.hasBook ? -1 : scope.sheetIndex(prefix.sheet);
            const std::string* text = owner >= 0 ? scope.definedName(list.at(i + 1)->text, owner) : nullptr;
            if (text && depth < FormulaCompiler::kMaxNameDepth) {
                const std::vector<Token> tokens = FormulaText::tokenize(*text);
                scanPrecedents(TokenList(tokens), owner, scope, out, unnamed, depth + 1, moves);
            }
            i += 2;
            continue;
        }
        if (t->kind == Kind::Function && FormulaFunctions::takesPlaceOnly(t->text) &&
            isText(list.at(i + 1), Kind::Punctuation, "(") && isReferenceStart(list.at(i + 2))) {
            // A reference that is the whole first argument gives a place only: not a precedent.
            const ReadReference place = readReference(list, i + 2, sheet, scope);
            const Token* after = list.at(i + 2 + place.used);
            if (place.used > 0 &&
                (isText(after, Kind::Punctuation, ",") || isText(after, Kind::Punctuation, ")"))) {
                unnamed.everyTime = unnamed.everyTime || FormulaFunctions::calculatedEveryTime(t->text);
                i += 2 + place.used;
                continue;
            }
        }
        if (isReferenceStart(t)) {
            const ReadReference read = readReference(list, i, sheet, scope);
            if (read.used == 0) {
                ++i;
                continue;
            }
            if (read.outcome == ReadReference::Outcome::Local)
                put(read.ref, read.moves);
            i += read.used;
            continue;
        }
        if (t->kind == Kind::Operator && t->text == ":") {
            // A block spanning a reference and a calculated one (A1:INDEX(B:B,5)) holds cells
            // neither names: calculated again at every calculation.
            unnamed.everyTime = true;
        } else if (t->kind == Kind::Function && FormulaFunctions::calculatedEveryTime(t->text)) {
            unnamed.everyTime = true;
        } else if (t->kind == Kind::Function && FormulaFunctions::hasHiddenPrecedents(t->text)) {
            hidden = true;
        } else if (t->kind == Kind::Name && !isBooleanName(t->text)) {
            const std::string* text =
                t->text.find('[') == std::string::npos ? scope.definedName(t->text, sheet) : nullptr;
            if (text) {
                if (depth >= FormulaCompiler::kMaxNameDepth) {
                    hidden = true;
                } else {
                    const std::vector<Token> tokens = FormulaText::tokenize(*text);
                    scanPrecedents(TokenList(tokens), sheet, scope, out, unnamed, depth + 1, moves);
                }
            } else {
                // A table's cells; a table the workbook does not have is read by the
                // spreadsheet program only.
                const TableReference table = TableReference::resolve(t->text, scope);
                if (table.outcome == TableReference::Outcome::Block)
                    put(table.ref, 0);
                else if (table.outcome == TableReference::Outcome::Unknown &&
                         t->text.find('[') != std::string::npos)
                    hidden = true;
            }
        }
        ++i;
    }
}

// The text of a string token: without its quotes, doubled quotes made single.
QString unquoted(std::string_view token) {
    std::string text;
    text.reserve(token.size());
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        text += token[i];
        if (token[i] == '"' && i + 2 < token.size() && token[i + 1] == '"')
            ++i;
    }
    return XmlText::toQString(text);
}

// The error values a formula may name, and whether the engine evaluates them.
bool isErrorLiteral(const QString& code, bool& evaluable) {
    static const char16_t* const newer[] = {u"#GETTING_DATA", u"#SPILL!",   u"#CALC!", u"#FIELD!",
                                            u"#BLOCKED!",     u"#CONNECT!", u"#BUSY!", u"#UNKNOWN!"};
    evaluable = true;
    for (const char16_t* n : newer)
        if (code == QStringView(n)) {
            evaluable = false;
            return true;
        }
    return CellValue::isErrorCode(code);
}

// Reads tokens into the steps of a program. A text that is no formula fails with the reason;
// a formula the engine does not evaluate is read to its end and marks the program.
class Parser {
public:
    Parser(const TokenList& list, int sheet, const Scope& scope, FormulaProgram& program, int depth)
        : list_(list)
        , sheet_(sheet)
        , scope_(scope)
        , program_(program)
        , depth_(depth) {}

    // False when the tokens are not one whole formula; problem() says why.
    bool parse() {
        if (list_.size() == 0)
            return fail(QStringLiteral("it holds nothing after the equals sign"));
        comparison();
        if (!failed_ && pos_ != list_.size())
            fail(QStringLiteral("'%1' is not expected there").arg(shown(peek())));
        return !failed_;
    }
    const QString& problem() const { return problem_; }
    // A function of the engine was called with a number of arguments it does not take.
    bool badArgumentCount() const { return badArgumentCount_; }

private:
    const Token* peek() const { return list_.at(pos_); }
    bool atOperator(std::string_view op) const { return isText(peek(), Kind::Operator, op); }
    bool atPunctuation(std::string_view p) const { return isText(peek(), Kind::Punctuation, p); }
    static QString shown(const Token* t) { return t ? XmlText::toQString(t->text) : QString(); }

    bool fail(const QString& problem) {
        if (!failed_) {
            failed_ = true;
            problem_ = problem;
        }
        return false;
    }
    void failAtHere() {
        if (!peek())
            fail(QStringLiteral("it ends where a value is expected"));
        else
            fail(QStringLiteral("'%1' is not expected there").arg(shown(peek())));
    }

    void put(Op op, std::uint16_t argc = 0) {
        FormulaProgram::Step step;
        step.op = op;
        step.argc = argc;
        program_.steps.push_back(step);
    }
    void putNumber(Op op, double number) {
        FormulaProgram::Step step;
        step.op = op;
        step.number = number;
        program_.steps.push_back(step);
    }
    void putText(Op op, QString text) {
        FormulaProgram::Step step;
        step.op = op;
        step.index = std::uint32_t(program_.texts.size());
        program_.texts.push_back(std::move(text));
        program_.steps.push_back(step);
    }
    void notEvaluable() { program_.evaluable = false; }

    // Parentheses, arguments and signs nest by recursion: a formula nested deeper than any
    // spreadsheet program allows is refused rather than allowed to exhaust the stack.
    bool enter() {
        if (++nesting_ > kMaxNesting)
            return fail(QStringLiteral("it is nested too deeply"));
        return true;
    }
    void leave() { --nesting_; }

    void comparison() {
        if (!enter())
            return;
        concat();
        while (!failed_) {
            Op op;
            if (atOperator("="))
                op = Op::Equal;
            else if (atOperator("<>"))
                op = Op::NotEqual;
            else if (atOperator("<"))
                op = Op::Less;
            else if (atOperator(">"))
                op = Op::Greater;
            else if (atOperator("<="))
                op = Op::LessEqual;
            else if (atOperator(">="))
                op = Op::GreaterEqual;
            else
                break;
            ++pos_;
            concat();
            put(op);
        }
        leave();
    }

    void concat() {
        additive();
        while (!failed_ && atOperator("&")) {
            ++pos_;
            additive();
            put(Op::Concat);
        }
    }

    void additive() {
        multiplicative();
        while (!failed_ && (atOperator("+") || atOperator("-"))) {
            const Op op = atOperator("+") ? Op::Add : Op::Subtract;
            ++pos_;
            multiplicative();
            put(op);
        }
    }

    void multiplicative() {
        power();
        while (!failed_ && (atOperator("*") || atOperator("/"))) {
            const Op op = atOperator("*") ? Op::Multiply : Op::Divide;
            ++pos_;
            power();
            put(op);
        }
    }

    void power() {
        unary();
        while (!failed_ && atOperator("^")) {
            ++pos_;
            unary();
            put(Op::Power);
        }
    }

    // Negation binds tighter than percent and power: -2^2 is 4. "@" takes the one cell of a
    // block that lies in the formula's row or column.
    void unary() {
        const bool sign = atOperator("-") || atOperator("+");
        const bool at = isText(peek(), Kind::Other, "@");
        if (sign || at) {
            const bool negate = atOperator("-");
            ++pos_;
            if (!enter())
                return;
            unary();
            leave();
            if (at)
                put(Op::ImplicitIntersect);
            else if (negate)
                put(Op::Negate);
            return;
        }
        postfix();
    }

    void postfix() {
        joined();
        while (!failed_ && atOperator("%")) {
            ++pos_;
            put(Op::Percent);
        }
    }

    // A1:A3~C1:C3: the union as LibreOffice writes it into workbooks (the file format writes
    // (A1:A3,C1:C3)).
    void joined() {
        intersection();
        while (!failed_ && isText(peek(), Kind::Other, "~")) {
            ++pos_;
            intersection();
            put(Op::Union, 2);
        }
    }

    // A blank between two references: the cells they share.
    void intersection() {
        range();
        while (!failed_ && list_.blankBefore(pos_) && startsOperand(peek())) {
            range();
            put(Op::Intersect);
        }
    }

    static bool startsOperand(const Token* t) {
        return isReferenceStart(t) || is(t, Kind::Function) || is(t, Kind::Name) ||
               isText(t, Kind::Punctuation, "(");
    }

    // Ref:Ref where a side is no plain cell: A1:INDEX(B:B,5).
    void range() {
        primary();
        while (!failed_ && atOperator(":")) {
            ++pos_;
            primary();
            put(Op::Range);
        }
        // B2#: the block a formula in B2 spills into.
        if (!failed_ && isText(peek(), Kind::Error, "#") && !list_.blankBefore(pos_)) {
            ++pos_;
            put(Op::Spill);
            notEvaluable();
        }
    }

    void primary() {
        const Token* t = peek();
        if (!t) {
            failAtHere();
            return;
        }
        switch (t->kind) {
        case Kind::Number: {
            double value = 0;
            const char* begin = t->text.data();
            const char* end = begin + t->text.size();
            const auto result = std::from_chars(begin, end, value);
            if (result.ec != std::errc() || result.ptr != end) {
                fail(QStringLiteral("'%1' is not a number").arg(shown(t)));
                return;
            }
            ++pos_;
            putNumber(Op::Number, value);
            return;
        }
        case Kind::String:
            if (t->text.size() < 2 || t->text.back() != '"') {
                fail(QStringLiteral("a text in quotes is not closed"));
                return;
            }
            ++pos_;
            putText(Op::Text, unquoted(t->text));
            return;
        case Kind::Error:
            errorLiteral();
            return;
        case Kind::SheetPrefix:
        case Kind::Cell:
        case Kind::Column:
        case Kind::Row:
            reference();
            return;
        case Kind::Function:
            call();
            return;
        case Kind::Name:
            name();
            return;
        case Kind::Punctuation:
            if (t->text == "(") {
                parenthesised();
                return;
            }
            if (t->text == "{") {
                arrayConstant();
                return;
            }
            failAtHere();
            return;
        default:
            failAtHere();
            return;
        }
    }

    // (expression), or a union of references: (A1:A3,C1:C3).
    void parenthesised() {
        ++pos_;
        comparison();
        std::uint16_t parts = 1;
        while (!failed_ && atPunctuation(",")) {
            ++pos_;
            comparison();
            ++parts;
        }
        if (failed_)
            return;
        if (!atPunctuation(")")) {
            if (!peek())
                fail(QStringLiteral("a parenthesis is not closed"));
            else
                failAtHere();
            return;
        }
        ++pos_;
        if (parts > 1)
            put(Op::Union, parts);
    }

    // {1,2;3,4}: numbers, texts, truth values and error values, rows of equal length.
    void arrayConstant() {
        ++pos_;
        std::vector<std::vector<CellValue>> rows(1);
        while (!failed_) {
            CellValue element;
            if (!arrayElement(element))
                return;
            rows.back().push_back(std::move(element));
            if (atPunctuation(",")) {
                ++pos_;
            } else if (atPunctuation(";")) {
                ++pos_;
                rows.emplace_back();
            } else if (atPunctuation("}")) {
                ++pos_;
                break;
            } else {
                if (!peek())
                    fail(QStringLiteral("an array constant is not closed"));
                else
                    failAtHere();
                return;
            }
        }
        if (failed_)
            return;
        const std::size_t width = rows.front().size();
        for (const auto& row : rows)
            if (row.size() != width) {
                fail(QStringLiteral("the rows of an array constant are not equally long"));
                return;
            }
        ValueMatrix matrix(int(rows.size()), int(width));
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < width; ++c)
                matrix.stored(int(r), int(c)) = std::move(rows[r][c]);
        FormulaProgram::Step step;
        step.op = Op::Array;
        step.index = std::uint32_t(program_.arrays.size());
        program_.arrays.push_back(std::move(matrix));
        program_.steps.push_back(step);
    }

    bool arrayElement(CellValue& element) {
        const Token* t = peek();
        double sign = 1;
        if (t && t->kind == Kind::Operator && (t->text == "-" || t->text == "+")) {
            sign = t->text == "-" ? -1 : 1;
            t = list_.at(++pos_);
            if (!is(t, Kind::Number)) {
                failAtHere();
                return false;
            }
        }
        if (is(t, Kind::Number)) {
            double value = 0;
            const auto result = std::from_chars(t->text.data(), t->text.data() + t->text.size(), value);
            if (result.ec != std::errc() || result.ptr != t->text.data() + t->text.size())
                return fail(QStringLiteral("'%1' is not a number").arg(shown(t)));
            element = CellValue::fromNumber(sign * value);
        } else if (is(t, Kind::String)) {
            element = CellValue::fromText(unquoted(t->text));
        } else if (is(t, Kind::Name) && isBooleanName(t->text)) {
            element = CellValue::fromBoolean(sameUpper(t->text, "TRUE"));
        } else if (is(t, Kind::Error)) {
            const QString code = XmlText::toQString(t->text).toUpper();
            bool evaluable = true;
            if (!isErrorLiteral(code, evaluable))
                return fail(QStringLiteral("'%1' is not an error value").arg(shown(t)));
            if (!evaluable)
                notEvaluable();
            element = CellValue::fromError(code);
        } else {
            if (!t)
                return fail(QStringLiteral("an array constant is not closed"));
            return fail(QStringLiteral("an array constant holds '%1', which is no constant").arg(shown(t)));
        }
        ++pos_;
        return true;
    }

    void errorLiteral() {
        const QString code = XmlText::toQString(peek()->text).toUpper();
        bool evaluable = true;
        if (!isErrorLiteral(code, evaluable)) {
            fail(QStringLiteral("'%1' is not an error value").arg(shown(peek())));
            return;
        }
        ++pos_;
        // "#REF!B2": a reference whose sheet was deleted; the reference goes with the error.
        if (code == u"#REF!" && isReferenceStart(peek()) && !list_.blankBefore(pos_)) {
            const ReadReference read = readReference(list_, pos_, sheet_, scope_);
            pos_ += read.used;
        }
        if (!evaluable)
            notEvaluable();
        putText(Op::Error, code);
    }

    void reference() {
        const Token* head = peek();
        if (is(head, Kind::SheetPrefix)) {
            const Token* next = list_.at(pos_ + 1);
            if (is(next, Kind::Name) || is(next, Kind::Function)) {
                prefixedName();
                return;
            }
            if (is(next, Kind::Error)) {
                // Budget!#REF!: a reference that was deleted.
                ++pos_;
                errorLiteral();
                return;
            }
        }
        const ReadReference read = readReference(list_, pos_, sheet_, scope_);
        if (read.used == 0) {
            failAtHere();
            return;
        }
        if (read.outcome == ReadReference::Outcome::Unsupported && is(head, Kind::SheetPrefix) &&
            read.used == 1) {
            // A sheet prefix before nothing that could follow it.
            ++pos_;
            failAtHere();
            return;
        }
        pos_ += read.used;
        switch (read.outcome) {
        case ReadReference::Outcome::Local:
            putReference(read.ref, depth_ == 0 ? read.moves : 0);
            return;
        case ReadReference::Outcome::UnknownSheet:
            putText(Op::Error, QStringLiteral("#REF!"));
            return;
        default:
            // Another workbook's cells, or a form of reference the engine does not read.
            notEvaluable();
            putText(Op::Error, QStringLiteral("#REF!"));
            return;
        }
    }

    // Budget!Rates (a name of another sheet), [1]!Rates (of another workbook), [1]!Func(...).
    void prefixedName() {
        const FormulaText::Prefix prefix = FormulaText::parsePrefix(peek()->text);
        ++pos_;
        if (is(peek(), Kind::Function)) {
            call();
            notEvaluable();
            return;
        }
        const int owner = prefix.hasBook ? -1 : scope_.sheetIndex(prefix.sheet);
        if (owner < 0) {
            ++pos_;
            notEvaluable();
            putText(Op::Error, QStringLiteral("#REF!"));
            return;
        }
        definedName(peek()->text, owner);
    }

    void call() {
        const std::string& name = peek()->text;
        const std::string_view plain = FunctionNames::withoutPrefix(name);
        const auto info = FormulaFunctions::find(plain);
        const bool single = sameUpper(plain, "SINGLE");
        ++pos_;
        if (!atPunctuation("(")) {
            failAtHere();
            return;
        }
        ++pos_;
        if (!enter())
            return;
        int argc = 0;
        if (atPunctuation(")")) {
            ++pos_;
        } else {
            while (true) {
                const std::size_t before = program_.steps.size();
                if (atPunctuation(",") || atPunctuation(")"))
                    put(Op::Missing);
                else
                    comparison();
                if (failed_)
                    return;
                // An argument the function takes as an array is evaluated as one: the blocks
                // in it give all their values.
                if (info && FormulaFunctions::takesArray(info->id, argc))
                    for (std::size_t k = before; k < program_.steps.size(); ++k)
                        program_.steps[k].array = FormulaProgram::Array::Argument;
                ++argc;
                if (atPunctuation(",")) {
                    ++pos_;
                    continue;
                }
                if (atPunctuation(")")) {
                    ++pos_;
                    break;
                }
                if (!peek())
                    fail(QStringLiteral("a parenthesis is not closed"));
                else
                    failAtHere();
                return;
            }
        }
        leave();
        if (single && argc == 1) {
            // How a file stores "@".
            put(Op::ImplicitIntersect);
            return;
        }
        if (info && (argc < info->minArgs || argc > info->maxArgs)) {
            badArgumentCount_ = true;
            notEvaluable();
            if (badCall_.isEmpty())
                badCall_ = XmlText::toQString(std::string(plain));
        }
        if (!info) {
            // A function of the spreadsheet program the engine does not evaluate, a function of
            // the workbook's macros or a function a defined name makes: stale. Any other name is
            // no function at all, and the spreadsheet program shows #NAME?.
            if (FunctionNames::isKnown(name) || scope_.hasMacros() || scope_.definedName(plain, sheet_))
                notEvaluable();
        }
        FormulaProgram::Step step;
        step.op = Op::Call;
        step.function = info ? info->id : FormulaFunctions::Id::None;
        step.argc = std::uint16_t(std::min(argc, int(FormulaFunctions::kMaxArgs) + 1));
        program_.steps.push_back(step);
    }

public:
    const QString& badCall() const { return badCall_; }

private:
    void name() {
        const std::string& text = peek()->text;
        if (isBooleanName(text)) {
            ++pos_;
            putNumber(Op::Boolean, sameUpper(text, "TRUE") ? 1 : 0);
            return;
        }
        if (text.find('[') != std::string::npos) {
            ++pos_;
            tableReference(text);
            return;
        }
        definedName(text, sheet_);
    }

    void definedName(const std::string& text, int owner) {
        ++pos_;
        const std::string* defined = scope_.definedName(text, owner);
        if (!defined && scope_.table(text)) {
            // A table's name alone: its data rows.
            tableReference(text);
            return;
        }
        if (!defined) {
            // No such name: the spreadsheet program shows #NAME?. A parameter of LET or LAMBDA
            // is a name too, of functions the engine does not evaluate.
            if (FunctionNames::withoutPrefix(text).size() != text.size())
                notEvaluable();
            putText(Op::Error, QStringLiteral("#NAME?"));
            return;
        }
        if (depth_ >= FormulaCompiler::kMaxNameDepth) {
            notEvaluable();
            putText(Op::Error, QStringLiteral("#NAME?"));
            return;
        }
        const std::vector<Token> tokens = FormulaText::tokenize(*defined);
        const TokenList list(tokens);
        const std::size_t stepsBefore = program_.steps.size();
        Parser inner(list, owner, scope_, program_, depth_ + 1);
        if (!inner.parse()) {
            notEvaluable();
            program_.steps.resize(stepsBefore);
            putText(Op::Error, QStringLiteral("#NAME?"));
        }
    }

    void putReference(const FormulaRef& ref, std::uint8_t moves = 0) {
        FormulaProgram::Step step;
        step.op = Op::Reference;
        step.index = std::uint32_t(program_.refs.size());
        program_.refs.push_back(ref);
        program_.refMoves.push_back(moves);
        program_.steps.push_back(step);
    }

    // A reference to a table's cells (Budget[Amount]); #REF! for rows or columns the table does
    // not have; a table the workbook does not have leaves the formula to the spreadsheet program.
    void tableReference(const std::string& text) {
        const TableReference table = TableReference::resolve(text, scope_);
        switch (table.outcome) {
        case TableReference::Outcome::Block:
            putReference(table.ref);
            if (table.thisRow)
                put(Op::ThisRow);
            return;
        case TableReference::Outcome::Unknown:
            notEvaluable();
            [[fallthrough]];
        case TableReference::Outcome::Invalid:
            putText(Op::Error, QStringLiteral("#REF!"));
            return;
        }
    }

    const TokenList& list_;
    int sheet_;
    const Scope& scope_;
    FormulaProgram& program_;
    int depth_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
    bool failed_ = false;
    bool badArgumentCount_ = false;
    QString problem_;
    QString badCall_;
    static constexpr int kMaxNesting = 256;
};

// What a text typed into a cell is checked against: every sheet name stands for a sheet, and
// no name is defined.
class AnyScope : public Scope {
public:
    int sheetIndex(std::string_view) const override { return 0; }
    const std::string* definedName(std::string_view, int) const override { return nullptr; }
};

} // namespace

FormulaProgram FormulaCompiler::compile(std::string_view formula, int sheet, const Scope& scope,
                                        bool arrayFormula) {
    return compile(FormulaText::tokenize(formula), sheet, scope, arrayFormula);
}

FormulaProgram FormulaCompiler::compile(const std::vector<FormulaText::Token>& tokens, int sheet,
                                        const Scope& scope, bool arrayFormula) {
    FormulaProgram program;
    const TokenList list(tokens);
    Unnamed unnamed;
    scanPrecedents(list, sheet, scope, program.precedents, unnamed, 0, &program.precedentMoves);
    program.hiddenPrecedents = unnamed.hiddenCells || unnamed.everyTime;
    Parser parser(list, sheet, scope, program, 0);
    // Formulas calculated every time are evaluated; cells read without being named are not known.
    if (!parser.parse() || unnamed.hiddenCells)
        program.evaluable = false;
    if (arrayFormula)
        for (FormulaProgram::Step& step : program.steps)
            step.array = FormulaProgram::Array::Formula;
    return program;
}

std::optional<QString> FormulaCompiler::syntaxProblem(std::string_view formula) {
    if (XmlText::toQString(formula).size() > kMaxLength)
        return QStringLiteral("it is longer than %1 characters").arg(kMaxLength);
    FormulaProgram program;
    const std::vector<Token> tokens = FormulaText::tokenize(formula);
    const TokenList list(tokens);
    const AnyScope scope;
    Parser parser(list, 0, scope, program, 0);
    if (!parser.parse())
        return parser.problem();
    if (parser.badArgumentCount())
        return QStringLiteral("the function %1 is given too few or too many arguments").arg(parser.badCall());
    return std::nullopt;
}

void FormulaCompiler::findPrecedents(std::string_view formula, int sheet, const Scope& scope,
                                     std::vector<FormulaRef>& precedents, bool& hidden) {
    const std::vector<Token> tokens = FormulaText::tokenize(formula);
    Unnamed unnamed;
    scanPrecedents(TokenList(tokens), sheet, scope, precedents, unnamed, 0);
    hidden = hidden || unnamed.hiddenCells || unnamed.everyTime;
}

} // namespace platform::sheet
