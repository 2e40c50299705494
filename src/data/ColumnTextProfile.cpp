#include "data/ColumnTextProfile.h"

#include "data/Recordset.h"
#include "data/TextOrder.h"

#include <string_view>

namespace varnex {
namespace {

// Cancelling is noticed after this many rows.
constexpr int64_t kRowsBetweenChecks = 16384;

size_t characterCount(std::string_view text)
{
    size_t count = 0;
    for (const char c : text)
        count += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

const ColumnTextProfile* ColumnTextProfiles::find(int column) const
{
    for (const ColumnTextProfile& profile : columns) {
        if (profile.column == column)
            return &profile;
    }
    return nullptr;
}

std::optional<ColumnTextProfiles> profileColumnTexts(std::shared_ptr<const TableData> rows,
                                                     std::shared_ptr<const ValueFormatter> cellText,
                                                     const std::vector<int>& columns,
                                                     const std::atomic<bool>* cancel)
{
    ColumnTextProfiles profiles{rows, cellText, {}};
    if (!rows || !cellText)
        return profiles;
    Recordset view;  // load order: a position is a stored row
    view.openOver(rows);
    std::string text;
    std::string folded;
    for (const int column : columns) {
        if (column < 0 || column >= rows->columnCount())
            continue;
        ColumnTextProfile profile;
        profile.column = column;
        profile.foldedApart.resize(static_cast<size_t>(rows->rowCount()));
        for (int64_t row = 0; row < rows->rowCount(); ++row) {
            if (row % kRowsBetweenChecks == 0 && cancel && cancel->load(std::memory_order_relaxed))
                return std::nullopt;
            if (view.isNull(row, column))
                continue;
            text.clear();
            view.appendCellTextUtf8(row, column, *cellText, text);
            if (const size_t characters = characterCount(text); characters > profile.longestCharacters) {
                profile.longestCharacters = characters;
                profile.longestText = characters <= ColumnTextProfile::kKeptCharacters ? text : std::string();
            }
            folded.clear();
            appendFoldedUtf8(text, folded);
            for (const char c : folded)
                profile.foldedBytes.set(static_cast<uint8_t>(c));
            profile.foldedApart[static_cast<size_t>(row)] = !foldsOnlyAsciiLetters(text);
        }
        profiles.columns.push_back(std::move(profile));
    }
    return profiles;
}

}  // namespace varnex
