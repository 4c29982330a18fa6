// The information functions (ISBLANK, ISNUMBER, ISTEXT, ISLOGICAL, ISERROR, ISERR, ISNA, NA) and
// the choosing ones that test their arguments in turn (IFNA, IFS, SWITCH). The IS functions
// never pass an error on: they answer whether the value is one.
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
    case Id::IsLogical:
        return answer(v.type == Type::Boolean);
    case Id::IsError:
        return answer(v.type == Type::Error);
    case Id::IsErr:
        return answer(v.type == Type::Error && v.text != u"#N/A");
    case Id::IsNa:
        return answer(v.type == Type::Error && v.text == u"#N/A");
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
