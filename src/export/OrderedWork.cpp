#include "export/OrderedWork.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace varnex {

OrderedWork::OrderedWork(unsigned workers)
{
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    window_ = 2 * static_cast<size_t>(workers) + 1;
    try {
        for (unsigned i = 0; i < workers; ++i)
            threads_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // No (more) threads to be had: those started do the work, or the caller does.
    }
}

OrderedWork::~OrderedWork()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void OrderedWork::submit(Job job)
{
    std::unique_lock lock(mutex_);
    Slot& slot = slots_.emplace_back();
    slot.job = std::move(job);
    if (!spare_.empty()) {
        slot.bytes = std::move(spare_.back());
        spare_.pop_back();
    }
    if (threads_.empty()) {
        slot.started = true;
        lock.unlock();
        try {
            slot.job(slot.bytes);
        } catch (...) {
            slot.failure = std::current_exception();
        }
        lock.lock();
        slot.done = true;
        return;
    }
    lock.unlock();
    changed_.notify_all();
}

void OrderedWork::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        auto waiting = slots_.end();
        changed_.wait(lock, [&] {
            waiting = std::find_if(slots_.begin(), slots_.end(), [](const Slot& slot) { return !slot.started; });
            return stopping_ || waiting != slots_.end();
        });
        if (stopping_)
            return;
        Slot& slot = *waiting;  // stays in place until it is taken, which waits for done
        slot.started = true;
        Job job = std::move(slot.job);
        std::string bytes = std::move(slot.bytes);
        lock.unlock();
        std::exception_ptr failure;
        try {
            job(bytes);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        slot.bytes = std::move(bytes);
        slot.failure = failure;
        slot.done = true;
        changed_.notify_all();
    }
}

bool OrderedWork::take(std::unique_lock<std::mutex>& lock, std::string& out)
{
    Slot& front = slots_.front();
    std::swap(out, front.bytes);
    const std::exception_ptr failure = front.failure;
    front.bytes.clear();
    spare_.push_back(std::move(front.bytes));
    slots_.pop_front();
    lock.unlock();
    changed_.notify_all();
    if (failure)
        std::rethrow_exception(failure);
    return true;
}

bool OrderedWork::next(std::string& out)
{
    std::unique_lock lock(mutex_);
    if (slots_.empty())
        return false;
    changed_.wait(lock, [this] { return slots_.front().done; });
    return take(lock, out);
}

bool OrderedWork::nextIfDone(std::string& out)
{
    std::unique_lock lock(mutex_);
    if (slots_.empty() || !slots_.front().done)
        return false;
    return take(lock, out);
}

size_t OrderedWork::queued() const
{
    const std::lock_guard lock(mutex_);
    return slots_.size();
}

bool OrderedWork::full() const
{
    return queued() >= window_;
}

}  // namespace varnex
