// Runs independent pieces of work on all processor cores: the worksheets of a workbook are
// parsed and compressed side by side. The first exception a piece throws is passed on to the
// caller once every piece has ended. Work that is known to be small -- the parts of a small
// workbook -- is done on the caller's thread alone: handing it out would cost more than it saves,
// the more so on a busy machine, where the caller would wait for a worker that is not running.
#pragma once

#include <cstddef>
#include <functional>

namespace platform::sheet {

void runParallel(std::size_t count, const std::function<void(std::size_t)>& work);

// The same for pieces that handle `bytes` bytes in all: below kParallelBytes they run one after
// the other on the caller's thread.
constexpr std::size_t kParallelBytes = 256 * 1024;
void runParallel(std::size_t count, std::size_t bytes, const std::function<void(std::size_t)>& work);

} // namespace platform::sheet
