#include "IndexDefinitions.h"

#include "reader/TextDecoding.h"

#include <cstring>
#include <string>

namespace varnex::reader {
namespace {

constexpr uint32_t kMaxColumns = 255;
constexpr uint32_t kMaxIndexes = 256;
constexpr int kKeySlots = 10;
constexpr uint16_t kUnusedSlot = 0xFFFF;
constexpr uint8_t kUniqueFlag = 0x01;
constexpr uint8_t kPrimaryKeyKind = 0x01;
constexpr uint8_t kRelationshipKind = 0x02;

// Where the two formats keep what is read.
struct Layout {
    size_t columnCount, indexCount, realIndexCount, headerEnd;
    size_t realIndexCountEntry;  // per real index, after the header
    size_t columnEntry;
    size_t nameLengthBytes;
    size_t realIndex, realIndexKeys, realIndexFlags;
    size_t logicalIndex, logicalRealNumber, logicalKind;
};

constexpr Layout kJet3{25, 27, 31, 43, 8, 18, 1, 39, 0, 38, 20, 4, 19};
constexpr Layout kJet4{45, 47, 51, 63, 12, 25, 2, 52, 4, 46, 28, 8, 23};

// A cursor over the record that fails, rather than reads past its end.
class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& record) : record_(record) {}

    bool has(size_t n) const { return at_ <= record_.size() && n <= record_.size() - at_; }
    bool skip(size_t n)
    {
        if (!has(n))
            return false;
        at_ += n;
        return true;
    }
    const uint8_t* take(size_t n)
    {
        if (!has(n))
            return nullptr;
        const uint8_t* bytes = record_.data() + at_;
        at_ += n;
        return bytes;
    }
    size_t at() const { return at_; }

private:
    const std::vector<uint8_t>& record_;
    size_t at_ = 0;
};

uint32_t little(const uint8_t* at, size_t bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return value;
}

// A name: its byte count (one byte in Jet 3, two in Jet 4), then its text.
std::optional<QString> takeName(Cursor& cursor, const Layout& layout, bool jet4, const CodePageTable& codePage)
{
    const uint8_t* length = cursor.take(layout.nameLengthBytes);
    if (!length)
        return std::nullopt;
    const size_t bytes = little(length, layout.nameLengthBytes);
    const uint8_t* text = cursor.take(bytes);
    if (!text)
        return std::nullopt;
    std::string utf8;
    if (jet4)
        appendJet4TextUtf8(text, bytes, utf8);
    else
        appendJet3TextUtf8(codePage, text, bytes, utf8);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

struct RealIndex {
    std::vector<IndexColumn> columns;
    bool unique = false;
};

RealIndex realIndexAt(const uint8_t* entry, const Layout& layout)
{
    RealIndex index;
    for (int slot = 0; slot < kKeySlots; ++slot) {
        const uint8_t* key = entry + layout.realIndexKeys + 3 * static_cast<size_t>(slot);
        const auto number = static_cast<uint16_t>(little(key, 2));
        if (number != kUnusedSlot)
            index.columns.push_back({number, key[2] == 0});  // a set order flag is ascending
    }
    index.unique = (entry[layout.realIndexFlags] & kUniqueFlag) != 0;
    return index;
}

}  // namespace

std::optional<std::vector<IndexDefinition>> readIndexDefinitions(const std::vector<uint8_t>& record, bool jet4,
                                                                 const CodePageTable& codePage)
{
    const Layout& layout = jet4 ? kJet4 : kJet3;
    if (record.size() < layout.headerEnd)
        return std::nullopt;
    const uint32_t columns = little(record.data() + layout.columnCount, 2);
    const uint32_t logical = little(record.data() + layout.indexCount, 4);
    const uint32_t real = little(record.data() + layout.realIndexCount, 4);
    if (columns > kMaxColumns || logical > kMaxIndexes || real > kMaxIndexes)
        return std::nullopt;
    Cursor cursor(record);
    if (!cursor.skip(layout.headerEnd + real * layout.realIndexCountEntry + columns * layout.columnEntry))
        return std::nullopt;
    for (uint32_t c = 0; c < columns; ++c) {
        if (!takeName(cursor, layout, jet4, codePage))
            return std::nullopt;
    }
    std::vector<RealIndex> reals;
    for (uint32_t r = 0; r < real; ++r) {
        const uint8_t* entry = cursor.take(layout.realIndex);
        if (!entry)
            return std::nullopt;
        reals.push_back(realIndexAt(entry, layout));
    }
    std::vector<IndexDefinition> indexes;
    for (uint32_t l = 0; l < logical; ++l) {
        const uint8_t* entry = cursor.take(layout.logicalIndex);
        if (!entry)
            return std::nullopt;
        const uint32_t realNumber = little(entry + layout.logicalRealNumber, 4);
        if (realNumber >= reals.size())
            return std::nullopt;
        const uint8_t kind = entry[layout.logicalKind];
        indexes.push_back({QString(), reals[realNumber].columns, kind == kPrimaryKeyKind, reals[realNumber].unique,
                           kind == kRelationshipKind});
    }
    for (IndexDefinition& index : indexes) {
        const std::optional<QString> name = takeName(cursor, layout, jet4, codePage);
        if (!name)
            return std::nullopt;
        index.name = *name;
    }
    return indexes;
}

}  // namespace varnex::reader
