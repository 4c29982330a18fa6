// Serial dates of the 1900 and the 1904 date systems.
#include "platform/sheet/formula/SerialDate.h"

#include <cmath>
#include <cstdlib>

namespace platform::sheet {

namespace {

// 31 December 1899 in days since 1970: the serial of a date after February 1900 is one less
// than its distance from it, because of the 29 February 1900 that is counted.
const long long kDec31_1899 = SerialDate::civilDays(1899, 12, 31);

} // namespace

bool SerialDate::isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int SerialDate::daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year))
        return 29;
    return days[(month - 1) % 12];
}

// Days from civil: the proleptic Gregorian calendar counted in eras of 400 years.
long long SerialDate::civilDays(int year, int month, int day) {
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

SerialDate SerialDate::fromCivilDays(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    return SerialDate{int(year), month, day};
}

std::optional<double> SerialDate::serial(int year, int month, int day, bool date1904) {
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    if (date1904) {
        const auto s = serial(year, month, day);
        if (!s || *s < kOffset1904)
            return std::nullopt;
        return *s - kOffset1904;
    }
    if (year == 1900 && month == 2 && day == 29)
        return 60.0;
    if (day > daysInMonth(year, month))
        return std::nullopt;
    const double s = double(civilDays(year, month, day) - kDec31_1899);
    return s < 60 ? s : s + 1;
}

std::optional<double> SerialDate::normalized(long long year, long long month, long long day, bool date1904) {
    if (year < 0 || year > 9999 || std::llabs(month) > 1000000 || std::llabs(day) > 100000000)
        return std::nullopt;
    // Months beyond December or before January move the year; days count on from the first of
    // the month, over the serials (which hold 29 February 1900 as a day like any other).
    const long long m = month - 1;
    year += m >= 0 ? m / 12 : -((11 - m) / 12);
    const int monthOfYear = int(((m % 12) + 12) % 12) + 1;
    if (year < 1900 || year > 9999)
        return std::nullopt;
    const double s = *serial(int(year), monthOfYear, 1) + double(day - 1) - (date1904 ? kOffset1904 : 0);
    if (s < 0 || s > maxSerial(date1904))
        return std::nullopt;
    return s;
}

std::optional<SerialDate> SerialDate::fromSerial(double serial, bool date1904) {
    if (!(serial >= 0) || serial >= maxSerial(date1904) + 1)
        return std::nullopt;
    if (date1904)
        return fromSerial(serial + kOffset1904);
    const long long whole = (long long)std::floor(serial);
    if (whole == 0)
        return SerialDate{1900, 1, 0};
    if (whole == 60)
        return SerialDate{1900, 2, 29};
    return fromCivilDays(kDec31_1899 + (whole < 60 ? whole : whole - 1));
}

int SerialDate::weekday(double serial, bool date1904) {
    // Serial 1 (1 January 1900) counts as a Sunday, as the program counts it.
    const long long whole = (long long)std::floor(serial) + (date1904 ? (long long)kOffset1904 : 0);
    return int(((whole - 1) % 7 + 7) % 7);
}

} // namespace platform::sheet
