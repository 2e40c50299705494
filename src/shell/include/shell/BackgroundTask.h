#pragma once
// Work that would hold up the window (filtering, profiling or copying a large
// table) runs here on a thread of its own, one piece at a time. The work returns
// what is to be done with its result, which then runs on this object's thread.
// Starting new work cancels the running one; the result of work that was
// cancelled or superseded is never delivered. A command that needs the result
// before it goes on can have it at once (finishNow).

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace varnex {

class BackgroundTask : public QObject {
    Q_OBJECT
public:
    using Finish = std::function<void()>;
    // Runs on the task's thread; should return soon after cancelled is set.
    using Work = std::function<Finish(const std::atomic<bool>& cancelled)>;

    explicit BackgroundTask(QObject* parent = nullptr);
    ~BackgroundTask() override;  // cancels the running work and waits for it to stop

    void start(Work work);
    void cancel();
    bool busy() const { return busy_; }
    // Waits for the running work to end (it is not cancelled) and does what it returned here
    // and now, rather than from the event loop later. Nothing happens when none runs.
    void finishNow();

private:
    void stopRunning();
    void deliver(uint64_t generation);

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    std::shared_ptr<Finish> result_;  // what the running work returned, once it has
    uint64_t generation_ = 0;
    bool busy_ = false;
};

}  // namespace varnex
