// The information functions (ISBLANK, ISNUMBER, ISTEXT, ISNONTEXT, ISLOGICAL, ISERROR, ISERR,
// ISNA, ISREF, ISEVEN, ISODD, ERROR.TYPE, TYPE, NA) and the choosing ones that test their
// arguments in turn (IFNA, IFS, SWITCH). The IS functions but ISEVEN and ISODD never pass an
// error on: they answer whether the value is one.
#include "platform/sheet/formula/EvaluatorValues.h"

namespace platform::sheet {

using namespace evaluation;

FormulaEvaluator::Operand FormulaEvaluator::information(Id id, const Operand* args, int argc,
                                                        CellRef at) const {
    auto value = [&](int i) { return i < argc && !args[i].missing ? scalar(args[i], at) : CellValue(); };
    auto answer = [](bool b) { return Operand::of(CellValue::fromBoolean(b)); };
    auto chosen = [](const Operand& o) { return o.missing ? Operand::of(CellValue::fromNumber(0)) : o; };
    switch (id) {
    case Id::Na:
        return Operand::of(error("#N/A"));
    case Id::IfNa: {
        const CellValue v = value(0);
        const bool na = v.type == Type::Error && v.text == u"#N/A";
        return na ? chosen(args[1]) : Operand::of(v.type == Type::Empty ? CellValue::fromNumber(0) : v);
    }
    case Id::Ifs: {
        if (argc % 2 != 0)
            return Operand::of(error("#N/A"));
        for (int i = 0; i < argc; i += 2) {
            CellValue failure;
            const bool condition = truthOf(value(i), failure);
            if (isError(failure))
                return Operand::of(failure);
            if (condition)
                return chosen(args[i + 1]);
        }
        return Operand::of(error("#N/A"));
    }
    case Id::Switch: {
        const CellValue subject = value(0);
        if (isError(subject))
            return Operand::of(subject);
        int i = 1;
        for (; i + 1 < argc; i += 2) {
            const CellValue candidate = value(i);
            if (isError(candidate))
                return Operand::of(candidate);
            if (compareValues(subject, candidate) == 0 &&
                (subject.type == candidate.type || subject.type == Type::Empty ||
                 candidate.type == Type::Empty))
                return chosen(args[i + 1]);
        }
        return i < argc ? chosen(args[i]) : Operand::of(error("#N/A")); // the default, if given
    }
    case Id::IsRef:
        return answer(args[0].ref || args[0].areas);
    case Id::Type: {
        // 1 number (or an empty cell), 2 text, 4 truth value, 16 error, 64 array.
        const Operand& o = args[0];
        if (o.array)
            return Operand::of(CellValue::fromNumber(64));
        if (o.areas || (o.ref && !o.ref->isSingleCell())) {
            gaveUp_ = true; // a block of cells: left to the spreadsheet program
            return Operand::of(error("#VALUE!"));
        }
        const CellValue v = value(0);
        const double type = v.type == Type::Text      ? 2
                            : v.type == Type::Boolean ? 4
                            : v.type == Type::Error   ? 16
                                                      : 1;
        return Operand::of(CellValue::fromNumber(type));
    }
    default:
        break;
    }
    // ISBLANK looks at the cell itself: a formula's empty text is not blank.
    const CellValue v = value(0);
    switch (id) {
    case Id::IsBlank:
        return answer(v.type == Type::Empty && !(args[0].ref == nullptr && !args[0].missing));
    case Id::IsNumber:
        return answer(v.type == Type::Number);
    case Id::IsText:
        return answer(v.type == Type::Text);
    case Id::IsNonText:
        return answer(v.type != Type::Text);
    case Id::IsLogical:
        return answer(v.type == Type::Boolean);
    case Id::IsError:
        return answer(v.type == Type::Error);
    case Id::IsErr:
        return answer(v.type == Type::Error && v.text != u"#N/A");
    case Id::IsNa:
        return answer(v.type == Type::Error && v.text == u"#N/A");
    case Id::ErrorType: {
        static const char16_t* const kCodes[] = {u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!",
                                                 u"#NAME?", u"#NUM!",   u"#N/A",    u"#GETTING_DATA"};
        for (int i = 0; i < 8 && v.type == Type::Error; ++i)
            if (v.text == QStringView(kCodes[i]))
                return Operand::of(CellValue::fromNumber(i + 1));
        return Operand::of(error("#N/A"));
    }
    case Id::IsEven:
    case Id::IsOdd: {
        // Of the whole part; a truth value or a text that is no number is #VALUE!.
        if (v.type == Type::Boolean)
            return Operand::of(error("#VALUE!"));
        const Number n = Number::of(v);
        if (n.failed())
            return Operand::of(n.failure);
        const bool even = std::fmod(std::trunc(std::fabs(n.value)), 2) == 0;
        return answer(id == Id::IsEven ? even : !even);
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
