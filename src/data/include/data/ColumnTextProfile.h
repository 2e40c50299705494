#pragma once
// What the texts of some columns look like over every loaded row, gathered once
// (on any thread, over rows shared with a recordset): the longest text of each
// column, which a grid needs to show the column whole, and the bytes its folded
// texts use, so that a filter can pass over a column whose texts cannot hold
// the searched text, and the rows whose texts must be folded to be searched.

#include "store/TableData.h"
#include "data/ValueFormatter.h"

#include <atomic>
#include <bitset>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

struct ColumnTextProfile {
    int column = 0;
    size_t longestCharacters = 0;  // the length of the longest text
    std::string longestText;       // UTF-8, the first of the longest; kept up to kKeptCharacters
    std::bitset<256> foldedBytes;  // every byte of the texts as appendFoldedUtf8 folds them
    std::vector<bool> foldedApart; // by stored row: folding the text changes more than ASCII letter case

    static constexpr size_t kKeptCharacters = 1000;
};

struct ColumnTextProfiles {
    std::shared_ptr<const TableData> rows;
    std::shared_ptr<const ValueFormatter> cellText;  // the formats the texts were written in
    std::vector<ColumnTextProfile> columns;

    const ColumnTextProfile* find(int column) const;
};

// Every row of the columns, Nulls left out; nullopt when cancel was set before the end.
std::optional<ColumnTextProfiles> profileColumnTexts(std::shared_ptr<const TableData> rows,
                                                     std::shared_ptr<const ValueFormatter> cellText,
                                                     const std::vector<int>& columns,
                                                     const std::atomic<bool>* cancel = nullptr);

}  // namespace varnex
