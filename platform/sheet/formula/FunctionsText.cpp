// The text functions: TEXT (see NumberFormat), DOLLAR, FIXED, LEFT, RIGHT, MID, LEN, UPPER, LOWER, PROPER,
// TRIM, CLEAN, SUBSTITUTE, REPLACE, FIND, SEARCH, VALUE, CONCAT, TEXTJOIN, REPT, EXACT, N, T, CHAR, CODE,
// UNICHAR and UNICODE. Numbers and truth values take part in their General form; positions count from 1;
// CHAR and CODE use the character set of the program's Windows (code page 1252); a result longer than a
// cell holds is #VALUE!.
#include "platform/sheet/formula/Criteria.h"
#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/formula/NumberFormat.h"

namespace platform::sheet {

using namespace evaluation;

namespace {

// TRIM: no spaces at either end, single spaces between words (only the space character).
QString trimmed(const QString& text) {
    QString out;
    bool space = false;
    for (const QChar c : text) {
        if (c == u' ') {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += u' ';
        space = false;
        out += c;
    }
    return out;
}

// PROPER: a letter after anything that is not a letter is upper case, the others lower.
QString proper(const QString& text) {
    QString out = text;
    bool afterLetter = false;
    for (QChar& c : out) {
        c = afterLetter ? c.toLower() : c.toUpper();
        afterLetter = c.isLetter();
    }
    return out;
}

// Code page 1252 from 128 to 159 (the rest of 1 to 255 is Latin-1); 0 where it has no character.
constexpr char16_t kWindows1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar windows1252(int code) {
    return code >= 128 && code < 160 ? QChar(kWindows1252[code - 128]) : QChar(char16_t(code));
}

int windows1252Code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 128 || (u >= 160 && u < 256))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kWindows1252[i] == u && u != 0)
            return 128 + i;
    return '?';
}

QString substituted(const QString& text, const QString& old, const QString& by, int instance) {
    if (old.isEmpty())
        return text;
    if (instance <= 0)
        return QString(text).replace(old, by);
    qsizetype from = 0;
    for (int n = 1;; ++n) {
        const qsizetype i = text.indexOf(old, from);
        if (i < 0)
            return text;
        if (n == instance)
            return text.left(i) + by + text.mid(i + old.size());
        from = i + old.size();
    }
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::text(Id id, const Operand* args, int argc, CellRef at) const {
    auto value = [&](int i) { return i < argc && !args[i].missing ? scalar(args[i], at) : CellValue(); };
    auto result = [](QString text) {
        return Operand::of(text.size() > kMaxText ? error("#VALUE!") : CellValue::fromText(std::move(text)));
    };

    // The functions that join many values, blocks included.
    if (id == Id::Concat || id == Id::TextJoin) {
        const int first = id == Id::TextJoin ? 2 : 0;
        QString delimiter;
        bool skipEmpty = false;
        if (id == Id::TextJoin) {
            const CellValue d = value(0);
            if (isError(d))
                return Operand::of(d);
            delimiter = textOf(d);
            CellValue failure;
            skipEmpty = truthOf(value(1), failure);
            if (isError(failure))
                return Operand::of(failure);
        }
        QStringList parts;
        CellValue failure;
        auto take = [&](const CellValue& v) {
            if (isError(v)) {
                failure = v;
                return false;
            }
            const QString t = textOf(v);
            if (!(skipEmpty && t.isEmpty()))
                parts << t;
            return true;
        };
        for (int i = first; i < argc && !isError(failure); ++i) {
            if (const FormulaRef* block = blockOf(args[i])) {
                // Every cell in order, empty ones too (TEXTJOIN may keep them).
                const CellRef used = usedExtent(*block);
                for (int r = 0; r < used.row && !isError(failure); ++r)
                    for (int c = 0; c < block->range.columns() && !isError(failure); ++c)
                        take(c < used.col ? cellIn(*block, r, c) : CellValue());
            } else if (args[i].array) {
                const ValueMatrix& m = *args[i].array;
                for (int r = 0; r < m.rows && !isError(failure); ++r)
                    for (int c = 0; c < m.columns && !isError(failure); ++c)
                        take(m.at(r, c));
            } else {
                take(value(i));
            }
        }
        if (isError(failure))
            return Operand::of(failure);
        return result(parts.join(delimiter));
    }

    // T reads the first cell of a block, wherever the formula stands.
    const CellValue a = id == Id::T && blockOf(args[0]) ? cellIn(*blockOf(args[0]), 0, 0) : value(0);
    switch (id) {
    case Id::Text: {
        if (isError(a))
            return Operand::of(a);
        const CellValue pattern = value(1);
        if (isError(pattern))
            return Operand::of(pattern);
        double number = 0;
        if (a.type == Type::Text && !numberFromText(a.text, number))
            return result(NumberFormat::formatText(a.text, textOf(pattern)));
        if (a.type == Type::Number || a.type == Type::Empty)
            number = a.number;
        if (a.type == Type::Boolean) // TRUE and FALSE take the text section
            return result(NumberFormat::formatText(textOf(a), textOf(pattern)));
        const auto shown = NumberFormat::format(number, textOf(pattern), date1904_);
        return shown ? result(*shown) : Operand::of(error("#VALUE!"));
    }
    case Id::Dollar:
    case Id::Fixed: {
        // Rounded to the decimals (left of the point when negative), with thousands separators:
        // DOLLAR with a dollar sign and negative amounts in parentheses.
        if (isError(a))
            return Operand::of(a);
        const Number x = Number::of(a);
        const Number decimals =
            Number::of(argc > 1 && !args[1].missing ? value(1) : CellValue::fromNumber(2));
        if (x.failed())
            return Operand::of(x.failure);
        if (decimals.failed())
            return Operand::of(decimals.failure);
        const int places = int(std::trunc(decimals.value));
        if (places > 127)
            return Operand::of(error("#VALUE!"));
        CellValue failure;
        const bool plain = id == Id::Fixed && argc > 2 && !args[2].missing && truthOf(value(2), failure);
        if (isError(failure))
            return Operand::of(failure);
        const double rounded = roundDecimal(x.value, std::max(places, -308), Rounding::Nearest);
        QString digits = plain ? QStringLiteral("0") : QStringLiteral("#,##0");
        if (places > 0)
            digits += u'.' + QString(places, u'0');
        const QString pattern = id == Id::Dollar ? QStringLiteral("$%1;($%1)").arg(digits) : digits;
        const auto shown = NumberFormat::format(rounded, pattern);
        return shown ? result(*shown) : Operand::of(error("#VALUE!"));
    }
    case Id::Char:
    case Id::UniChar: {
        if (isError(a))
            return Operand::of(a);
        const Number x = Number::of(a);
        if (x.failed())
            return Operand::of(x.failure);
        const double code = std::trunc(x.value);
        if (id == Id::Char) {
            if (code < 1 || code > 255 || windows1252(int(code)).isNull())
                return Operand::of(error("#VALUE!"));
            return result(QString(windows1252(int(code))));
        }
        if (code < 1 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return Operand::of(error("#VALUE!"));
        const char32_t point = char32_t(code);
        return result(QString::fromUcs4(&point, 1));
    }
    case Id::Code:
    case Id::Unicode: {
        if (isError(a))
            return Operand::of(a);
        const QString t = textOf(a);
        if (t.isEmpty())
            return Operand::of(error("#VALUE!"));
        if (id == Id::Code)
            return Operand::of(CellValue::fromNumber(windows1252Code(t[0])));
        return Operand::of(CellValue::fromNumber(double(t.toUcs4().value(0))));
    }
    case Id::Clean: {
        // The characters 0 to 31 taken out.
        if (isError(a))
            return Operand::of(a);
        QString t = textOf(a);
        t.removeIf([](QChar c) { return c.unicode() < 32; });
        return result(t);
    }
    case Id::N:
        if (isError(a))
            return Operand::of(a);
        return Operand::of(
            CellValue::fromNumber(a.type == Type::Number || a.type == Type::Boolean ? a.number : 0));
    case Id::T:
        if (isError(a))
            return Operand::of(a);
        return Operand::of(CellValue::fromText(a.type == Type::Text ? a.text : QString()));
    default:
        break;
    }
    if (isError(a))
        return Operand::of(a);
    const QString s = textOf(a);
    // A whole number from argument i, or the error reading it gave.
    auto count = [&](int i, double whenMissing, int& out) -> std::optional<CellValue> {
        const Number n = Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                                 : CellValue::fromNumber(whenMissing));
        if (n.failed())
            return n.failure;
        out = int(std::clamp(std::trunc(n.value), -1.0, double(kMaxText) + 1));
        return std::nullopt;
    };
    int n = 0;
    int start = 0;
    switch (id) {
    case Id::Len:
        return Operand::of(CellValue::fromNumber(double(s.size())));
    case Id::Upper:
        return result(s.toUpper());
    case Id::Lower:
        return result(s.toLower());
    case Id::Proper:
        return result(proper(s));
    case Id::Trim:
        return result(trimmed(s));
    case Id::Value: {
        if (a.type == Type::Number)
            return Operand::of(a);
        double number = 0;
        if (a.type == Type::Empty)
            return Operand::of(CellValue::fromNumber(0));
        if (a.type != Type::Text || !numberFromText(s, number))
            return Operand::of(error("#VALUE!"));
        return Operand::of(CellValue::fromNumber(number));
    }
    case Id::Left:
    case Id::Right:
        if (auto failure = count(1, 1, n))
            return Operand::of(*failure);
        if (n < 0)
            return Operand::of(error("#VALUE!"));
        return result(id == Id::Left ? s.left(n) : s.right(n));
    case Id::Mid:
        if (auto failure = count(1, 1, start))
            return Operand::of(*failure);
        if (auto failure = count(2, 0, n))
            return Operand::of(*failure);
        if (start < 1 || n < 0)
            return Operand::of(error("#VALUE!"));
        return result(s.mid(start - 1, n));
    case Id::Rept: {
        if (auto failure = count(1, 0, n))
            return Operand::of(*failure);
        if (n < 0 || double(n) * s.size() > kMaxText)
            return Operand::of(error("#VALUE!"));
        return result(s.repeated(n));
    }
    case Id::Exact: {
        const CellValue b = value(1);
        if (isError(b))
            return Operand::of(b);
        return Operand::of(CellValue::fromBoolean(s == textOf(b)));
    }
    case Id::Substitute:
    case Id::Replace: {
        const CellValue second = value(1);
        if (isError(second))
            return Operand::of(second);
        if (id == Id::Substitute) {
            const CellValue by = value(2);
            if (isError(by))
                return Operand::of(by);
            int instance = 0;
            if (argc > 3 && !args[3].missing) {
                if (auto failure = count(3, 0, instance))
                    return Operand::of(*failure);
                if (instance < 1)
                    return Operand::of(error("#VALUE!"));
            }
            return result(substituted(s, textOf(second), textOf(by), instance));
        }
        if (auto failure = count(1, 1, start))
            return Operand::of(*failure);
        if (auto failure = count(2, 0, n))
            return Operand::of(*failure);
        const CellValue by = value(3);
        if (isError(by))
            return Operand::of(by);
        if (start < 1 || n < 0)
            return Operand::of(error("#VALUE!"));
        return result(s.left(start - 1) + textOf(by) + s.mid(start - 1 + n));
    }
    case Id::Find:
    case Id::Search: {
        // FIND(what, within, [start]): a is what is sought.
        const CellValue within = value(1);
        if (isError(within))
            return Operand::of(within);
        const QString in = textOf(within);
        if (auto failure = count(2, 1, start))
            return Operand::of(*failure);
        if (start < 1 || start > in.size() + 1)
            return Operand::of(error("#VALUE!"));
        if (s.isEmpty())
            return Operand::of(CellValue::fromNumber(start));
        qsizetype found = -1;
        if (id == Id::Find) {
            found = in.indexOf(s, start - 1, Qt::CaseSensitive);
        } else {
            // The wildcards match anywhere: the first position where the pattern begins.
            const Criterion pattern(CellValue::fromText(QStringLiteral("=") + s + u'*'));
            for (qsizetype i = start - 1; i < in.size() && found < 0; ++i)
                if (pattern.matches(CellValue::fromText(in.mid(i))))
                    found = i;
        }
        if (found < 0)
            return Operand::of(error("#VALUE!"));
        return Operand::of(CellValue::fromNumber(double(found + 1)));
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
