#pragma once
// Checks the parts of a table's definition that libmdb trusts without looking:
// its definition pages and their chain, the counts that size what libmdb reads,
// and the row holding its page usage map. libmdb is only handed tables that pass.

#include <QString>

#include <cstdint>

namespace varnex::reader {

inline constexpr uint32_t kCatalogueDefinitionPage = 2;

// pageSize: 2048 (Jet 3) or 4096 (Jet 4 and later).
bool tableDefinitionLooksSound(const QString& path, int pageSize, uint32_t definitionPage);

}  // namespace varnex::reader
