// Runs a handler's work of the worksheet tabs; a failure shows the generic message ("Error n has
// occured. ..."), with the number the workbook layer or the database gives, under the title the
// handler names, and the handler goes on.
#pragma once

#include "workbooks/ReportError.h"

#include <QString>
#include <exception>

namespace lumicell {

// True when the work ran to its end.
template <class Work> bool RunReported(Work&& work, const QString& title) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        workbooks::ReportError(error, {}, title);
        return false;
    }
}

} // namespace lumicell
