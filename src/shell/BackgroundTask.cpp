#include "shell/BackgroundTask.h"

#include <system_error>

namespace varnex {

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {}

BackgroundTask::~BackgroundTask()
{
    stopRunning();
}

void BackgroundTask::stopRunning()
{
    if (cancelled_)
        cancelled_->store(true);
    // Work looks at the flag often, so this waits a moment at most.
    if (thread_.joinable())
        thread_.join();
}

void BackgroundTask::cancel()
{
    if (cancelled_)
        cancelled_->store(true);
    ++generation_;
    busy_ = false;
}

void BackgroundTask::start(Work work)
{
    stopRunning();
    const uint64_t generation = ++generation_;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    auto result = std::make_shared<Finish>();
    result_ = result;
    busy_ = true;
    auto run = [this, generation, cancelled, result, work = std::move(work)] {
        *result = work(*cancelled);
        // Delivered through this object's event queue: dropped if it is gone by then, and the
        // destructor waits for this thread, so the object outlives the call.
        QMetaObject::invokeMethod(this, [this, generation] { deliver(generation); }, Qt::QueuedConnection);
    };
    try {
        thread_ = std::thread(run);
    } catch (const std::system_error&) {
        run();  // no thread to be had: the work runs here, its result still arrives later
    }
}

void BackgroundTask::deliver(uint64_t generation)
{
    if (generation != generation_)
        return;  // cancelled, superseded or finished already
    ++generation_;
    busy_ = false;
    const std::shared_ptr<Finish> result = std::move(result_);
    if (*result)
        (*result)();
}

void BackgroundTask::finishNow()
{
    if (!busy_)
        return;
    // The work was started after the last join, so this thread is the one doing it.
    if (thread_.joinable())
        thread_.join();
    deliver(generation_);  // the queued delivery then finds itself superseded
}

}  // namespace varnex
