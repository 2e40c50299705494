#pragma once
// The tables of libmdb's catalogue as the table list shows them.

#include <QString>

#include <cstdint>
#include <type_traits>
#include <vector>

// After the C++ headers: libmdb's header wraps glib, whose C++ parts need <type_traits>, in extern "C".
#include <mdbtools.h>

namespace varnex::reader {

struct ListedTable {
    QString name;
    QString type;  // "TABLE", "ACCESS TABLE" or "SYSTEM TABLE"
    MdbCatalogEntry* entry = nullptr;
};

// Every table (user, system and Access's own) of the catalogue libmdb has read, by type, then name;
// without the hidden tables of complex columns, which Access does not list either, and without
// entries of no valid name (a damaged catalogue), which are counted in nameless.
std::vector<ListedTable> listedTables(MdbHandle* mdb, int64_t& nameless);

// The table of that name; the name as spelt wins over one that differs only in letter case.
MdbCatalogEntry* tableNamed(MdbHandle* mdb, const QString& name);

// The tables a user picks from: not those whose names start "MSys" in any letter case.
bool isUserTableName(const QString& name);

}  // namespace varnex::reader
