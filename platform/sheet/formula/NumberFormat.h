// A number written in a number format of the spreadsheet program, as its TEXT function and its
// cells show it: up to four sections (positive; negative; zero; text), or sections chosen by
// conditions ("[<10]0.0;0", a number no section takes shown in General); digit places 0 # ?
// with the decimal point, thousands separators (spaces beside ? places) and scaling commas,
// percent, scientific notation (E+ E- e+ e-, the exponent a multiple of the whole places),
// fractions ("# ?/?", "0/100", literals between their parts), literal texts in quotes, after a
// backslash or as spaces ("_)"), currency tags ("[$€-407]"), the date and time codes y m d h s
// with AM/PM and A/P, elapsed time ([h] [m] [s], negative too) and fractions of a second;
// "General" writes the number in at most 11 characters as a cell shows it, "@" the text itself.
// Also the General form on its own with up to 15 digits, which is how a number becomes a text
// wherever a formula needs one.
#pragma once

#include <QString>
#include <optional>

namespace platform::sheet {

class NumberFormat {
public:
    // The number in the format; nothing when the number cannot be shown in it (a negative
    // date). Dates count in the 1904 system when date1904 is set.
    static std::optional<QString> format(double value, const QString& pattern, bool date1904 = false);
    // A text, or a truth value as its text, in the format: its text section (or a single section
    // holding "@"), else the text as it is.
    static QString formatText(const QString& text, const QString& pattern);

    // The General form of a number that becomes a text: at most 15 significant digits, a
    // decimal form from 1E-9 to below 1E+11, scientific notation outside it ("1E+11",
    // "1.5E-10").
    static QString general(double value);
};

} // namespace platform::sheet
