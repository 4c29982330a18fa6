// A1 and R1C1 cell addresses and their conversion.
#include "platform/sheet/CellAddress.h"

namespace platform::sheet {

namespace {

// Reads an unsigned decimal number from text[pos...]; false when there is none or it overflows.
bool readNumber(QStringView text, qsizetype& pos, long long& value) {
    const qsizetype start = pos;
    value = 0;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128) {
        value = value * 10 + (text[pos].unicode() - '0');
        if (value > 100000000)
            return false;
        ++pos;
    }
    return pos > start;
}

// One R1C1 component: "R3", "R[-2]", "R" (= offset 0); letter is 'R' or 'C'.
bool readR1C1Part(QStringView text, qsizetype& pos, QChar letter, int base, int limit, int& out) {
    if (pos >= text.size() || text[pos].toUpper() != letter)
        return false;
    ++pos;
    long long n = 0;
    if (pos < text.size() && text[pos] == u'[') {
        ++pos;
        bool negative = false;
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
            negative = text[pos] == u'-';
            ++pos;
        }
        if (!readNumber(text, pos, n) || pos >= text.size() || text[pos] != u']')
            return false;
        ++pos;
        out = base + int(negative ? -n : n);
    } else if (pos < text.size() && text[pos].isDigit()) {
        if (!readNumber(text, pos, n))
            return false;
        out = int(n);
    } else {
        out = base;
    }
    return out >= 1 && out <= limit;
}

QString r1c1Part(QChar letter, int value, int base, bool absolute) {
    if (absolute)
        return QString(letter) + QString::number(value);
    if (value == base)
        return QString(letter);
    return QStringLiteral("%1[%2]").arg(letter).arg(value - base);
}

} // namespace

QString CellAddress::columnName(int col) {
    QString name;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        name.prepend(QChar(u'A' + rest));
        col = (col - 1) / 26;
    }
    return name;
}

int CellAddress::columnNumber(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (QChar ch : letters) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return 0;
        col = col * 26 + (c - u'A' + 1);
    }
    return col <= kMaxColumns ? col : 0;
}

std::optional<CellRef> CellAddress::parseA1(QStringView text) {
    qsizetype pos = 0;
    if (pos < text.size() && text[pos] == u'$')
        ++pos;
    const qsizetype lettersStart = pos;
    while (pos < text.size() && text[pos].isLetter() && text[pos].unicode() < 128)
        ++pos;
    const int col = columnNumber(text.mid(lettersStart, pos - lettersStart));
    if (pos < text.size() && text[pos] == u'$')
        ++pos;
    long long row = 0;
    if (col == 0 || !readNumber(text, pos, row) || pos != text.size())
        return std::nullopt;
    const CellRef cell{int(row), col};
    if (!isValid(cell))
        return std::nullopt;
    return cell;
}

QString CellAddress::toA1(CellRef cell, bool rowAbsolute, bool colAbsolute) {
    QString text;
    if (colAbsolute)
        text += u'$';
    text += columnName(cell.col);
    if (rowAbsolute)
        text += u'$';
    text += QString::number(cell.row);
    return text;
}

std::optional<CellRef> CellAddress::parseR1C1(QStringView text, CellRef base) {
    qsizetype pos = 0;
    CellRef cell;
    if (!readR1C1Part(text, pos, u'R', base.row, kMaxRows, cell.row) ||
        !readR1C1Part(text, pos, u'C', base.col, kMaxColumns, cell.col) || pos != text.size())
        return std::nullopt;
    return cell;
}

QString CellAddress::toR1C1(CellRef cell, bool rowAbsolute, bool colAbsolute, CellRef base) {
    return r1c1Part(u'R', cell.row, base.row, rowAbsolute) + r1c1Part(u'C', cell.col, base.col, colAbsolute);
}

bool CellAddress::parseA1(const char* text, std::size_t length, CellRef& cell) {
    std::size_t pos = 0;
    int col = 0;
    while (pos < length && pos < 3) {
        char c = text[pos];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            break;
        col = col * 26 + (c - 'A' + 1);
        ++pos;
    }
    if (pos == 0 || pos == length)
        return false;
    long row = 0;
    const std::size_t digits = pos;
    while (pos < length && text[pos] >= '0' && text[pos] <= '9' && pos - digits < 8) {
        row = row * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos != length || pos == digits)
        return false;
    cell = CellRef{int(row), col};
    return isValid(cell);
}

int CellAddress::writeA1(CellRef cell, char* out) {
    char letters[4];
    int n = 0;
    for (int col = cell.col; col > 0; col = (col - 1) / 26)
        letters[n++] = char('A' + (col - 1) % 26);
    int len = 0;
    while (n > 0)
        out[len++] = letters[--n];
    char digits[12];
    int d = 0;
    for (unsigned row = unsigned(cell.row); row > 0 || d == 0; row /= 10)
        digits[d++] = char('0' + row % 10);
    while (d > 0)
        out[len++] = digits[--d];
    return len;
}

} // namespace platform::sheet
