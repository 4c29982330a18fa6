// A number written in a number format of the spreadsheet program, as its TEXT function does: up
// to four sections (positive; negative; zero; text), digit places 0 # ?, the decimal point,
// thousands separators (and a trailing comma for thousands), percent, literal texts in quotes or
// after a backslash, and the date and time codes y m d h s with AM/PM. "General" writes the number
// as a cell shows it; "@" the text itself.
#pragma once

#include <QString>
#include <optional>

namespace platform::sheet {

class NumberFormat {
public:
    // The number in the format; nothing when the format cannot be read.
    static std::optional<QString> format(double value, const QString& pattern);
    // A text in the format: its text section (or "@"), else the text as it is.
    static QString formatText(const QString& text, const QString& pattern);
};

} // namespace platform::sheet
