// The conversions between number systems -- HEX2DEC, DEC2HEX, BIN2DEC, DEC2BIN, OCT2DEC, DEC2OCT
// and the conversions between binary, octal and hexadecimal -- with the spreadsheet program's
// widths: 10 binary digits, 10 octal digits (30 bits), 10 hexadecimal digits (40 bits), negative
// numbers in two's complement of that width; and DELTA and GESTEP.
#include "platform/sheet/formula/EvaluatorValues.h"

namespace platform::sheet {

using namespace evaluation;

namespace {

struct NumberSystem {
    int base;
    int bits; // of the ten digits
};

constexpr NumberSystem kBinary{2, 10};
constexpr NumberSystem kOctal{8, 30};
constexpr NumberSystem kHexadecimal{16, 40};

// The value of at most ten digits of the system; the highest bit set makes it negative.
std::optional<long long> readDigits(const QString& text, NumberSystem system) {
    if (text.size() > 10)
        return std::nullopt;
    long long value = 0;
    for (const QChar c : text) {
        const int digit = c.isDigit() ? c.digitValue() : c.toUpper().unicode() - u'A' + 10;
        if (digit < 0 || digit >= system.base)
            return std::nullopt;
        value = value * system.base + digit;
    }
    if (value >= (1LL << (system.bits - 1)))
        value -= 1LL << system.bits;
    return value;
}

// The digits of a number in the system: a negative number as ten digits of two's complement; a
// positive one padded with zeros to `places` (0: as few as it takes). Nothing when the number
// lies outside the system's range or does not fit the places.
std::optional<QString> writeDigits(long long value, NumberSystem system, int places) {
    const long long limit = 1LL << (system.bits - 1);
    if (value < -limit || value >= limit)
        return std::nullopt;
    if (value < 0)
        return QString::number(value + (1LL << system.bits), system.base).toUpper();
    QString digits = QString::number(value, system.base).toUpper();
    if (places > 0) {
        if (digits.size() > places)
            return std::nullopt;
        digits = digits.rightJustified(places, u'0');
    }
    return digits;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::numberSystems(Id id, const Operand* args, int argc,
                                                          CellRef at) const {
    auto value = [&](int i) { return i < argc && !args[i].missing ? scalar(args[i], at) : CellValue(); };
    const CellValue a = value(0);
    if (isError(a))
        return Operand::of(a);
    if (id == Id::Delta || id == Id::GeStep) {
        // Numbers only: a text is #VALUE! even where it holds a number.
        const CellValue b = value(1);
        if (isError(b))
            return Operand::of(b);
        if (a.type == Type::Text || b.type == Type::Text || a.type == Type::Boolean ||
            b.type == Type::Boolean)
            return Operand::of(error("#VALUE!"));
        const bool yes = id == Id::Delta ? a.number == b.number : a.number >= b.number;
        return Operand::of(CellValue::fromNumber(yes ? 1 : 0));
    }

    NumberSystem from{10, 0};
    NumberSystem to{10, 0};
    switch (id) {
    case Id::Hex2Dec:
    case Id::Hex2Bin:
    case Id::Hex2Oct:
        from = kHexadecimal;
        break;
    case Id::Bin2Dec:
    case Id::Bin2Hex:
    case Id::Bin2Oct:
        from = kBinary;
        break;
    case Id::Oct2Dec:
    case Id::Oct2Hex:
    case Id::Oct2Bin:
        from = kOctal;
        break;
    default:
        break;
    }
    switch (id) {
    case Id::Dec2Hex:
    case Id::Bin2Hex:
    case Id::Oct2Hex:
        to = kHexadecimal;
        break;
    case Id::Dec2Bin:
    case Id::Hex2Bin:
    case Id::Oct2Bin:
        to = kBinary;
        break;
    case Id::Dec2Oct:
    case Id::Hex2Oct:
    case Id::Bin2Oct:
        to = kOctal;
        break;
    default:
        break;
    }
    if (a.type == Type::Boolean)
        return Operand::of(error("#VALUE!"));
    long long number = 0;
    if (from.base == 10) {
        const Number n = Number::of(a);
        if (n.failed())
            return Operand::of(n.failure);
        if (std::fabs(n.value) > 1e15)
            return Operand::of(error("#NUM!"));
        number = (long long)std::trunc(n.value);
    } else {
        const auto read = readDigits(textOf(a).trimmed(), from);
        if (!read)
            return Operand::of(error("#NUM!"));
        number = *read;
    }
    if (to.base == 10)
        return Operand::of(CellValue::fromNumber(double(number)));
    int places = 0;
    if (argc > 1 && !args[1].missing) {
        const Number p = Number::of(value(1));
        if (p.failed())
            return Operand::of(p.failure);
        places = int(std::trunc(p.value));
        if (places < 1 || places > 10)
            return Operand::of(error("#NUM!"));
    }
    const auto digits = writeDigits(number, to, places);
    return Operand::of(digits ? CellValue::fromText(*digits) : error("#NUM!"));
}

} // namespace platform::sheet
