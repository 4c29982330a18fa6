// The working days: NETWORKDAYS and NETWORKDAYS.INTL count them between two dates (both
// included; negative when the end comes first), WORKDAY and WORKDAY.INTL step a number of them
// from a date. Weekends are Saturday and Sunday, or what the .INTL functions' weekend argument
// says (a number 1 to 7 for two days, 11 to 17 for one, or seven 0s and 1s from Monday to
// Sunday); holidays are the whole days of a block, an array or one value.
#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/formula/SerialDate.h"

#include <array>
#include <set>

namespace platform::sheet {

using namespace evaluation;

namespace {

// Weekend days by weekday (0 Sunday .. 6 Saturday); nothing for a weekend argument that is none,
// with the error the program gives for it.
using Weekend = std::array<bool, 7>;

std::optional<Weekend> weekendOf(const CellValue& v, CellValue& failure) {
    Weekend days{};
    if (v.type == CellValue::Type::Text) {
        // "0000011": Monday to Sunday, 1 for a weekend day; not every day.
        if (v.text.size() != 7 || v.text.count(u'1') == 7) {
            failure = error("#VALUE!");
            return std::nullopt;
        }
        for (int i = 0; i < 7; ++i) {
            if (v.text[i] != u'0' && v.text[i] != u'1') {
                failure = error("#VALUE!");
                return std::nullopt;
            }
            days[std::size_t((i + 1) % 7)] = v.text[i] == u'1';
        }
        return days;
    }
    const FormulaEvaluator::Number n = FormulaEvaluator::Number::of(v);
    if (n.failed()) {
        failure = n.failure;
        return std::nullopt;
    }
    const int kind = int(std::trunc(n.value));
    if (kind >= 1 && kind <= 7) {
        // 1 Saturday and Sunday, 2 Sunday and Monday, ... 7 Friday and Saturday.
        days[std::size_t((kind + 5) % 7)] = true;
        days[std::size_t((kind + 6) % 7)] = true;
        return days;
    }
    if (kind >= 11 && kind <= 17) {
        days[std::size_t((kind - 11) % 7)] = true; // 11 Sunday, 12 Monday, ... 17 Saturday
        return days;
    }
    failure = error("#NUM!");
    return std::nullopt;
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::workdays(Id id, const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    const bool intl = id == Id::NetworkDaysIntl || id == Id::WorkDayIntl;
    const Number first = number(0, 0);
    const Number second = number(1, 0);
    if (first.failed())
        return Operand::of(first.failure);
    if (second.failed())
        return Operand::of(second.failure);
    Weekend weekend{};
    weekend[0] = weekend[6] = true;
    if (intl && argc > 2 && !args[2].missing) {
        CellValue failure;
        const auto days = weekendOf(scalar(args[2], at), failure);
        if (!days)
            return Operand::of(failure);
        weekend = *days;
    }
    std::set<double> holidays;
    const int holidayArg = intl ? 3 : 2;
    if (argc > holidayArg && !args[holidayArg].missing) {
        CellValue failure;
        // Numbers; in an array or a typed value also texts that hold dates.
        forEachValueOf(args[holidayArg], [&](const CellValue& v) {
            if (v.type == Type::Number) {
                holidays.insert(std::floor(v.number));
            } else if (v.type == Type::Error || !args[holidayArg].ref) {
                const Number h = Number::of(v);
                if (h.failed())
                    failure = h.failure;
                else
                    holidays.insert(std::floor(h.value));
            }
            return !isError(failure);
        });
        if (isError(failure))
            return Operand::of(failure);
    }
    const double start = std::floor(first.value);
    if (!SerialDate::fromSerial(start, date1904_))
        return Operand::of(error("#NUM!"));
    auto working = [&](double d) {
        return !weekend[std::size_t(SerialDate::weekday(d, date1904_))] && !holidays.count(d);
    };

    if (id == Id::NetworkDays || id == Id::NetworkDaysIntl) {
        const double end = std::floor(second.value);
        if (!SerialDate::fromSerial(end, date1904_))
            return Operand::of(error("#NUM!"));
        double count = 0;
        for (double d = std::min(start, end); d <= std::max(start, end); ++d)
            count += working(d) ? 1 : 0;
        return Operand::of(CellValue::fromNumber(start <= end ? count : -count));
    }
    // WORKDAY: the date so many working days on (back, when negative); 0 days is the start.
    const double steps = std::trunc(second.value);
    if (std::fabs(steps) > SerialDate::maxSerial(date1904_))
        return Operand::of(error("#NUM!"));
    const double direction = steps < 0 ? -1 : 1;
    double day = start;
    for (double left = std::fabs(steps); left > 0;) {
        day += direction;
        if (day < 0 || day > SerialDate::maxSerial(date1904_))
            return Operand::of(error("#NUM!"));
        if (working(day))
            --left;
    }
    return Operand::of(CellValue::fromNumber(day));
}

} // namespace platform::sheet
