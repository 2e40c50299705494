#include "jetwriter/TableLayout.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/TextCodec.h"

#include <algorithm>
#include <stdexcept>

namespace jetwriter {
namespace {

constexpr uint32_t kTableMagic = 0x0659;       // repeated in every Jet 4 definition and column entry
constexpr uint16_t kGeneralSortOrder = 0x0409;
constexpr uint16_t kCodePage1252 = 0x04E4;
constexpr uint8_t kFlagFixed = 0x01;
constexpr uint8_t kFlagNullable = 0x02;
constexpr uint8_t kFlagAutoNumber = 0x04;
constexpr uint8_t kFlagCompressedUnicode = 0x01;
constexpr uint8_t kFlagCalculated = 0xC0;        // extended flags of a calculated column (Access 2010)
constexpr uint16_t kCalculatedFixedLength = 39;  // what Access declares for every calculated non-text result
constexpr size_t kPageHeaderSize = 8;
constexpr size_t kMaxIndexKeys = 10;
constexpr uint16_t kUnusedKey = 0xFFFF;
constexpr uint8_t kAscending = 0x01;
constexpr uint8_t kUniqueIndex = 0x01;
constexpr uint8_t kRequiredIndex = 0x08;
constexpr uint8_t kPrimaryKeyType = 0x01;
constexpr uint8_t kIndexLeafPage = 0x04;

}  // namespace

uint8_t typeCode(ColumnType type)
{
    switch (type) {
    case ColumnType::YesNo: return 0x01;
    case ColumnType::Byte: return 0x02;
    case ColumnType::Integer: return 0x03;
    case ColumnType::Long: return 0x04;
    case ColumnType::Currency: return 0x05;
    case ColumnType::Single: return 0x06;
    case ColumnType::Double: return 0x07;
    case ColumnType::DateTime: return 0x08;
    case ColumnType::Binary: return 0x09;
    case ColumnType::Text: return 0x0A;
    case ColumnType::Ole: return 0x0B;
    case ColumnType::Memo: return 0x0C;
    case ColumnType::Guid: return 0x0F;
    case ColumnType::Decimal: return 0x10;
    case ColumnType::DateTimeExtended: return 0x14;
    default: break;
    }
    throw std::runtime_error("complex columns need an ACE format");
}

namespace {

uint8_t descriptorTypeCode(const Column& column)
{
    if (column.type == ColumnType::Unknown || (!column.expression.empty() && column.typeCode != 0))
        return column.typeCode;
    return typeCode(column.type);
}

}  // namespace

int fixedBytes(ColumnType type)
{
    switch (type) {
    case ColumnType::YesNo: return 0;
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: case ColumnType::Single: return 4;
    case ColumnType::Currency: case ColumnType::Double: case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Decimal: return 17;
    case ColumnType::DateTimeExtended: return 42;
    default: return -1;
    }
}

namespace {

int rowBytes(const Column& column)
{
    if (column.type == ColumnType::Unknown)
        return column.size > 0 ? column.size : -1;
    return column.expression.empty() ? fixedBytes(column.type) : -1;  // a calculated value is variable-length
}

bool isTextual(ColumnType type) { return type == ColumnType::Text || type == ColumnType::Memo; }

// A calculated column declares the result's length and the 23 bytes of the wrapper Access stores it in.
uint16_t declaredLength(const FormatInfo& info, const Column& column)
{
    if (!column.expression.empty()) {
        if (column.type == ColumnType::Memo)
            return 0;
        return column.type == ColumnType::Text ? static_cast<uint16_t>(column.size * 2 + 23) : kCalculatedFixedLength;
    }
    switch (column.type) {
    case ColumnType::Unknown: return static_cast<uint16_t>(column.size > 0 ? column.size : 255);
    case ColumnType::YesNo: return 1;
    case ColumnType::Text: return static_cast<uint16_t>(column.size * (info.jet4 ? 2 : 1));
    case ColumnType::Binary: return static_cast<uint16_t>(column.size);
    case ColumnType::Memo: case ColumnType::Ole: return 0;
    default: return static_cast<uint16_t>(fixedBytes(column.type));
    }
}

void checkColumn(const FormatInfo& info, Column& column)
{
    if (column.name.empty() || utf8ToUtf16(column.name).size() > 64)
        throw std::runtime_error("column name must have 1 to 64 characters");
    if (column.type == ColumnType::Text || column.type == ColumnType::Binary) {
        if (column.size == 0)
            column.size = column.type == ColumnType::Text ? 50 : 255;
        if (column.size < 1 || column.size > static_cast<int>(info.maxTextLength))
            throw std::runtime_error("column " + column.name + ": length must be 1 to 255");
    }
    if (column.type == ColumnType::DateTimeExtended && !info.ace)
        throw std::runtime_error("column " + column.name + ": Date/Time Extended needs an ACE format");
    if (!column.expression.empty() && !(info.ace && info.versionByte >= 3))
        throw std::runtime_error("column " + column.name + ": calculated columns need Access 2010 (Ace2010)");
    if (column.type == ColumnType::Unknown && column.typeCode == 0)
        throw std::runtime_error("column " + column.name + ": an unknown column needs its type code");
    if (column.type == ColumnType::Decimal) {
        if (!info.jet4)
            throw std::runtime_error("Decimal columns need the Jet 4 format");
        if (column.precision < 1 || column.precision > 28 || column.scale < 0 || column.scale > column.precision)
            throw std::runtime_error("column " + column.name + ": bad precision or scale");
    }
}

void appendName(const FormatInfo& info, std::vector<uint8_t>& out, const std::string& name)
{
    const std::u16string text = utf8ToUtf16(name);
    if (info.jet4) {
        appendU16(out, static_cast<uint32_t>(text.size() * 2));
        for (char16_t c : text)
            appendU16(out, c);
    } else {
        const auto bytes = toCp1252(text);
        appendU8(out, static_cast<uint32_t>(bytes.size()));
        appendBytes(out, bytes.data(), bytes.size());
    }
}

// Access writes, for a fixed column, the number of variable columns before it in place of an offset-table entry.
void appendJet4Column(std::vector<uint8_t>& out, const ColumnLayout& c, uint16_t varsBefore)
{
    appendU8(out, c.typeCode);
    appendU32(out, kTableMagic);
    appendU16(out, c.number);
    appendU16(out, c.fixed ? varsBefore : c.varIndex);
    appendU16(out, c.number + 1u);
    if (c.complexKey) {
        appendU32(out, c.complexId);
    } else {
        if (c.column.type == ColumnType::Decimal && c.column.expression.empty()) {
            appendU8(out, static_cast<uint32_t>(c.column.precision));
            appendU8(out, static_cast<uint32_t>(c.column.scale));
        } else if (c.column.type == ColumnType::DateTimeExtended) {
            appendBytes(out, "\x09\x07", 2);  // as Access 2016 writes it
        } else if (c.column.type == ColumnType::Decimal) {
            appendU16(out, 0);  // a calculated Decimal keeps its scale with each value
        } else {
            appendU16(out, kGeneralSortOrder);
        }
        appendU16(out, 0);
    }
    appendU8(out, c.flags);
    appendU8(out, c.extFlags);
    appendU32(out, 0);
    appendU16(out, c.fixed ? c.fixedOffset : 0);
    appendU16(out, c.length);
}

void appendJet3Column(std::vector<uint8_t>& out, const ColumnLayout& c, uint16_t varsBefore)
{
    appendU8(out, c.typeCode);
    appendU16(out, c.number);
    appendU16(out, c.fixed ? varsBefore : c.varIndex);
    appendU16(out, c.number);
    appendU16(out, 1);
    appendU16(out, kGeneralSortOrder);
    appendU16(out, kCodePage1252);
    appendU8(out, c.flags);
    appendU16(out, c.fixed ? c.fixedOffset : 0);
    appendU16(out, c.length);
}

void appendHeader(const FormatInfo& info, std::vector<uint8_t>& out, const TableLayout& layout, const TableTotals& totals)
{
    out.assign(kPageHeaderSize, 0);
    appendU32(out, 0);  // total length, filled in at the end
    if (info.jet4)
        appendU32(out, kTableMagic);
    appendU32(out, totals.rowCount);
    appendU32(out, totals.lastAutonumber);
    if (info.jet4) {
        appendU8(out, 0x01);
        appendBytes(out, "\0\0\0", 3);
        appendU32(out, totals.lastComplexAutonumber);
        appendBytes(out, "\0\0\0\0\0\0\0\0", 8);
    }
    appendU8(out, totals.system ? 0x53 : 0x4E);
    const auto count = static_cast<uint32_t>(layout.columns.size());
    appendU16(out, count);
    appendU16(out, layout.varCount);
    appendU16(out, count);
    const auto indexCount = static_cast<uint32_t>(layout.indexes.size());
    appendU32(out, indexCount);  // logical indexes
    appendU32(out, indexCount);  // real indexes, one each
    appendU32(out, totals.ownedPagesMap);
    appendU32(out, totals.freePagesMap);
    // Per real index its count of entries: none, as its pages hold none.
    for (uint32_t i = 0; i < indexCount; ++i)
        out.insert(out.end(), info.jet4 ? 12 : 8, 0);
}

// A real index: its columns (10 slots of a column number and an order), its usage map and first
// page, and its flags.
void appendRealIndex(const FormatInfo& info, std::vector<uint8_t>& out, const IndexLayout& index)
{
    if (info.jet4)
        appendU32(out, 0);
    for (size_t k = 0; k < kMaxIndexKeys; ++k) {
        const bool used = k < index.columnNumbers.size();
        appendU16(out, used ? index.columnNumbers[k] : kUnusedKey);
        appendU8(out, used && !index.index.keys[k].descending ? kAscending : 0);
    }
    appendU32(out, 0);  // usage map
    appendU32(out, index.firstPage);
    if (info.jet4)
        appendU32(out, 0);
    const bool unique = index.index.unique || index.index.primary;
    appendU8(out, (unique ? kUniqueIndex : 0) | (index.index.primary ? kRequiredIndex : 0));
    if (info.jet4)
        out.insert(out.end(), 5, 0);
}

// A logical index: its number, the real index it uses, what a foreign-key index refers to (nothing
// here) and its kind.
void appendLogicalIndex(const FormatInfo& info, std::vector<uint8_t>& out, uint32_t number, const IndexLayout& index)
{
    if (info.jet4)
        appendU32(out, kTableMagic);
    appendU32(out, number);
    appendU32(out, number);
    appendU8(out, 0);
    appendU32(out, 0xFFFFFFFFu);
    appendU32(out, 0);
    appendU8(out, 0);
    appendU8(out, 0);
    appendU8(out, index.index.primary ? kPrimaryKeyType : 0);
    if (info.jet4)
        appendU32(out, 0);
}

}  // namespace

TableLayout layoutTable(const FormatInfo& info, const std::vector<Column>& columns, const std::vector<ColumnTraits>& traits)
{
    if (columns.empty() || columns.size() > 255)
        throw std::runtime_error("a table needs 1 to 255 columns");
    TableLayout layout;
    for (size_t i = 0; i < columns.size(); ++i) {
        const ColumnTraits trait = i < traits.size() ? traits[i] : ColumnTraits{};
        ColumnLayout c;
        c.column = columns[i];
        checkColumn(info, c.column);
        c.complexKey = trait.complexKey;
        c.complexId = trait.complexId;
        c.typeCode = c.complexKey ? 0x12 : descriptorTypeCode(c.column);
        c.number = static_cast<uint16_t>(i);
        c.length = declaredLength(info, c.column);
        c.fixed = rowBytes(c.column) >= 0 && !trait.storedVariable;
        c.calculated = !c.column.expression.empty();
        const uint8_t usual = static_cast<uint8_t>((c.fixed ? kFlagFixed : 0) | kFlagNullable |
                                                   (c.column.autoNumber ? kFlagAutoNumber : 0));
        c.flags = trait.flags.value_or(c.complexKey ? 0x07 : usual);
        const uint8_t usualExt = c.calculated ? kFlagCalculated : isTextual(c.column.type) ? kFlagCompressedUnicode : 0;
        c.extFlags = trait.extFlags.value_or(usualExt);
        if (c.fixed) {
            c.fixedOffset = c.column.type == ColumnType::YesNo ? 0 : layout.fixedSize;
            layout.fixedSize = static_cast<uint16_t>(layout.fixedSize + rowBytes(c.column));
        } else {
            c.varIndex = layout.varCount++;
        }
        layout.columns.push_back(std::move(c));
    }
    return layout;
}

void addIndexes(TableLayout& layout, const std::vector<Index>& indexes)
{
    for (const Index& index : indexes) {
        if (index.keys.empty() || index.keys.size() > kMaxIndexKeys || index.name.empty())
            throw std::runtime_error("index " + index.name + ": needs a name and 1 to 10 columns");
        IndexLayout made{index, {}, 0};
        for (const IndexKey& key : index.keys) {
            const auto found = std::find_if(layout.columns.begin(), layout.columns.end(),
                                            [&](const ColumnLayout& c) { return c.column.name == key.column; });
            if (found == layout.columns.end())
                throw std::runtime_error("index " + index.name + ": no column " + key.column);
            made.columnNumbers.push_back(found->number);
        }
        layout.indexes.push_back(std::move(made));
    }
}

std::vector<uint8_t> emptyIndexPage(const FormatInfo& info, uint32_t definitionPage)
{
    const size_t entriesStart = info.jet4 ? 0x1E0 : 0xF8;  // after the page's header and entry mask
    std::vector<uint8_t> page(info.pageSize, 0);
    page[0] = kIndexLeafPage;
    page[1] = 0x01;
    putU16(page.data() + 2, static_cast<uint32_t>(info.pageSize - entriesStart));
    putU32(page.data() + 4, definitionPage);
    return page;
}

std::vector<uint8_t> encodeTableDefinition(const FormatInfo& info, const TableLayout& layout, const TableTotals& totals)
{
    std::vector<uint8_t> out;
    appendHeader(info, out, layout, totals);
    uint16_t varsBefore = 0;
    for (const auto& c : layout.columns) {
        if (info.jet4)
            appendJet4Column(out, c, varsBefore);
        else
            appendJet3Column(out, c, varsBefore);
        if (!c.fixed)
            ++varsBefore;
    }
    for (const auto& c : layout.columns)
        appendName(info, out, c.column.name);
    for (const auto& index : layout.indexes)
        appendRealIndex(info, out, index);
    for (size_t i = 0; i < layout.indexes.size(); ++i)
        appendLogicalIndex(info, out, static_cast<uint32_t>(i), layout.indexes[i]);
    for (const auto& index : layout.indexes)
        appendName(info, out, index.index.name);
    appendU16(out, 0xFFFF);  // no per-column long-value usage maps
    putU32(out.data() + kPageHeaderSize, static_cast<uint32_t>(out.size()));
    return out;
}

uint32_t tableDefinitionPages(const FormatInfo& info, size_t logicalSize)
{
    const size_t body = logicalSize - kPageHeaderSize;
    const size_t perPage = info.pageSize - kPageHeaderSize;
    return static_cast<uint32_t>((body + perPage - 1) / perPage);
}

std::vector<std::vector<uint8_t>> tableDefinitionPageImages(const FormatInfo& info, const std::vector<uint8_t>& record,
                                                            uint32_t first)
{
    const uint32_t count = tableDefinitionPages(info, record.size());
    const size_t perPage = info.pageSize - kPageHeaderSize;
    std::vector<std::vector<uint8_t>> pages;
    for (uint32_t k = 0; k < count; ++k) {
        std::vector<uint8_t> page(info.pageSize, 0);
        const size_t from = kPageHeaderSize + k * perPage;
        const size_t take = std::min(perPage, record.size() - from);
        std::copy(record.begin() + static_cast<std::ptrdiff_t>(from),
                  record.begin() + static_cast<std::ptrdiff_t>(from + take), page.begin() + kPageHeaderSize);
        page[0] = 0x02;
        page[1] = 0x01;
        if (info.jet4) {
            // Jet 4 keeps the page's free space less 8 here.
            const size_t free = info.pageSize - kPageHeaderSize - take;
            putU16(page.data() + 2, static_cast<uint32_t>(free > kPageHeaderSize ? free - kPageHeaderSize : 0));
        } else {
            page[2] = 'V';
            page[3] = 'C';
        }
        putU32(page.data() + 4, k + 1 < count ? first + k + 1 : 0);
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace jetwriter
