// The date and time functions on the spreadsheet program's serial dates (see SerialDate), in the
// workbook's date system: DATE, YEAR, MONTH, DAY, EOMONTH, EDATE, DATEDIF, DAYS, DAYS360, WEEKDAY,
// WEEKNUM, ISOWEEKNUM, YEARFRAC, DATEVALUE, TIME, HOUR, MINUTE, SECOND, TIMEVALUE, TODAY and NOW
// (the working days are in FunctionsWorkdays.cpp). A date outside the date system's range (from 1 January
// 1900, or 1904, to 31 December 9999) is #NUM!; TODAY and NOW read the clock at every calculation
// (they count as formulas that change by themselves).
#include "platform/sheet/formula/EvaluatorValues.h"
#include "platform/sheet/formula/SerialDate.h"

#include <QDateTime>

namespace platform::sheet {

using namespace evaluation;

namespace {

bool isLeap(int year) {
    return SerialDate::isLeapYear(year);
}

// The 30/360 day counts: YEARFRAC's bases 0 (US) and 4 (European), and DAYS360's US method, where a
// start on the last day of a month counts as the 30th, and an end on the 31st as the 30th when
// the start is the 30th (else as the 1st of the next month: 31 days into its own).
enum class ThirtyDays { UsBasis, European, Days360 };

double days360(SerialDate a, SerialDate b, ThirtyDays method) {
    int d1 = a.day;
    int d2 = b.day;
    if (method == ThirtyDays::Days360) {
        if (d1 == SerialDate::daysInMonth(a.year, a.month) || d1 == 31)
            d1 = 30;
        if (d2 == 31 && d1 == 30)
            d2 = 30;
    } else if (method == ThirtyDays::European) {
        d1 = std::min(d1, 30);
        d2 = std::min(d2, 30);
    } else {
        const bool aLastOfFebruary = a.month == 2 && a.day == SerialDate::daysInMonth(a.year, 2);
        const bool bLastOfFebruary = b.month == 2 && b.day == SerialDate::daysInMonth(b.year, 2);
        if (aLastOfFebruary && bLastOfFebruary)
            d2 = 30;
        if (aLastOfFebruary)
            d1 = 30;
        if (d2 == 31 && d1 >= 30)
            d2 = 30;
        if (d1 == 31)
            d1 = 30;
    }
    return (b.year - a.year) * 360.0 + (b.month - a.month) * 30.0 + (d2 - d1);
}

// YEARFRAC's actual/actual basis as the spreadsheet program counts it.
double actualActual(double start, double end, SerialDate a, SerialDate b) {
    const double days = end - start;
    const bool withinAYear =
        a.year == b.year ||
        (b.year == a.year + 1 && (b.month < a.month || (b.month == a.month && b.day <= a.day)));
    if (withinAYear) {
        bool leap = false;
        if (a.year == b.year)
            leap = isLeap(a.year);
        else if (isLeap(a.year))
            leap = a.month <= 2;
        else if (isLeap(b.year))
            leap = b.month > 2 || (b.month == 2 && b.day == 29);
        return days / (leap ? 366.0 : 365.0);
    }
    double yearDays = 0;
    for (int y = a.year; y <= b.year; ++y)
        yearDays += isLeap(y) ? 366 : 365;
    return days / (yearDays / (b.year - a.year + 1));
}

} // namespace

FormulaEvaluator::Operand FormulaEvaluator::dates(Id id, const Operand* args, int argc, CellRef at) const {
    auto number = [&](int i, double whenMissing) {
        return Number::of(i < argc && !args[i].missing ? scalar(args[i], at)
                                                       : CellValue::fromNumber(whenMissing));
    };
    auto dateResult = [](std::optional<double> serial) {
        return Operand::of(serial ? CellValue::fromNumber(*serial) : error("#NUM!"));
    };
    switch (id) {
    case Id::Today:
    case Id::Now: {
        const QDateTime now = QDateTime::currentDateTime();
        const QDate d = now.date();
        const auto serial = SerialDate::serial(d.year(), d.month(), d.day(), date1904_);
        if (!serial)
            return Operand::of(error("#NUM!"));
        const double time = id == Id::Now ? now.time().msecsSinceStartOfDay() / 86400000.0 : 0;
        return Operand::of(CellValue::fromNumber(*serial + time));
    }
    case Id::NetworkDays:
    case Id::NetworkDaysIntl:
    case Id::WorkDay:
    case Id::WorkDayIntl:
        return workdays(id, args, argc, at);
    case Id::Time: {
        // Hours, minutes and seconds (whole), carried over; a day and more wraps around.
        Number parts[3] = {number(0, 0), number(1, 0), number(2, 0)};
        double total = 0;
        for (int i = 0; i < 3; ++i) {
            if (parts[i].failed())
                return Operand::of(parts[i].failure);
            const double whole = std::trunc(parts[i].value);
            if (whole > 32767)
                return Operand::of(error("#NUM!"));
            total += whole * (i == 0 ? 3600 : i == 1 ? 60 : 1);
        }
        if (total < 0)
            return Operand::of(error("#NUM!"));
        return Operand::of(numberResult(std::fmod(total, 86400) / 86400));
    }
    case Id::Hour:
    case Id::Minute:
    case Id::Second: {
        // Of the time of day, to the nearest second.
        const Number x = number(0, 0);
        if (x.failed())
            return Operand::of(x.failure);
        if (x.value < 0 || x.value > SerialDate::maxSerial(date1904_) + 1)
            return Operand::of(error("#NUM!"));
        const long long seconds = std::llround((x.value - std::floor(x.value)) * 86400) % 86400;
        const long long part = id == Id::Hour     ? seconds / 3600
                               : id == Id::Minute ? seconds / 60 % 60
                                                  : seconds % 60;
        return Operand::of(CellValue::fromNumber(double(part)));
    }
    case Id::DateValue:
    case Id::TimeValue: {
        // A text holding a date (DATEVALUE: its day) or a time (TIMEVALUE: its time of day).
        const CellValue v = argc > 0 ? scalar(args[0], at) : CellValue();
        if (isError(v))
            return Operand::of(v);
        const auto typed = v.type == Type::Text ? TypedNumber::parse(v.text) : std::nullopt;
        const auto serial = typed ? typed->valueIn(date1904_) : std::nullopt;
        if (!serial || typed->look == TypedNumber::Look::General || *serial < 0 ||
            (id == Id::DateValue && !typed->isDate()))
            return Operand::of(error("#VALUE!"));
        const double day = std::floor(*serial);
        return Operand::of(numberResult(id == Id::DateValue ? day : *serial - day));
    }
    case Id::Date: {
        Number parts[3] = {number(0, 0), number(1, 0), number(2, 0)};
        for (const Number& n : parts)
            if (n.failed())
                return Operand::of(n.failure);
        long long year = (long long)std::trunc(parts[0].value);
        if (year >= 0 && year < 1900)
            year += 1900;
        return dateResult(SerialDate::normalized(year, (long long)std::trunc(parts[1].value),
                                                 (long long)std::trunc(parts[2].value), date1904_));
    }
    default:
        break;
    }

    const Number first = number(0, 0);
    if (first.failed())
        return Operand::of(first.failure);
    const auto date = SerialDate::fromSerial(first.value, date1904_);
    if (!date)
        return Operand::of(error("#NUM!"));
    switch (id) {
    case Id::Year:
        return Operand::of(CellValue::fromNumber(date->year));
    case Id::Month:
        return Operand::of(CellValue::fromNumber(date->month));
    case Id::Day:
        return Operand::of(CellValue::fromNumber(date->day));
    case Id::WeekNum:
    case Id::IsoWeekNum: {
        const Number type = number(1, 1);
        if (type.failed())
            return Operand::of(type.failure);
        const int kind = id == Id::IsoWeekNum ? 21 : int(std::trunc(type.value));
        const double day = std::floor(first.value);
        const double jan1 = SerialDate::serial(date->year, 1, 1, date1904_).value_or(0);
        const double dayOfYear = day - jan1; // from 0
        if (kind == 21) {
            // ISO weeks begin on Monday; week 1 holds the year's first Thursday.
            const int weekday = (SerialDate::weekday(day, date1904_) + 6) % 7 + 1; // Monday 1
            const double week = std::floor((dayOfYear + 1 - weekday + 10) / 7);
            if (week < 1) {
                const double lastYear = jan1 - 1;
                const auto d = SerialDate::fromSerial(lastYear, date1904_);
                const double start = d ? SerialDate::serial(d->year, 1, 1, date1904_).value_or(0) : lastYear;
                const int wd = (SerialDate::weekday(lastYear, date1904_) + 6) % 7 + 1;
                return Operand::of(CellValue::fromNumber(std::floor((lastYear - start + 1 - wd + 10) / 7)));
            }
            const int daysInYear = SerialDate::isLeapYear(date->year) ? 366 : 365;
            if (week == 53 && dayOfYear + 1 - weekday + 4 > daysInYear)
                return Operand::of(CellValue::fromNumber(1));
            return Operand::of(CellValue::fromNumber(week));
        }
        // Week 1 holds 1 January; weeks begin on the type's day (1 Sunday, 2 Monday, 11..17 Monday..Sunday).
        int begins = -1;
        if (kind == 1 || kind == 17)
            begins = 0;
        else if (kind == 2 || kind == 11)
            begins = 1;
        else if (kind >= 12 && kind <= 16)
            begins = kind - 10;
        if (begins < 0)
            return Operand::of(error("#NUM!"));
        const int offset = (SerialDate::weekday(jan1, date1904_) - begins + 7) % 7;
        return Operand::of(CellValue::fromNumber(std::floor((dayOfYear + offset) / 7) + 1));
    }
    case Id::Weekday: {
        const Number type = number(1, 1);
        if (type.failed())
            return Operand::of(type.failure);
        const int w = SerialDate::weekday(first.value, date1904_); // 0 Sunday
        switch (int(type.value)) {
        case 1:
        case 17:
            return Operand::of(CellValue::fromNumber(w + 1));
        case 2:
        case 11:
            return Operand::of(CellValue::fromNumber((w + 6) % 7 + 1));
        case 3:
            return Operand::of(CellValue::fromNumber((w + 6) % 7));
        case 12:
        case 13:
        case 14:
        case 15:
        case 16: {
            const int startDay = int(type.value) - 10; // 2 Tuesday .. 6 Saturday
            return Operand::of(CellValue::fromNumber((w - startDay + 7) % 7 + 1));
        }
        default:
            return Operand::of(error("#NUM!"));
        }
    }
    case Id::EoMonth:
    case Id::EDate: {
        const Number months = number(1, 0);
        if (months.failed())
            return Operand::of(months.failure);
        const long long total =
            (long long)date->year * 12 + (date->month - 1) + (long long)std::trunc(months.value);
        const long long year = total / 12;
        const int month = int(total % 12) + 1;
        if (year < 1900 || year > 9999)
            return Operand::of(error("#NUM!"));
        // Serial 0 of the 1900 system is "0 January 1900": the day before the first of the month
        // it moves to.
        if (date->day == 0 && id == Id::EDate)
            return dateResult(SerialDate::normalized(year, month, 0, date1904_));
        const int last = SerialDate::daysInMonth(int(year), month);
        return dateResult(SerialDate::serial(
            int(year), month, id == Id::EoMonth ? last : std::min(date->day, last), date1904_));
    }
    default:
        break;
    }

    const Number second = number(1, 0);
    if (second.failed())
        return Operand::of(second.failure);
    const auto other = SerialDate::fromSerial(second.value, date1904_);
    if (!other)
        return Operand::of(error("#NUM!"));
    const double start = std::floor(first.value);
    const double end = std::floor(second.value);
    switch (id) {
    case Id::Days:
        return Operand::of(CellValue::fromNumber(std::floor(first.value) - std::floor(second.value)));
    case Id::Days360: {
        CellValue failure;
        const bool european = argc > 2 && !args[2].missing && truthOf(scalar(args[2], at), failure);
        if (isError(failure))
            return Operand::of(failure);
        return Operand::of(
            numberResult(days360(*date, *other, european ? ThirtyDays::European : ThirtyDays::Days360)));
    }
    case Id::DateDif: {
        const CellValue unitValue = argc > 2 && !args[2].missing ? scalar(args[2], at) : CellValue();
        if (isError(unitValue))
            return Operand::of(unitValue);
        const QString unit = textOf(unitValue).toUpper();
        if (start > end)
            return Operand::of(error("#NUM!"));
        const SerialDate& a = *date;
        const SerialDate& b = *other;
        int months = (b.year - a.year) * 12 + (b.month - a.month) - (b.day < a.day ? 1 : 0);
        if (unit == u"Y")
            return Operand::of(CellValue::fromNumber(months / 12));
        if (unit == u"M")
            return Operand::of(CellValue::fromNumber(months));
        if (unit == u"D")
            return Operand::of(CellValue::fromNumber(end - start));
        if (unit == u"YM")
            return Operand::of(CellValue::fromNumber(months % 12));
        if (unit == u"MD") {
            if (b.day >= a.day)
                return Operand::of(CellValue::fromNumber(b.day - a.day));
            const int prevMonth = b.month == 1 ? 12 : b.month - 1;
            const int prevYear = b.month == 1 ? b.year - 1 : b.year;
            return Operand::of(
                CellValue::fromNumber(SerialDate::daysInMonth(prevYear, prevMonth) - a.day + b.day));
        }
        if (unit == u"YD") {
            // Days from the start's day and month in the last year not after the end.
            int year = b.year;
            if (b.month < a.month || (b.month == a.month && b.day < a.day))
                --year;
            const int day = std::min(a.day, SerialDate::daysInMonth(year, a.month));
            const auto from = SerialDate::serial(year, a.month, day, date1904_);
            return Operand::of(from ? CellValue::fromNumber(end - *from) : error("#NUM!"));
        }
        return Operand::of(error("#NUM!"));
    }
    case Id::YearFrac: {
        const Number basis = number(2, 0);
        if (basis.failed())
            return Operand::of(basis.failure);
        const bool reversed = start > end;
        const double s = reversed ? end : start;
        const double e = reversed ? start : end;
        const SerialDate a = reversed ? *other : *date;
        const SerialDate b = reversed ? *date : *other;
        switch (int(std::trunc(basis.value))) {
        case 0:
            return Operand::of(numberResult(days360(a, b, ThirtyDays::UsBasis) / 360));
        case 1:
            return Operand::of(numberResult(actualActual(s, e, a, b)));
        case 2:
            return Operand::of(numberResult((e - s) / 360));
        case 3:
            return Operand::of(numberResult((e - s) / 365));
        case 4:
            return Operand::of(numberResult(days360(a, b, ThirtyDays::European) / 360));
        default:
            return Operand::of(error("#NUM!"));
        }
    }
    default:
        break;
    }
    return Operand::of(error("#NAME?"));
}

} // namespace platform::sheet
