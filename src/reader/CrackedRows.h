#pragma once
// Rows cracked on the thread that walks a table's pages, handed to the thread that
// decodes their values column by column: the pages they lie on, copied, and where each row's
// delivered values lie on its page.
// The two threads meet in a short line of such chunks, so that one walks while the other
// decodes.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "reader/CrackedValue.h"

namespace varnex::reader {

struct CrackedRows {
    size_t pageSize = 0;
    size_t columns = 0;              // delivered
    std::vector<uint8_t> pages;      // page images back to back
    std::vector<uint32_t> rowPages;  // each row's page image

    CrackedValue value(size_t row, size_t column) const { return CrackedValue(values_[row * columns + column]); }
    // Room for the next row's values, to be written whole (it is not zeroed first).
    uint32_t* addValues()
    {
        if (valueRoom_ - valueCount_ < columns)
            growValues();
        uint32_t* const at = values_.get() + valueCount_;
        valueCount_ += columns;
        return at;
    }

    // Takes back the room addValues() gave last.
    void dropValues() { valueCount_ -= columns; }

    size_t rowCount() const { return rowPages.size(); }
    size_t pageCount() const { return pageSize == 0 ? 0 : pages.size() / pageSize; }
    const uint8_t* page(uint32_t index) const { return pages.data() + static_cast<size_t>(index) * pageSize; }
    uint32_t addPage(const uint8_t* page)
    {
        pages.insert(pages.end(), page, page + pageSize);
        return static_cast<uint32_t>(pageCount() - 1);
    }
    void clear()
    {
        pages.clear();
        rowPages.clear();
        valueCount_ = 0;
    }

private:
    void growValues()
    {
        const size_t room = std::max(2 * valueRoom_, valueCount_ + 1024 * columns);
        auto grown = std::make_unique_for_overwrite<uint32_t[]>(room);
        if (valueCount_ > 0)
            std::memcpy(grown.get(), values_.get(), valueCount_ * sizeof(uint32_t));
        values_ = std::move(grown);
        valueRoom_ = room;
    }

    // Each row's values of the delivered columns (CrackedValue), row after row.
    std::unique_ptr<uint32_t[]> values_;
    size_t valueCount_ = 0;
    size_t valueRoom_ = 0;
};

class CrackedRowsLine {
public:
    explicit CrackedRowsLine(size_t most) : most_(most) {}

    // Waits while the line is full; false once it is closed.
    bool put(std::unique_ptr<CrackedRows> rows)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || waiting_.size() < most_; });
        if (closed_)
            return false;
        waiting_.push_back(std::move(rows));
        changed_.notify_all();
        return true;
    }
    // Waits for rows; nothing once the line is closed and empty.
    std::unique_ptr<CrackedRows> take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || !waiting_.empty(); });
        if (waiting_.empty())
            return nullptr;
        std::unique_ptr<CrackedRows> rows = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();
        return rows;
    }
    // No more rows come (the walk's end), or none are wanted (the decoding's end).
    void close()
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    // Chunks decoded already, for the walk to fill again.
    void giveBack(std::unique_ptr<CrackedRows> rows)
    {
        rows->clear();
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(rows));
    }
    std::unique_ptr<CrackedRows> spare(size_t pageSize)
    {
        {
            const std::lock_guard lock(mutex_);
            if (!spare_.empty()) {
                std::unique_ptr<CrackedRows> rows = std::move(spare_.back());
                spare_.pop_back();
                return rows;
            }
        }
        auto rows = std::make_unique<CrackedRows>();
        rows->pageSize = pageSize;
        return rows;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<CrackedRows>> waiting_;
    std::vector<std::unique_ptr<CrackedRows>> spare_;
    size_t most_;
    bool closed_ = false;
};

}  // namespace varnex::reader
