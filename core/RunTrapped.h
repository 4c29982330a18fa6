// Runs an event handler's work and shows a failure in the program's generic error message
// ("Error n has occured. ..."), so the operation ends and the program goes on, as the data
// windows do with every failure they catch.
#pragma once

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"

#include <exception>

namespace core {

// True when the work ran to its end.
template <class Work> bool RunTrapped(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
        return false;
    }
}

} // namespace core
