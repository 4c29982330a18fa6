// The text functions: TEXT (see NumberFormat), LEFT, RIGHT, MID, LEN, UPPER, LOWER, PROPER, TRIM, SUBSTITUTE,
// REPLACE, FIND, SEARCH, VALUE, CONCAT, TEXTJOIN, REPT, EXACT, N and T. Numbers and truth values take part as
// the text a cell shows; positions count from 1; a result longer than a cell holds is #VALUE!.
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
        if (a.type == Type::Boolean)
            return result(textOf(a));
        const auto shown = NumberFormat::format(number, textOf(pattern), date1904_);
        return shown ? result(*shown) : Operand::of(error("#VALUE!"));
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
