#pragma once
// Jobs that each write bytes, run on a few worker threads at once and handed out in the
// order they were queued: blocks of CSV records formatted on every core and written in
// record order. Where no thread can be started the jobs run on the caller's thread.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace varnex {

class OrderedWork {
public:
    using Job = std::function<void(std::string& out)>;

    // workers: 0 for one a processor.
    explicit OrderedWork(unsigned workers = 0);
    // Drops the jobs not yet started and waits for the running ones.
    ~OrderedWork();
    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    // Queues a job. The one who takes the bytes queues too, so it never waits here: it keeps
    // the queue short by taking the oldest first while full().
    void submit(Job job);
    // The bytes of the oldest job not yet taken, waiting for it to finish; false when no job
    // is queued. An exception the job threw comes out here.
    bool next(std::string& out);
    // The same, but only where that job has finished already.
    bool nextIfDone(std::string& out);
    size_t queued() const;
    // Enough jobs queued to keep every worker busy while the oldest is written.
    bool full() const;

private:
    struct Slot {
        Job job;
        std::string bytes;
        std::exception_ptr failure;
        bool started = false;
        bool done = false;
    };

    void work();
    bool take(std::unique_lock<std::mutex>& lock, std::string& out);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Slot> slots_;  // in queued order; the front is the next to be taken
    std::vector<std::string> spare_;  // buffers of taken jobs, for the next ones
    size_t window_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace varnex
