#pragma once
// Rows cracked by libmdb on the thread that walks a table's pages, handed to the thread that
// decodes their values: the pages they lie on, copied, and each row's fields on its page.
// The two threads meet in a short line of such chunks, so that one walks while the other
// decodes.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include <mdbtools.h>

namespace varnex::reader {

struct CrackedRows {
    size_t pageSize = 0;
    size_t fieldsPerRow = 0;         // the table's columns
    std::vector<uint8_t> pages;      // page images back to back
    std::vector<uint32_t> rowPages;  // each row's page image
    std::vector<MdbField> fields;    // each row's fields as libmdb cracked them, row after row

    const MdbField& field(size_t row, unsigned column) const { return fields[row * fieldsPerRow + column]; }

    size_t rowCount() const { return rowPages.size(); }
    size_t pageCount() const { return pageSize == 0 ? 0 : pages.size() / pageSize; }
    const uint8_t* page(uint32_t index) const { return pages.data() + static_cast<size_t>(index) * pageSize; }
    void addFields(const MdbField* row) { fields.insert(fields.end(), row, row + fieldsPerRow); }
    uint32_t addPage(const uint8_t* page)
    {
        pages.insert(pages.end(), page, page + pageSize);
        return static_cast<uint32_t>(pageCount() - 1);
    }
    void clear()
    {
        pages.clear();
        rowPages.clear();
        fields.clear();
    }
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
