// Runs an event handler's work and shows a failure in the program's generic error message
// ("Error n has occured. ..."), so the operation ends and the program goes on, as the data
// windows do with every failure they catch.
#pragma once

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"

#include <exception>

namespace core {

// True when the work ran to its end. The message bears the program's title unless another is given
// (the add-in's windows show their failures under the add-in library's title).
template <class Work> bool RunTrapped(Work&& work, const QString& title = appTitle()) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        ShowErrorMessage(error, title);
        return false;
    }
}

} // namespace core
