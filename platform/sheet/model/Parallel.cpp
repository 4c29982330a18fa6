// Work shared between threads, one index at a time.
#include "platform/sheet/model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::sheet {

void runParallel(std::size_t count, const std::function<void(std::size_t)>& work) {
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                std::lock_guard<std::mutex> guard(failureLock);
                if (!failure)
                    failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& thread : pool)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace platform::sheet
