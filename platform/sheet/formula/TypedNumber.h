// Texts that the spreadsheet program, in the English (United States) convention, takes for a
// number when they are typed into a cell or met where a formula wants a number: plain and
// signed numbers, thousands separators ("1,000.5"), percentages ("12.5%"), dollar amounts
// ("$5", "-$1,200.50", "($5)"), exponents ("1E3"), fractions ("1 1/2"), dates ("1/31/2026",
// "2026-01-31", "31-Jan-2026", "Jan 31, 2026", "1/31" in the current year), times ("10:30",
// "10:30:15 PM", "25:30") and a date with a time. Each comes with the number format the
// program gives the cell it is typed into, so that the number shows as it was typed.
#pragma once

#include <QStringView>
#include <optional>
#include <string>

namespace platform::sheet {

struct TypedNumber {
    enum class Look {
        General,
        Thousands,     // #,##0
        Thousands2,    // #,##0.00
        Percent,       // 0%
        Percent2,      // 0.00%
        Scientific,    // 0.00E+00
        Currency,      // "$"#,##0_);("$"#,##0)
        Currency2,     // "$"#,##0.00_);("$"#,##0.00)
        Fraction,      // # ?/?
        Fraction2,     // # ??/??
        Date,          // m/d/yyyy
        DayMonthYear,  // d-mmm-yy
        DayMonth,      // d-mmm
        MonthYear,     // mmm-yy
        Time,          // h:mm
        TimeSeconds,   // h:mm:ss
        Time12,        // h:mm AM/PM
        Time12Seconds, // h:mm:ss AM/PM
        DateTime,      // m/d/yyyy h:mm
        ElapsedTime,   // [h]:mm:ss
    };

    double value = 0;
    Look look = Look::General;

    // Nothing when the text is no number as the program reads typing. `currentYear` is the
    // year of a date typed without one.
    static std::optional<TypedNumber> parse(QStringView text, int currentYear);
    // The same, with the current year of the clock.
    static std::optional<TypedNumber> parse(QStringView text);

    // Whether the text held a date (with or without a time of day).
    bool isDate() const;
    // The value in a workbook's date system: a date read in the 1904 system counts 1462 days
    // less; nothing for a date before that system's first day.
    std::optional<double> valueIn(bool date1904) const;

    // The number format the look stands for: a built-in format by its id, or a custom code
    // (with id 0) where the built-in id would mean something else in other languages.
    struct Format {
        int builtinId = 0;
        std::string code;
    };
    static Format format(Look look);
};

} // namespace platform::sheet
