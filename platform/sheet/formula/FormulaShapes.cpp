// See FormulaShapes.h.
#include "platform/sheet/formula/FormulaShapes.h"

#include <charconv>

namespace platform::sheet {

namespace {

using Kind = FormulaText::Kind;

void appendNumber(std::string& out, int n) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
    out.append(buffer, end);
}

// A cell (B$3) told as its distance from the formula's cell where it moves: "C[1]R3".
void appendCell(std::string& out, std::string_view text, CellRef at) {
    CellRef cell;
    std::string plain;
    for (char c : text)
        if (c != '$')
            plain += c;
    if (!CellAddress::parseA1(plain.data(), plain.size(), cell)) {
        out.append(text);
        return;
    }
    const bool columnFixed = text.front() == '$';
    const std::size_t digits = text.find_first_of("0123456789");
    const bool rowFixed = digits != std::string_view::npos && digits > 0 && text[digits - 1] == '$';
    out += columnFixed ? "C" : "C[";
    appendNumber(out, columnFixed ? cell.col : cell.col - at.col);
    out += columnFixed ? "R" : "]R";
    if (!rowFixed)
        out += '[';
    appendNumber(out, rowFixed ? cell.row : cell.row - at.row);
    if (!rowFixed)
        out += ']';
}

// One side of a column or row span (C:E, 7:9) where it moves.
void appendSide(std::string& out, std::string_view text, int place, int at) {
    if (text.front() == '$' || place == 0) {
        out.append(text);
        return;
    }
    out += '[';
    appendNumber(out, place - at);
    out += ']';
}

int columnOf(std::string_view text) {
    int col = 0;
    for (char c : text)
        if (c != '$')
            col = col * 26 + ((c & ~0x20) - 'A' + 1);
    return col;
}

int rowOf(std::string_view text) {
    int row = 0;
    for (char c : text)
        if (c != '$')
            row = row * 10 + (c - '0');
    return row;
}

bool movePart(int& part, int by, bool moves, int largest) {
    if (!moves)
        return true;
    part += by;
    return part >= 1 && part <= largest;
}

// Moves the corners of a reference that move; false when it leaves the sheet or turns over.
bool moveReference(FormulaRef& ref, std::uint8_t moves, int rows, int columns) {
    CellRange& r = ref.range;
    const bool inside =
        movePart(r.first.row, rows, moves & FormulaProgram::kFirstRow, CellAddress::kMaxRows) &&
        movePart(r.first.col, columns, moves & FormulaProgram::kFirstColumn, CellAddress::kMaxColumns) &&
        movePart(r.last.row, rows, moves & FormulaProgram::kLastRow, CellAddress::kMaxRows) &&
        movePart(r.last.col, columns, moves & FormulaProgram::kLastColumn, CellAddress::kMaxColumns);
    return inside && r.first.row <= r.last.row && r.first.col <= r.last.col;
}

} // namespace

std::string FormulaShapes::keyOf(const std::vector<FormulaText::Token>& tokens, CellRef at,
                                 bool arrayFormula) {
    std::string key = arrayFormula ? "{" : "=";
    for (const FormulaText::Token& t : tokens) {
        switch (t.kind) {
        case Kind::Cell:
            appendCell(key, t.text, at);
            break;
        case Kind::Column:
            appendSide(key, t.text, columnOf(t.text), at.col);
            break;
        case Kind::Row:
            appendSide(key, t.text, rowOf(t.text), at.row);
            break;
        default:
            key.append(t.text);
            break;
        }
        key += '\x1f';
    }
    return key;
}

std::optional<FormulaProgram> FormulaShapes::moved(const Shape& shape, CellRef at) {
    FormulaProgram program = shape.program;
    const int rows = at.row - shape.at.row;
    const int columns = at.col - shape.at.col;
    if (rows == 0 && columns == 0)
        return program;
    for (std::size_t i = 0; i < program.refs.size(); ++i)
        if (!moveReference(program.refs[i], program.refMoves[i], rows, columns))
            return std::nullopt;
    for (std::size_t i = 0; i < program.precedents.size(); ++i)
        if (!moveReference(program.precedents[i], program.precedentMoves[i], rows, columns))
            return std::nullopt;
    return program;
}

FormulaProgram FormulaShapes::compile(std::string_view formula, int sheet, CellRef at,
                                      const FormulaCompiler::Scope& scope, bool arrayFormula) {
    if (const auto known = cells_.find(cellKey(at)); known != cells_.end())
        if (std::optional<FormulaProgram> program = moved(*known->second, at))
            return std::move(*program);
    const std::vector<FormulaText::Token> tokens = FormulaText::tokenize(formula);
    std::string key = keyOf(tokens, at, arrayFormula);
    auto found = shapes_.find(key);
    if (found != shapes_.end()) {
        if (std::optional<FormulaProgram> program = moved(found->second, at)) {
            cells_[cellKey(at)] = &found->second;
            return std::move(*program);
        }
    }
    FormulaProgram program = FormulaCompiler::compile(tokens, sheet, scope, arrayFormula);
    if (found == shapes_.end() && shapes_.size() < kMaxShapes) {
        found = shapes_.emplace(std::move(key), Shape{program, at}).first;
        cells_[cellKey(at)] = &found->second;
    }
    return program;
}

} // namespace platform::sheet
