// The generic error message ("Error " n " has occured. " ...) for the failures the routines of
// the user files and the update run meet: a workbook error shows the number a spreadsheet
// program gives (1004, or 9 for a missing sheet) with the layer's description, a database
// error its own number, anything else the general number with its text.
#pragma once

#include "core/AppTitle.h"

#include <QString>
#include <exception>

namespace workbooks {

void ReportError(const std::exception& error);

// The failure's description as the message shows it (without its number), for an errors row.
QString ErrorDescription(const std::exception& error);

// The same with what failed said first ("The user file '/b/North/Sales.xlsx' cannot be read: "),
// so that the message names the file it is about. The title is the box's, the edition's
// application title unless the caller names one.
void ReportError(const std::exception& error, const QString& what,
                 const QString& title = core::applicationTitle());

} // namespace workbooks
