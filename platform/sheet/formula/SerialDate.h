// Dates and times as the spreadsheet program counts them: a serial number of days, whole days
// for the date and the fraction for the time of day. Day 1 is 1 January 1900, and day 60 is the
// 29 February 1900 that the program counts although there was none, so that every later date
// keeps the number the program gives it. The largest date is 31 December 9999. Workbooks kept
// in the 1904 date system count from 1 January 1904 as day 0 instead: the same day has a serial
// 1462 smaller there, and no serial below 0.
#pragma once

#include <optional>

namespace platform::sheet {

struct SerialDate {
    int year = 1900;
    int month = 1;
    int day = 1;

    static constexpr double kMaxSerial = 2958465; // 31 December 9999
    static constexpr double kOffset1904 = 1462;   // day 0 of the 1904 system in the 1900 system

    // The serial of a real date (year 1900 to 9999, month 1 to 12, a day of that month); nothing
    // for any other, and in the 1904 system nothing before 1 January 1904.
    static std::optional<double> serial(int year, int month, int day, bool date1904 = false);
    // The serial of a date whose month and day may lie outside their ranges: month 13 is January
    // of the next year, day 0 the last day of the month before (as DATE counts). Nothing when the
    // result lies outside the range of dates.
    static std::optional<double> normalized(long long year, long long month, long long day,
                                            bool date1904 = false);
    // The date of a serial (its whole days); nothing below 0 or above the last date. Serial 0
    // is the day before 1 January 1900 ("0 January 1900"), in the 1904 system 1 January 1904.
    static std::optional<SerialDate> fromSerial(double serial, bool date1904 = false);
    // The largest serial of the date system.
    static double maxSerial(bool date1904) { return date1904 ? kMaxSerial - kOffset1904 : kMaxSerial; }

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);
    // Days since 1 January 1970 of a real date (any year), and back.
    static long long civilDays(int year, int month, int day);
    static SerialDate fromCivilDays(long long days);
    // 0 Sunday .. 6 Saturday of a serial.
    static int weekday(double serial, bool date1904 = false);
};

} // namespace platform::sheet
