#pragma once
// Work that would hold up the window (filtering, profiling or copying a large
// table) runs here on a thread of its own, one piece at a time. The work returns
// what is to be done with its result, which then runs on this object's thread.
// Starting new work cancels the running one; the result of work that was
// cancelled or superseded is never delivered.

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

private:
    void stopRunning();

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    uint64_t generation_ = 0;
    bool busy_ = false;
};

}  // namespace varnex
