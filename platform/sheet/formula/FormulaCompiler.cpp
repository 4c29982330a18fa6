// Formula texts compiled into postfix steps, and the precedents of formulas.
#include "platform/sheet/formula/FormulaCompiler.h"

#include "platform/sheet/CellValue.h"
#include "platform/sheet/FormulaText.h"
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
// intersection operator, which the engine does not evaluate: without the blank the two
// references stand side by side, which the parser refuses.
class TokenList {
public:
    explicit TokenList(const std::vector<Token>& tokens) {
        items_.reserve(tokens.size());
        for (const Token& t : tokens)
            if (t.kind != Kind::Space)
                items_.push_back(&t);
    }
    std::size_t size() const { return items_.size(); }
    const Token* at(std::size_t i) const { return i < items_.size() ? items_[i] : nullptr; }

private:
    std::vector<const Token*> items_;
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
};

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
        j += 3;
    } else if (is(head, Kind::Row) && isText(list.at(j + 1), Kind::Operator, ":") &&
               is(list.at(j + 2), Kind::Row)) {
        const int a = readRow(head->text);
        const int b = readRow(list.at(j + 2)->text);
        if (a == 0 || b == 0)
            return read;
        range = CellRange({a, 1}, {b, CellAddress::kMaxColumns});
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

void scanPrecedents(const TokenList& list, int sheet, const Scope& scope, std::vector<FormulaRef>& out,
                    bool& hidden, int depth) {
    for (std::size_t i = 0; i < list.size();) {
        const Token* t = list.at(i);
        if (isReferenceStart(t)) {
            const ReadReference read = readReference(list, i, sheet, scope);
            if (read.used == 0) {
                ++i;
                continue;
            }
            if (read.outcome == ReadReference::Outcome::Local)
                out.push_back(read.ref);
            i += read.used;
            continue;
        }
        if (t->kind == Kind::Function && FormulaFunctions::hasHiddenPrecedents(t->text)) {
            hidden = true;
        } else if (t->kind == Kind::Name && !isBooleanName(t->text)) {
            if (t->text.find('[') != std::string::npos) {
                hidden = true; // a table reference
            } else if (const std::string* text = scope.definedName(t->text, sheet)) {
                if (depth >= FormulaCompiler::kMaxNameDepth) {
                    hidden = true;
                } else {
                    const std::vector<Token> tokens = FormulaText::tokenize(*text);
                    scanPrecedents(TokenList(tokens), sheet, scope, out, hidden, depth + 1);
                }
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

class Parser {
public:
    Parser(const TokenList& list, int sheet, const Scope& scope, FormulaProgram& program, int depth)
        : list_(list)
        , sheet_(sheet)
        , scope_(scope)
        , program_(program)
        , depth_(depth) {}

    // False when the tokens are not one whole formula.
    bool parse() {
        if (list_.size() == 0)
            return false;
        comparison();
        return !failed_ && pos_ == list_.size();
    }

private:
    const Token* peek() const { return list_.at(pos_); }
    bool atOperator(std::string_view op) const { return isText(peek(), Kind::Operator, op); }
    bool atPunctuation(std::string_view p) const { return isText(peek(), Kind::Punctuation, p); }

    void put(Op op) {
        FormulaProgram::Step step;
        step.op = op;
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

    void comparison() {
        // Parentheses, arguments and signs nest by recursion: a formula nested deeper than any
        // spreadsheet program allows is refused rather than allowed to exhaust the stack.
        if (++nesting_ > kMaxNesting) {
            failed_ = true;
            return;
        }
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
        --nesting_;
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

    // Negation binds tighter than percent and power: -2^2 is 4.
    void unary() {
        if (atOperator("-") || atOperator("+")) {
            const bool negate = atOperator("-");
            ++pos_;
            if (++nesting_ > kMaxNesting) {
                failed_ = true;
                return;
            }
            unary();
            --nesting_;
            if (negate)
                put(Op::Negate);
            return;
        }
        postfix();
    }

    void postfix() {
        primary();
        while (!failed_ && atOperator("%")) {
            ++pos_;
            put(Op::Percent);
        }
    }

    void primary() {
        const Token* t = peek();
        if (!t) {
            failed_ = true;
            return;
        }
        switch (t->kind) {
        case Kind::Number: {
            double value = 0;
            const char* begin = t->text.data();
            const char* end = begin + t->text.size();
            const auto result = std::from_chars(begin, end, value);
            if (result.ec != std::errc() || result.ptr != end) {
                failed_ = true;
                return;
            }
            ++pos_;
            putNumber(Op::Number, value);
            return;
        }
        case Kind::String:
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
                ++pos_;
                comparison();
                if (failed_ || !atPunctuation(")")) {
                    failed_ = true;
                    return;
                }
                ++pos_;
                return;
            }
            failed_ = true; // array constants and stray separators
            return;
        default:
            failed_ = true;
            return;
        }
    }

    void errorLiteral() {
        const QString code = XmlText::toQString(peek()->text).toUpper();
        ++pos_;
        // "#REF!B2": a reference whose sheet was deleted; the reference goes with the error.
        if (isReferenceStart(peek())) {
            const ReadReference read = readReference(list_, pos_, sheet_, scope_);
            pos_ += read.used;
        }
        if (!CellValue::isErrorCode(code) || code == u"#GETTING_DATA")
            notEvaluable();
        putText(Op::Error, code);
    }

    void reference() {
        const ReadReference read = readReference(list_, pos_, sheet_, scope_);
        if (read.used == 0) {
            failed_ = true;
            return;
        }
        pos_ += read.used;
        switch (read.outcome) {
        case ReadReference::Outcome::Local: {
            FormulaProgram::Step step;
            step.op = Op::Reference;
            step.index = std::uint32_t(program_.refs.size());
            program_.refs.push_back(read.ref);
            program_.steps.push_back(step);
            return;
        }
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

    void call() {
        const std::string& name = peek()->text;
        const auto info = FormulaFunctions::find(name);
        if (!info)
            notEvaluable();
        ++pos_;
        if (!atPunctuation("(")) {
            failed_ = true;
            return;
        }
        ++pos_;
        int argc = 0;
        if (atPunctuation(")")) {
            ++pos_;
        } else {
            while (true) {
                if (atPunctuation(",") || atPunctuation(")"))
                    put(Op::Missing);
                else
                    comparison();
                if (failed_)
                    return;
                ++argc;
                if (atPunctuation(",")) {
                    ++pos_;
                    continue;
                }
                if (atPunctuation(")")) {
                    ++pos_;
                    break;
                }
                failed_ = true;
                return;
            }
        }
        if (info && (argc < info->minArgs || argc > info->maxArgs))
            notEvaluable();
        FormulaProgram::Step step;
        step.op = Op::Call;
        step.function = info ? info->id : FormulaFunctions::Id::None;
        step.argc = std::uint16_t(std::min(argc, int(FormulaFunctions::kMaxArgs) + 1));
        program_.steps.push_back(step);
    }

    void name() {
        const std::string& text = peek()->text;
        ++pos_;
        if (isBooleanName(text)) {
            putNumber(Op::Boolean, sameUpper(text, "TRUE") ? 1 : 0);
            return;
        }
        const std::string* defined =
            text.find('[') == std::string::npos ? scope_.definedName(text, sheet_) : nullptr;
        if (!defined || depth_ >= FormulaCompiler::kMaxNameDepth) {
            // A table reference, or a name the workbook does not define.
            notEvaluable();
            putText(Op::Error, QStringLiteral("#NAME?"));
            return;
        }
        const std::vector<Token> tokens = FormulaText::tokenize(*defined);
        const TokenList list(tokens);
        const std::size_t stepsBefore = program_.steps.size();
        Parser inner(list, sheet_, scope_, program_, depth_ + 1);
        if (!inner.parse()) {
            notEvaluable();
            program_.steps.resize(stepsBefore);
            putText(Op::Error, QStringLiteral("#NAME?"));
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
    static constexpr int kMaxNesting = 256;
};

} // namespace

FormulaProgram FormulaCompiler::compile(std::string_view formula, int sheet, const Scope& scope) {
    FormulaProgram program;
    const std::vector<Token> tokens = FormulaText::tokenize(formula);
    const TokenList list(tokens);
    scanPrecedents(list, sheet, scope, program.precedents, program.hiddenPrecedents, 0);
    Parser parser(list, sheet, scope, program, 0);
    if (!parser.parse() || program.hiddenPrecedents)
        program.evaluable = false;
    return program;
}

void FormulaCompiler::findPrecedents(std::string_view formula, int sheet, const Scope& scope,
                                     std::vector<FormulaRef>& precedents, bool& hidden) {
    const std::vector<Token> tokens = FormulaText::tokenize(formula);
    scanPrecedents(TokenList(tokens), sheet, scope, precedents, hidden, 0);
}

} // namespace platform::sheet
