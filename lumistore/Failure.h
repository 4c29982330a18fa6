// Internal: what the library makes of a failure. The exception being handled is read as a
// run-time error (number, source, description, the engine's own code and an SQL state);
// the clean-up and deletion classes raise it again as the library's one exception type, and
// cData collects it as an error of its connection.
#pragma once

#include "lumistore/DataSourceError.h"

#include <QString>
#include <QtGlobal>

namespace lumistore {

// The sources named for the two layers the library works through.
inline const QString kDatabaseSource = QStringLiteral("Lumivane database layer");
inline const QString kWorkbookSource = QStringLiteral("Lumivane workbook layer");

// The exception being handled as a run-time error; Number 0 and nothing else set when no
// exception is being handled.
DataSourceError currentFailure();

// Raises the exception being handled as a LumistoreError with its number and description.
// Only to be called inside a catch block.
[[noreturn]] void raiseCurrentFailure();

// Runs work and raises whatever it throws as a LumistoreError.
template <class Work> decltype(auto) raising(Work&& work) {
    try {
        return work();
    } catch (...) {
        raiseCurrentFailure();
    }
}

} // namespace lumistore
