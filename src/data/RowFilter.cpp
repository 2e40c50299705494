#include "data/RowFilter.h"

#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "data/TextOrder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

namespace varnex {
namespace {

// Candidates are looked at in chunks of this many; cancelling is noticed between chunks.
constexpr size_t kRowsPerChunk = 8192;
constexpr unsigned kMostThreads = 4;

bool isStoredText(FieldType type)
{
    return type == FieldType::VarWChar || type == FieldType::LongVarWChar;
}

bool isAscii(std::string_view text)
{
    uint64_t high = 0;
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        high |= word;
    }
    for (; at < text.size(); ++at)
        high |= static_cast<uint8_t>(text[at]);
    return (high & 0x8080808080808080ull) == 0;
}

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Finds the folded text in cell texts. An ASCII text is looked for in the cells
// as they are, with the letter case ignored, wherever folding would change no
// more than that; other cells are folded first.
class FoldedSearch {
public:
    explicit FoldedSearch(std::string_view folded) : folded_(folded), asciiText_(isAscii(folded)) {}

    // foldsApart: what foldsOnlyAsciiLetters(text) would answer negated, where known.
    bool foundIn(std::string_view text, std::optional<bool> foldsApart, std::string& scratch) const
    {
        if (folded_.empty())
            return true;
        const bool unfolded = asciiText_ ? (foldsApart ? !*foldsApart : foldsOnlyAsciiLetters(text)) : isAscii(text);
        if (unfolded)
            return asciiText_ && foundInAscii(text);
        scratch.clear();
        appendFoldedUtf8(text, scratch);
        return std::string_view(scratch).find(folded_) != std::string_view::npos;
    }

private:
    bool foundInAscii(std::string_view text) const
    {
        const size_t length = folded_.size();
        if (text.size() < length)
            return false;
        const size_t lastStart = text.size() - length;
        const char first = folded_[0];
        // Setting bit 5 makes an ASCII letter lower case and leaves no other byte on a letter.
        const bool letter = first >= 'A' && first <= 'Z';
        const auto wanted = static_cast<uint8_t>(letter ? first | 0x20 : first);
        const uint64_t caseBits = letter ? 0x2020202020202020ull : 0;
        for (size_t at = 0; at <= lastStart;) {
            if (at + 8 <= text.size() && !mayHoldByte(text.data() + at, caseBits, wanted)) {
                at += 8;
                continue;
            }
            if ((static_cast<uint8_t>(text[at]) | (letter ? 0x20 : 0)) == wanted && restMatchesAt(text, at))
                return true;
            ++at;
        }
        return false;
    }

    // False when none of the eight bytes, with caseBits set, is the wanted byte.
    static bool mayHoldByte(const char* eight, uint64_t caseBits, uint8_t wanted)
    {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        uint64_t word;
        std::memcpy(&word, eight, sizeof word);
        const uint64_t differences = (word | caseBits) ^ (kOnes * wanted);
        return ((differences - kOnes) & ~differences & (kOnes << 7)) != 0;  // some byte is zero
    }

    bool restMatchesAt(std::string_view text, size_t at) const
    {
        for (size_t k = 1; k < folded_.size(); ++k) {
            if (upperAscii(text[at + k]) != folded_[k])
                return false;
        }
        return true;
    }

    std::string_view folded_;
    bool asciiText_;
};

// Tells whether one row matches. Each thread has its own, for the buffers.
class RowMatcher {
public:
    explicit RowMatcher(const RowFilterRun& run) : run_(run), table_(*run.rows), search_(run.foldedText)
    {
        view_.openOver(run.rows);
        // Text columns first: their stored bytes are the text, and a match there saves formatting the rest.
        for (int column : run.columns) {
            const FieldType type = table_.info(column).type;
            const ColumnTextProfile* profile = profileOf(column);
            if (type != FieldType::Unsupported && !(profile && neverHolds(*profile)))
                columns_.push_back({column, isStoredText(type), profile});
        }
        std::stable_partition(columns_.begin(), columns_.end(), [](const Column& c) { return c.storedText; });
    }

    bool matches(uint32_t row)
    {
        for (const Column& column : columns_) {
            if (table_.isNull(row, column.index))
                continue;
            const std::optional<bool> foldsApart =
                column.profile ? std::optional<bool>(column.profile->foldedApart[row]) : std::nullopt;
            if (column.storedText) {
                if (search_.foundIn(table_.bytesValue(row, column.index), foldsApart, folded_))
                    return true;
                continue;
            }
            formatted_.clear();
            view_.appendCellTextUtf8(row, column.index, *run_.cellText, formatted_);
            if (search_.foundIn(formatted_, foldsApart, folded_))
                return true;
        }
        return false;
    }

private:
    // The column's profile, where it was made over these rows in these formats.
    const ColumnTextProfile* profileOf(int column) const
    {
        const ColumnTextProfiles* profiles = run_.profiles.get();
        if (!profiles || profiles->rows != run_.rows || profiles->cellText != run_.cellText)
            return nullptr;
        const ColumnTextProfile* profile = profiles->find(column);
        return profile && profile->foldedApart.size() == static_cast<size_t>(table_.rowCount()) ? profile : nullptr;
    }

    // True where none of the column's texts has some byte of the folded text.
    bool neverHolds(const ColumnTextProfile& profile) const
    {
        for (const char c : run_.foldedText) {
            if (!profile.foldedBytes.test(static_cast<uint8_t>(c)))
                return true;
        }
        return false;
    }

    struct Column {
        int index;
        bool storedText;
        const ColumnTextProfile* profile;
    };

    const RowFilterRun& run_;
    const TableData& table_;
    FoldedSearch search_;
    Recordset view_;  // the rows in load order: a position is a stored row
    std::vector<Column> columns_;
    std::string formatted_;
    std::string folded_;
};

// Chunks handed out to the threads one at a time; each chunk's matches land in its own slot.
class ChunkedScan {
public:
    ChunkedScan(RowFilterRun& run, const std::atomic<bool>* cancel)
        : run_(run), cancel_(cancel), results_((run.candidates.size() + kRowsPerChunk - 1) / kRowsPerChunk)
    {
    }

    void work()
    {
        RowMatcher matcher(run_);
        for (size_t chunk = next_++; chunk < results_.size(); chunk = next_++) {
            if (cancelled())
                return;
            const size_t first = chunk * kRowsPerChunk;
            const size_t last = std::min(first + kRowsPerChunk, run_.candidates.size());
            std::vector<uint32_t>& found = results_[chunk];
            for (size_t i = first; i < last; ++i) {
                if (matcher.matches(run_.candidates[i]))
                    found.push_back(run_.candidates[i]);
            }
        }
    }

    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    std::vector<uint32_t> joined() const
    {
        size_t total = 0;
        for (const auto& found : results_)
            total += found.size();
        std::vector<uint32_t> all;
        all.reserve(total);
        for (const auto& found : results_)
            all.insert(all.end(), found.begin(), found.end());
        return all;
    }

    size_t chunkCount() const { return results_.size(); }

private:
    RowFilterRun& run_;
    const std::atomic<bool>* cancel_;
    std::atomic<size_t> next_{0};
    std::vector<std::vector<uint32_t>> results_;
};

unsigned helperThreads(size_t chunks)
{
    const unsigned cores = std::min(std::thread::hardware_concurrency(), kMostThreads);
    if (cores <= 1 || chunks < 2)
        return 0;
    return static_cast<unsigned>(std::min<size_t>(cores, chunks)) - 1;
}

}  // namespace

std::string foldedFilterText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string folded;
    appendFoldedUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), folded);
    return folded;
}

bool RowFilterRun::run(const std::atomic<bool>* cancel)
{
    finished = false;
    matches.clear();
    if (!rows || !cellText)
        return false;
    ChunkedScan scan(*this, cancel);
    std::vector<std::thread> helpers;
    for (unsigned i = helperThreads(scan.chunkCount()); i > 0; --i) {
        try {
            helpers.emplace_back([&scan] { scan.work(); });
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones running share the work
        }
    }
    scan.work();
    for (std::thread& helper : helpers)
        helper.join();
    if (scan.cancelled())
        return false;
    matches = scan.joined();
    finished = true;
    return true;
}

}  // namespace varnex
