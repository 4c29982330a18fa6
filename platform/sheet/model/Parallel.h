// Runs independent pieces of work on all processor cores: the worksheets of a workbook are
// parsed and compressed side by side. The first exception a piece throws is passed on to the
// caller once every piece has ended.
#pragma once

#include <cstddef>
#include <functional>

namespace platform::sheet {

void runParallel(std::size_t count, const std::function<void(std::size_t)>& work);

} // namespace platform::sheet
