#pragma once
// One table's walk, shared by workers that each take the next stretch of its pages in turn: a
// worker walks and cracks its stretch (one worker at a time, in the pages' order), then decodes
// it while another walks the next, and hands its rows on once every earlier stretch has been
// handed on. Each stretch is decoded by the thread that read its pages, while they are
// still in its cache, and the rows reach the sink in the pages' order.

#include "TablePages.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>

namespace varnex::reader {

class SharedWalk {
public:
    SharedWalk(MdbHandle* mdb, MdbTableDef* table) : pages_(mdb, table) {}

    // The walk's turn, held while a stretch is walked.
    class Turn {
    public:
        explicit Turn(SharedWalk& walk) : walk_(walk), lock_(walk.walkMutex_) {}
        TablePages& pages() { return walk_.pages_; }
        // The next stretch's number; none once the pages are all walked or the walk is stopped.
        bool takeStretch(uint64_t& stretch)
        {
            if (walk_.walked_ || walk_.stopped())
                return false;
            stretch = walk_.nextStretch_++;
            return true;
        }
        // No page is left after the stretch being walked.
        void endOfPages() { walk_.walked_ = true; }

    private:
        SharedWalk& walk_;
        std::unique_lock<std::mutex> lock_;
    };

    // Waits until every stretch before this one has been handed on; false once stopped.
    bool awaitHandOver(uint64_t stretch)
    {
        std::unique_lock lock(handOverMutex_);
        handOverChanged_.wait(lock, [&] { return handingOver_ == stretch || stopped(); });
        return !stopped();
    }
    // The stretch's rows are handed on: the next may follow.
    void handedOver(uint64_t stretch)
    {
        const std::lock_guard lock(handOverMutex_);
        handingOver_ = stretch + 1;
        handOverChanged_.notify_all();
    }
    // Ends the walk for every worker (a failure, or the sink wants no more rows).
    void stop()
    {
        const std::lock_guard lock(handOverMutex_);
        stopped_ = true;
        handOverChanged_.notify_all();
    }
    bool stopped() const { return stopped_; }

private:
    TablePages pages_;
    std::mutex walkMutex_;
    uint64_t nextStretch_ = 0;  // under walkMutex_
    bool walked_ = false;       // under walkMutex_
    std::mutex handOverMutex_;
    std::condition_variable handOverChanged_;
    uint64_t handingOver_ = 0;  // under handOverMutex_
    std::atomic<bool> stopped_ = false;
};

}  // namespace varnex::reader
