#include "StoredRowBlock.h"

#include "export/CsvWriter.h"

#include <algorithm>
#include <utility>

namespace varnex {

namespace {

// Records ahead of the one copied out whose line is asked for.
constexpr size_t kCopyAhead = 8;

}  // namespace

StoredRowBlock::StoredRowBlock(const CsvLines& lines, int64_t first, int64_t last, size_t pieceRecords)
    : lines_(lines), first_(first), last_(last), pieceRecords_(std::max<size_t>(pieceRecords, 1))
{
    const auto count = static_cast<size_t>(last - first);
    pieces_.resize((count + pieceRecords_ - 1) / pieceRecords_);
    ends_.resize(count);
    orderByStoredRow(lines.storedRowCount());
}

// A counting sort on the rows' high bits with a bucket for every four records or so: the rows
// of a bucket lie within a few pages of each other, which is all the reading needs.
void StoredRowBlock::orderByStoredRow(int64_t storedRows)
{
    const auto count = static_cast<size_t>(last_ - first_);
    size_t buckets = 1;
    while (buckets * 4 < count)
        buckets *= 2;
    int shift = 0;
    while (((std::max<int64_t>(storedRows, 1) - 1) >> shift) >= static_cast<int64_t>(buckets))
        ++shift;
    std::vector<uint32_t> recordRows(count);
    std::vector<size_t> starts(buckets + 1, 0);
    for (size_t i = 0; i < count; ++i) {
        const auto row = static_cast<uint32_t>(lines_.storedRow(first_ + static_cast<int64_t>(i)));
        recordRows[i] = row;
        ++starts[(row >> shift) + 1];
    }
    for (size_t b = 0; b < buckets; ++b)
        starts[b + 1] += starts[b];
    rows_.resize(count);
    entryOf_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t place = starts[recordRows[i] >> shift]++;
        rows_[place] = recordRows[i];
        entryOf_[i] = static_cast<uint32_t>(place);
    }
}

void StoredRowBlock::formatPiece(size_t piece, std::string& out)
{
    out.clear();
    const size_t begin = piece * pieceRecords_;
    const size_t count = std::min(pieceRecords_, rows_.size() - begin);
    lines_.appendStoredRows(rows_.data() + begin, count, ends_.data() + begin, out);
}

void StoredRowBlock::keepPiece(size_t piece, std::string&& bytes)
{
    pieces_[piece] = std::move(bytes);
    ++kept_;
}

std::string_view StoredRowBlock::line(size_t entry) const
{
    const size_t start = entry % pieceRecords_ == 0 ? 0 : ends_[entry - 1];
    return std::string_view(pieces_[entry / pieceRecords_]).substr(start, ends_[entry] - start);
}

void StoredRowBlock::appendRecords(int64_t from, int64_t to, std::string& out) const
{
    const auto begin = static_cast<size_t>(from - first_);
    const auto end = static_cast<size_t>(to - first_);
    for (size_t record = begin; record < end; ++record) {
        if (record + kCopyAhead < end)
            __builtin_prefetch(line(entryOf_[record + kCopyAhead]).data());
        out += line(entryOf_[record]);
    }
}

std::vector<std::string> StoredRowBlock::takeBuffers()
{
    kept_ = 0;
    return std::exchange(pieces_, {});
}

}  // namespace varnex
