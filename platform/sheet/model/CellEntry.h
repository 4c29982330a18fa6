// What a typed write into a cell means, read the way a spreadsheet program reads what the user
// types in the English (United States) convention: a leading "=" makes a formula; a number, a
// percentage, a dollar amount, a date or a time becomes a number, with the number format that
// shows it as typed; TRUE and FALSE truth values; an error code an error value; a leading
// apostrophe forces text; anything else is text.
#pragma once

#include "platform/sheet/CellValue.h"
#include "platform/sheet/formula/TypedNumber.h"

#include <QString>

namespace platform::sheet {

struct CellEntry {
    bool isFormula = false;
    QString formula; // without the leading "=" when isFormula
    CellValue value; // the constant otherwise (Empty for an empty text)
    // How a typed number looked; General for anything else.
    TypedNumber::Look look = TypedNumber::Look::General;

    // A date counts in the 1904 date system when date1904 is set; a date before that system's
    // first day stays text.
    static CellEntry parse(const QString& typed, bool date1904 = false);
};

} // namespace platform::sheet
