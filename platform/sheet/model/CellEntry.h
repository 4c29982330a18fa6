// What a typed write into a cell means, read the way a spreadsheet program reads what the user
// types: a leading "=" makes a formula, a number becomes a number, TRUE and FALSE truth values,
// an error code an error value, a leading apostrophe forces text, anything else is text.
#pragma once

#include "platform/sheet/CellValue.h"

#include <QString>

namespace platform::sheet {

struct CellEntry {
    bool isFormula = false;
    QString formula; // without the leading "=" when isFormula
    CellValue value; // the constant otherwise (Empty for an empty text)

    static CellEntry parse(const QString& typed);
};

} // namespace platform::sheet
