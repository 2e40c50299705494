#include "CatalogueEntries.h"

#include <algorithm>

namespace varnex::reader {
namespace {

constexpr uint32_t kSystemObjectFlag = 0x80000000u;
// Access's own tables for complex columns: system objects flagged as the template tables
// (MSysComplexType_*) or the flat tables of values (f_<hex>_<column>).
constexpr uint32_t kObjectKindMask = 0xFFFF0000u;
constexpr uint32_t kComplexTemplateFlags = 0x80030000u;
constexpr uint32_t kComplexValuesFlags = 0x800A0000u;

bool isComplexColumnTable(const MdbCatalogEntry& entry)
{
    const uint32_t kind = static_cast<uint32_t>(entry.flags) & kObjectKindMask;
    return kind == kComplexTemplateFlags || kind == kComplexValuesFlags;
}

QString tableType(const MdbCatalogEntry& entry)
{
    if (static_cast<uint32_t>(entry.flags) & kSystemObjectFlag)
        return QStringLiteral("SYSTEM TABLE");
    if (isUserTableName(QString::fromUtf8(entry.object_name)))
        return QStringLiteral("TABLE");
    return QStringLiteral("ACCESS TABLE");
}

// A damaged catalogue yields names that are empty, blank or not text at all. Other tools than Access write
// names Access would refuse (control characters among them); those are kept.
bool isValidObjectName(const QString& name)
{
    const bool blank = std::all_of(name.begin(), name.end(), [](QChar c) { return c.isSpace() || c.unicode() < 0x20; });
    return !blank && !name.contains(QChar::ReplacementCharacter);
}

}  // namespace

std::vector<ListedTable> listedTables(MdbHandle* mdb, int64_t& nameless)
{
    std::vector<ListedTable> tables;
    nameless = 0;
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || isComplexColumnTable(*entry))
            continue;
        const QString name = QString::fromUtf8(entry->object_name);
        if (isValidObjectName(name))
            tables.push_back({name, tableType(*entry), entry});
        else
            ++nameless;
    }
    std::stable_sort(tables.begin(), tables.end(), [](const ListedTable& a, const ListedTable& b) {
        if (a.type != b.type)
            return a.type < b.type;
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return tables;
}

MdbCatalogEntry* tableNamed(MdbHandle* mdb, const QString& name)
{
    MdbCatalogEntry* found = nullptr;
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const QString entryName = QString::fromUtf8(entry->object_name);
        if (entry->object_type != MDB_TABLE || entryName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (entryName == name)
            return entry;
        if (!found)
            found = entry;
    }
    return found;
}

bool isUserTableName(const QString& name)
{
    return !name.startsWith(u"MSys", Qt::CaseInsensitive);
}

}  // namespace varnex::reader
