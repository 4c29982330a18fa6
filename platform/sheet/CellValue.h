// The value of one cell as callers see it: empty, a number, a text, a truth value or an error
// value ("#DIV/0!"). A formula cell's value is its last calculated result.
#pragma once

#include <QString>

namespace platform::sheet {

struct CellValue {
    enum class Type : unsigned char { Empty, Number, Text, Boolean, Error };

    Type type = Type::Empty;
    double number = 0; // Number; Boolean as 0 or 1
    QString text;      // Text; Error holds its code, such as "#N/A"

    static CellValue fromNumber(double value) { return {Type::Number, value, {}}; }
    static CellValue fromText(QString value) { return {Type::Text, 0, std::move(value)}; }
    static CellValue fromBoolean(bool value) { return {Type::Boolean, value ? 1.0 : 0.0, {}}; }
    static CellValue fromError(QString code) { return {Type::Error, 0, std::move(code)}; }

    bool isEmpty() const { return type == Type::Empty; }
    bool boolean() const { return number != 0; }

    // The cell's text as the formula table gives it for a constant: a number in the general
    // form (at most 15 significant digits, "1E+20"), TRUE or FALSE, the error code, the text.
    QString toText() const;

    // The general form of a number on its own.
    static QString numberText(double value);

    // The error codes a cell can hold, in the order of their numeric codes.
    static bool isErrorCode(QStringView text);

    friend bool operator==(const CellValue& a, const CellValue& b) {
        return a.type == b.type && a.number == b.number && a.text == b.text;
    }
};

} // namespace platform::sheet
