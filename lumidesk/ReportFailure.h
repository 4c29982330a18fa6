// Shows the program's error message for a failure caught in a window's handler: the data
// store library's errors and the database layer's with their own number and description,
// anything else with the general number.
#pragma once

#include <exception>

namespace lumidesk {

void ReportFailure(const std::exception& error);

} // namespace lumidesk
