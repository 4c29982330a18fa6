// The inside of NumberFormat: a pattern read into sections and each section into tokens
// (literals, digit places, date codes, ...), and the writers of one section -- digits (plain,
// scientific, fractions), dates and times -- with the General forms. Only the number-format
// code includes it.
#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace platform::sheet::numberformat {

enum class Kind {
    Literal,
    Digit,       // 0 # ?
    Point,       // .
    Comma,       // ,
    Percent,     // %
    Exponent,    // E+ E- e+ e- (text holds the letter and the sign as written)
    Slash,       // / between digit places
    Denominator, // a denominator written out: 4 in "# ?/4"
    TextCode,    // @
    General,
    DateCode, // a run of y, m, d, h or s
    AmPm,     // AM/PM or A/P as written
    Elapsed,  // [h] [mm] [ss]
};

struct Token {
    Kind kind;
    QString text;
};

struct Condition {
    enum class Op { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
    Op op = Op::Equal;
    double number = 0;
    bool matches(double v) const;
};

struct Section {
    std::vector<Token> tokens;
    std::optional<Condition> condition;
    bool isDate = false;
    bool hasElapsed = false;
    bool hasText = false;
};

// The sections of a pattern, split at semicolons outside quotes and brackets.
std::vector<Section> sectionsOf(const QString& pattern);

// A number (not negative) in a section of digit places, literals and General.
QString writeNumber(double value, const Section& section);
// A serial date and time in a date section; nothing for a date before the first day.
std::optional<QString> writeDate(double value, const Section& section, bool date1904);

// The General format as a cell shows it: at most 11 characters besides the sign, in scientific
// notation where the decimal form would not fit or would show fewer digits.
QString generalShown(double value);
// The General form of a number that becomes a text: up to 15 significant digits.
QString generalText(double value);

} // namespace platform::sheet::numberformat
