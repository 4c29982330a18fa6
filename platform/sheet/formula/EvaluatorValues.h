// The values the formula engine works with while it evaluates: the operands on its stack, numbers
// read from values, and the rules every function shares for errors, texts, truth values and
// comparisons. Private to the engine's evaluator and its function families.
#pragma once

#include "platform/sheet/CellValue.h"
#include "platform/sheet/formula/FormulaEvaluator.h"
#include "platform/sheet/formula/NumberFormat.h"
#include "platform/sheet/formula/TypedNumber.h"

#include <algorithm>
#include <cmath>

namespace platform::sheet::evaluation {

using Op = FormulaProgram::Op;
using Id = FormulaFunctions::Id;
using Type = CellValue::Type;

// The longest text a cell holds.
inline constexpr qsizetype kMaxText = 32767;

inline CellValue error(const char* code) {
    return CellValue::fromError(QString::fromLatin1(code));
}

inline bool isError(const CellValue& v) {
    return v.type == Type::Error;
}

// A number that a calculation may give; infinities and NaN are #NUM!.
inline CellValue numberResult(double value) {
    if (!std::isfinite(value))
        return error("#NUM!");
    return CellValue::fromNumber(value == 0 ? 0.0 : value); // no negative zero
}

// The date system of the workbook being calculated, for the dates that texts hold
// ("1/31/2026" in a formula or a criterion): the evaluator sets it for the time of one
// evaluation, on the thread that evaluates.
class DateSystem {
public:
    static bool is1904() { return current_; }

    class Use {
    public:
        explicit Use(bool date1904)
            : before_(current_) {
            current_ = date1904;
        }
        ~Use() { current_ = before_; }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        bool before_;
    };

private:
    static inline thread_local bool current_ = false;
};

// A text that reads as a number the way a typed entry does ("12.5", " -3 ", "1,000", "$5",
// "50%", "1/31/2026", "10:30"); nothing otherwise.
inline bool numberFromText(const QString& text, double& out) {
    const auto number = TypedNumber::parse(text);
    const auto value = number ? number->valueIn(DateSystem::is1904()) : std::nullopt;
    if (!value)
        return false;
    out = *value;
    return true;
}

// A value as a text: numbers in the General form, truth values as TRUE and FALSE.
inline QString textOf(const CellValue& v) {
    switch (v.type) {
    case Type::Number:
        return NumberFormat::general(v.number);
    case Type::Boolean:
        return v.boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Type::Text:
        return v.text;
    default:
        return QString();
    }
}

// A condition: a truth value, a number (not 0 is true), an empty cell (false), the texts TRUE
// and FALSE. Anything else is #VALUE!; an error is passed on.
inline bool truthOf(const CellValue& v, CellValue& failure) {
    switch (v.type) {
    case Type::Boolean:
    case Type::Number:
        return v.number != 0;
    case Type::Empty:
        return false;
    case Type::Text:
        if (v.text.compare(u"TRUE", Qt::CaseInsensitive) == 0)
            return true;
        if (v.text.compare(u"FALSE", Qt::CaseInsensitive) == 0)
            return false;
        failure = error("#VALUE!");
        return false;
    case Type::Error:
        failure = v;
        return false;
    }
    return false;
}

// Numbers equal to the 15 significant digits a spreadsheet program works with.
inline bool nearlyEqual(double a, double b) {
    if (a == b)
        return true;
    if ((a < 0) != (b < 0) || a == 0 || b == 0)
        return false;
    return std::fabs(a - b) <= std::max(std::fabs(a), std::fabs(b)) * 1e-15 * 4;
}

// -1, 0 or 1 as a compares to b; numbers come before texts before truth values; an empty cell
// takes the other side's kind.
inline int compareValues(CellValue a, CellValue b) {
    auto rank = [](Type t) { return t == Type::Number ? 0 : t == Type::Text ? 1 : 2; };
    auto emptyAs = [](Type other) {
        if (other == Type::Text)
            return CellValue::fromText(QString());
        if (other == Type::Boolean)
            return CellValue::fromBoolean(false);
        return CellValue::fromNumber(0);
    };
    if (a.type == Type::Empty && b.type == Type::Empty)
        return 0;
    if (a.type == Type::Empty)
        a = emptyAs(b.type);
    if (b.type == Type::Empty)
        b = emptyAs(a.type);
    if (rank(a.type) != rank(b.type))
        return rank(a.type) < rank(b.type) ? -1 : 1;
    if (a.type == Type::Text) {
        const int c = a.text.compare(b.text, Qt::CaseInsensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (nearlyEqual(a.number, b.number))
        return 0;
    return a.number < b.number ? -1 : 1;
}

} // namespace platform::sheet::evaluation

namespace platform::sheet {

// A value on the evaluation stack: a value, a reference not yet read, an array of values, a
// union of references, or an argument left out.
struct FormulaEvaluator::Operand {
    CellValue value;
    const FormulaRef* ref = nullptr;
    bool missing = false;
    std::shared_ptr<const FormulaRef> found; // a reference made while calculating (OFFSET, INDIRECT)
    std::shared_ptr<const ValueMatrix> array;
    std::shared_ptr<const std::vector<FormulaRef>> areas; // a union: (A1:A3,C1:C3)

    static Operand ofReference(FormulaRef ref) {
        Operand o;
        o.found = std::make_shared<const FormulaRef>(ref);
        o.ref = o.found.get();
        return o;
    }

    static Operand of(CellValue v) {
        Operand o;
        o.value = std::move(v);
        return o;
    }

    static Operand ofArray(ValueMatrix m) {
        Operand o;
        o.array = std::make_shared<const ValueMatrix>(std::move(m));
        return o;
    }
    static Operand ofArray(std::shared_ptr<const ValueMatrix> m) {
        Operand o;
        o.array = std::move(m);
        return o;
    }
};

// A value read as a number, or the error that reading it gave.
struct FormulaEvaluator::Number {
    double value = 0;
    CellValue failure;
    bool failed() const { return failure.type == CellValue::Type::Error; }

    static Number of(const CellValue& v) {
        Number n;
        switch (v.type) {
        case CellValue::Type::Number:
        case CellValue::Type::Boolean:
            n.value = v.number;
            break;
        case CellValue::Type::Empty:
            break;
        case CellValue::Type::Text:
            if (!evaluation::numberFromText(v.text, n.value))
                n.failure = evaluation::error("#VALUE!");
            break;
        case CellValue::Type::Error:
            n.failure = v;
            break;
        }
        return n;
    }
};

// Visits the values of the block's cells that hold one, sheet by sheet, until visit answers false.
template <class F> void FormulaEvaluator::forEachValue(const FormulaRef& ref, F&& visit) const {
    for (int sheet = ref.firstSheet; sheet <= ref.lastSheet; ++sheet) {
        if (sheet < 0 || std::size_t(sheet) >= stores_.size() || !stores_[std::size_t(sheet)])
            continue;
        const bool finished =
            stores_[std::size_t(sheet)]->forEachIn(ref.range, [&](int row, const CellStore::Cell& cell) {
                return cell.type == CellStore::Type::Empty || visit(read(sheet, row, cell));
            });
        if (!finished)
            return;
    }
}

template <class F> void FormulaEvaluator::forEachValueOf(const Operand& operand, F&& visit) const {
    if (operand.ref) {
        forEachValue(*operand.ref, visit);
    } else if (operand.areas) {
        bool going = true;
        for (const FormulaRef& area : *operand.areas)
            if (going)
                forEachValue(area, [&](const CellValue& v) { return going = visit(v); });
    } else if (operand.array) {
        // Elements without a value (the rows of a block below its sheet's last used cell) are
        // passed over, like empty cells.
        const ValueMatrix& m = *operand.array;
        const bool fillEmpty = m.fill.type == CellValue::Type::Empty;
        const int rows = fillEmpty ? std::min(m.rows, m.storedRows) : m.rows;
        const int columns = fillEmpty ? std::min(m.columns, m.storedColumns) : m.columns;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                if (m.at(r, c).type != CellValue::Type::Empty && !visit(m.at(r, c)))
                    return;
    } else if (!operand.missing) {
        visit(operand.value);
    }
}

} // namespace platform::sheet
