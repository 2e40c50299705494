#pragma once
// Checks the parts of a table's definition that libmdb trusts without looking:
// its definition pages and their chain, the counts that size what libmdb reads,
// and the row holding its page usage map. libmdb is only handed tables that pass.
// Also reads what libmdb leaves out of the column descriptors.

#include <QString>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace varnex::reader {

inline constexpr uint32_t kCatalogueDefinitionPage = 2;

// pageSize: 2048 (Jet 3) or 4096 (Jet 4 and later).
bool tableDefinitionLooksSound(const QString& path, int pageSize, uint32_t definitionPage);

// The parts of a Jet 4 or ACE column descriptor libmdb does not keep.
struct ColumnExtras {
    uint8_t extendedFlags = 0;  // offset 16; see isCalculated
    uint32_t complexId = 0;     // offset 11: a complex column's ComplexID in MSysComplexColumns
};

// Access 2010 marks a calculated column in the extended flags.
inline bool isCalculated(const ColumnExtras& extras)
{
    return (extras.extendedFlags & 0xC0) != 0;
}

// By the column's number (the low byte of offset 5, as libmdb's MdbColumn::col_num); empty for
// Jet 3 and where the definition cannot be read.
std::unordered_map<int, ColumnExtras> readColumnExtras(const QString& path, int pageSize, uint32_t definitionPage);

// The definition's pages as one record: the first page whole, then each following page after its
// 8-byte header; nothing where a page of the chain is missing or of another kind.
std::optional<std::vector<uint8_t>> readDefinitionRecord(const QString& path, int pageSize, uint32_t definitionPage);

}  // namespace varnex::reader
