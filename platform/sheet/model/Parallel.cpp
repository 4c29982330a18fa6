// Work shared between the threads of one pool, one index at a time. The pool's threads are
// started once, at the first piece of work that can use them, and wait for the next: a small
// workbook is opened and saved in a fraction of the time that starting and ending a thread per
// core would take (the stacks' mappings, and the processor-wide flushes their unmapping sets off).
#include "platform/sheet/model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::sheet {

namespace {

// One call's pieces: handed out by index to whichever thread asks next.
struct Job {
    Job(std::size_t count, const std::function<void(std::size_t)>& work)
        : count(count)
        , work(work) {}

    // Runs pieces until none is left to hand out; true when this thread ran the last one.
    bool runPieces() {
        bool last = false;
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                std::lock_guard<std::mutex> guard(failureLock);
                if (!failure)
                    failure = std::current_exception();
            }
            last = ++done == count;
        }
        return last;
    }
    bool handedOut() const { return next.load() >= count; }

    const std::size_t count;
    const std::function<void(std::size_t)>& work;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::exception_ptr failure;
    std::mutex failureLock;
};

class Pool {
public:
    explicit Pool(std::size_t threads) {
        for (std::size_t t = 0; t < threads; ++t)
            threads_.emplace_back([this] { serve(); });
    }

    ~Pool() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    std::size_t size() const { return threads_.size(); }

    // The caller works on its own job too, so a job finishes even when every pool thread is
    // busy elsewhere (another caller's job, or the job that called this one).
    void run(std::size_t count, const std::function<void(std::size_t)>& work) {
        auto job = std::make_shared<Job>(count, work);
        {
            std::lock_guard<std::mutex> guard(lock_);
            jobs_.push_back(job);
        }
        const std::size_t helpers = std::min(count - 1, threads_.size());
        for (std::size_t i = 0; i < helpers; ++i)
            wake_.notify_one();
        job->runPieces();
        std::unique_lock<std::mutex> guard(lock_);
        drop(job);
        finished_.wait(guard, [&] { return job->done.load() == count; });
        if (job->failure)
            std::rethrow_exception(job->failure);
    }

private:
    void serve() {
        std::unique_lock<std::mutex> guard(lock_);
        for (;;) {
            wake_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            std::shared_ptr<Job> job = jobs_.front();
            guard.unlock();
            const bool last = job->runPieces();
            guard.lock();
            drop(job);
            if (last)
                finished_.notify_all();
        }
    }

    // Takes a job whose pieces are all handed out off the queue (under the lock).
    void drop(const std::shared_ptr<Job>& job) {
        if (!job->handedOut())
            return;
        const auto at = std::find(jobs_.begin(), jobs_.end(), job);
        if (at != jobs_.end())
            jobs_.erase(at);
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

Pool& pool() {
    // One thread fewer than the cores: the caller is the last one.
    static Pool shared(std::max(1u, std::thread::hardware_concurrency()) - 1);
    return shared;
}

} // namespace

void runParallel(std::size_t count, std::size_t bytes, const std::function<void(std::size_t)>& work) {
    if (bytes >= kParallelBytes) {
        runParallel(count, work);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        work(i);
}

void runParallel(std::size_t count, const std::function<void(std::size_t)>& work) {
    if (count > 1 && std::thread::hardware_concurrency() > 1) {
        pool().run(count, work);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        work(i);
}

} // namespace platform::sheet
