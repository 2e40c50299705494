#include "reader/TableDefinitionCheck.h"

#include "core/FileSystem.h"
#include "reader/RowOffsets.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace varnex::reader {
namespace {

constexpr uint8_t kDataPage = 0x01;
constexpr uint8_t kDefinitionPage = 0x02;
constexpr uint32_t kMaxColumns = 255;
constexpr uint32_t kMaxIndexes = 256;
constexpr size_t kPageHeader = 8;
constexpr int kColumnNumberAt = 5;  // in a Jet 4 column descriptor
constexpr int kComplexIdAt = 11;
constexpr int kExtendedFlagsAt = 16;

// Where the two formats keep what is checked.
struct Layout {
    int headerEnd;        // end of the fixed part of the definition
    int columnCount;
    int indexCount;
    int realIndexCount;
    int usageMap;
    int realIndexSize;
    int columnSize;
    int rowCount;         // on a data page
    int rowOffsets;
};

constexpr Layout kJet3{43, 25, 27, 31, 35, 8, 18, 8, 10};
constexpr Layout kJet4{63, 45, 47, 51, 55, 12, 25, 12, 14};

class Pages {
public:
    Pages(QFile& file, int pageSize) : file_(file), size_(pageSize), count_(static_cast<uint64_t>(file.size()) / static_cast<uint64_t>(pageSize)) {}

    uint64_t count() const { return count_; }
    bool contains(uint32_t page) const { return page > 0 && page < count_; }

    std::optional<std::vector<uint8_t>> read(uint32_t page)
    {
        if (!contains(page) || !file_.seek(static_cast<qint64>(page) * size_))
            return std::nullopt;
        std::vector<uint8_t> bytes(static_cast<size_t>(size_));
        if (file_.read(reinterpret_cast<char*>(bytes.data()), size_) != size_)
            return std::nullopt;
        return bytes;
    }

private:
    QFile& file_;
    int size_;
    uint64_t count_;
};

uint32_t u16(const std::vector<uint8_t>& page, int at)
{
    return static_cast<uint32_t>(page[static_cast<size_t>(at)] | (page[static_cast<size_t>(at) + 1] << 8));
}

uint32_t U32(const std::vector<uint8_t>& page, int at)
{
    uint32_t value = 0;
    std::memcpy(&value, page.data() + at, sizeof value);
    return value;
}

// The definition pages in their chain, ending where the chain ends; nothing when a
// page is missing, of another kind, or the chain runs in a circle.
std::optional<uint64_t> DefinitionChainLength(Pages& pages, uint32_t first)
{
    uint64_t length = 0;
    for (uint32_t page = first; page != 0; ++length) {
        if (length >= pages.count())
            return std::nullopt;
        const auto bytes = pages.read(page);
        if (!bytes || (*bytes)[0] != kDefinitionPage)
            return std::nullopt;
        page = U32(*bytes, 4);
    }
    return length;
}

// The usage map's row must exist, lie within its page and hold a map of a known kind.
bool usageMapLooksSound(Pages& pages, const Layout& layout, int pageSize, uint32_t pointer)
{
    const uint32_t row = pointer & 0xFF;
    const auto page = pages.read(pointer >> 8);
    if (!page || (*page)[0] != kDataPage)
        return false;
    const uint32_t rows = u16(*page, layout.rowCount);
    if (row >= rows || layout.rowOffsets + 2 * static_cast<int>(rows) > pageSize)
        return false;
    const uint32_t start = u16(*page, layout.rowOffsets + 2 * static_cast<int>(row)) & kOffsetMask;
    const uint32_t end = row == 0 ? static_cast<uint32_t>(pageSize)
                                  : u16(*page, layout.rowOffsets + 2 * static_cast<int>(row) - 2) & kOffsetMask;
    if (start < static_cast<uint32_t>(layout.rowOffsets) || start >= end || end > static_cast<uint32_t>(pageSize))
        return false;
    const uint8_t kind = (*page)[start];
    if (kind > 1 || end - start < 5)
        return false;
    if (kind == 1) {
        // Pointers to bitmap pages: each either absent or inside the file.
        for (uint32_t at = start + 1; at + 4 <= end; at += 4) {
            const uint32_t mapPage = U32(*page, static_cast<int>(at));
            if (mapPage != 0 && !pages.contains(mapPage))
                return false;
        }
    }
    return true;
}

// The definition's pages as one record: the first page whole, the rest after their headers.
std::optional<std::vector<uint8_t>> DefinitionRecord(Pages& pages, uint32_t first)
{
    std::vector<uint8_t> record;
    uint64_t length = 0;
    for (uint32_t page = first; page != 0; ++length) {
        const auto bytes = pages.read(page);
        if (length >= pages.count() || !bytes || (*bytes)[0] != kDefinitionPage)
            return std::nullopt;
        record.insert(record.end(), bytes->begin() + (record.empty() ? 0 : static_cast<std::ptrdiff_t>(kPageHeader)), bytes->end());
        page = U32(*bytes, 4);
    }
    return record;
}

}  // namespace

std::optional<std::vector<uint8_t>> readDefinitionRecord(const QString& path, int pageSize, uint32_t definitionPage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Pages pages(file, pageSize);
    return DefinitionRecord(pages, definitionPage);
}

std::unordered_map<int, ColumnExtras> readColumnExtras(const QString& path, int pageSize, uint32_t definitionPage)
{
    std::unordered_map<int, ColumnExtras> extras;
    if (pageSize == 2048)
        return extras;
    const auto record = readDefinitionRecord(path, pageSize, definitionPage);
    if (!record || record->size() < static_cast<size_t>(kJet4.headerEnd))
        return extras;
    const uint32_t columns = std::min(u16(*record, kJet4.columnCount), kMaxColumns);
    const uint64_t realIndexes = std::min(U32(*record, kJet4.realIndexCount), kMaxIndexes);
    const uint64_t start = static_cast<uint64_t>(kJet4.headerEnd) + realIndexes * static_cast<uint64_t>(kJet4.realIndexSize);
    for (uint32_t c = 0; c < columns; ++c) {
        const uint64_t at = start + uint64_t{c} * static_cast<uint64_t>(kJet4.columnSize);
        if (at + static_cast<uint64_t>(kJet4.columnSize) > record->size())
            break;
        const int offset = static_cast<int>(at);
        extras[(*record)[static_cast<size_t>(offset + kColumnNumberAt)]] = {(*record)[static_cast<size_t>(offset + kExtendedFlagsAt)],
                                                                            U32(*record, offset + kComplexIdAt)};
    }
    return extras;
}

bool tableDefinitionLooksSound(const QString& path, int pageSize, uint32_t definitionPage)
{
    QFile file;
    if (!openForReading(file, path))
        return false;
    Pages pages(file, pageSize);
    const Layout& layout = pageSize == 2048 ? kJet3 : kJet4;
    const auto chain = DefinitionChainLength(pages, definitionPage);
    const auto first = pages.read(definitionPage);
    if (!chain || !first)
        return false;
    const uint32_t columns = u16(*first, layout.columnCount);
    const uint32_t indexes = U32(*first, layout.indexCount);
    const uint32_t realIndexes = U32(*first, layout.realIndexCount);
    if (columns > kMaxColumns || indexes > kMaxIndexes || realIndexes > kMaxIndexes)
        return false;
    // The fixed-size blocks must fit in the definition pages (each after its 8-byte header).
    const uint64_t room = static_cast<uint64_t>(pageSize) + (*chain - 1) * static_cast<uint64_t>(pageSize - 8);
    const uint64_t blocks = static_cast<uint64_t>(layout.headerEnd) + uint64_t{realIndexes} * static_cast<uint64_t>(layout.realIndexSize)
                            + uint64_t{columns} * static_cast<uint64_t>(layout.columnSize);
    if (blocks > room)
        return false;
    return usageMapLooksSound(pages, layout, pageSize, U32(*first, layout.usageMap));
}

}  // namespace varnex::reader
