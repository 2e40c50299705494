#include "jetwriter/Catalog.h"

namespace jetwriter {
namespace {

constexpr int64_t kTablesContainer = 0x0F000001;
constexpr int64_t kDatabasesContainer = 0x0F000002;
constexpr int64_t kRelationshipsContainer = 0x0F000003;
constexpr int64_t kRootContainer = 0x0F000000;
constexpr int64_t kDatabaseObject = 0x10000000;
constexpr int64_t kSystemFlags = kSystemObjectFlags;
constexpr int64_t kTypeTable = 1;
constexpr int64_t kTypeDatabase = 2;
constexpr int64_t kTypeContainer = 3;
constexpr size_t kPropertiesColumn = 14;  // LvProp

Column text(const char* name) { return Column{name, ColumnType::Text, 255}; }
Column binary(const char* name) { return Column{name, ColumnType::Binary, 255}; }
Column of(const char* name, ColumnType type) { return Column{name, type}; }

Row object(int64_t id, int64_t parent, const std::string& name, int64_t type, int64_t flags, double created)
{
    Row row(17, Null{});
    row[0] = id;
    row[1] = parent;
    row[2] = name;
    row[3] = type;
    row[4] = DateValue{created};
    row[5] = DateValue{created};
    row[7] = flags;
    return row;
}

}  // namespace

std::vector<SystemTable> systemTables(const FormatInfo& info)
{
    using T = ColumnType;
    std::vector<SystemTable> tables = {
        {"MSysObjects",
         {of("Id", T::Long), of("ParentId", T::Long), text("Name"), of("Type", T::Integer), of("DateCreate", T::DateTime),
          of("DateUpdate", T::DateTime), binary("Owner"), of("Flags", T::Long), of("Database", T::Memo),
          of("Connect", T::Memo), text("ForeignName"), binary("RmtInfoShort"), of("RmtInfoLong", T::Ole), of("Lv", T::Ole),
          of("LvProp", T::Ole), of("LvModule", T::Ole), of("LvExtra", T::Ole)}},
        {"MSysACEs", {of("ObjectId", T::Long), binary("SID"), of("ACM", T::Long), of("FInheritable", T::YesNo)}},
        {"MSysQueries",
         {of("ObjectId", T::Long), of("Attribute", T::Byte), binary("Order"), text("Name1"), text("Name2"),
          of("Expression", T::Memo), of("Flag", T::Integer)}},
        {"MSysRelationships",
         {text("szRelationship"), of("grbit", T::Long), of("ccolumn", T::Long), of("icolumn", T::Long), text("szObject"),
          text("szColumn"), text("szReferencedObject"), text("szReferencedColumn")}},
    };
    if (info.ace)
        tables.push_back({"MSysComplexColumns",
                          {text("ColumnName"), of("ComplexTypeObjectID", T::Long), of("FlatTableID", T::Long),
                           of("ConceptualTableID", T::Long), of("ComplexID", T::Long)}});
    return tables;
}

std::vector<Row> catalogRows(const std::vector<CatalogTable>& tables, double created)
{
    std::vector<Row> rows;
    rows.push_back(object(kTablesContainer, kRootContainer, "Tables", kTypeContainer, kSystemFlags, created));
    rows.push_back(object(kDatabasesContainer, kRootContainer, "Databases", kTypeContainer, kSystemFlags, created));
    rows.push_back(object(kRelationshipsContainer, kRootContainer, "Relationships", kTypeContainer, kSystemFlags, created));
    rows.push_back(object(kDatabaseObject, kDatabasesContainer, "MSysDb", kTypeDatabase, kSystemFlags, created));
    const char* const applicationContainers[] = {"Forms", "Reports", "Modules", "Scripts", "SysRel", "DataAccessPages"};
    int64_t id = static_cast<int32_t>(0x80000000u);
    for (const char* name : applicationContainers)
        rows.push_back(object(id++, kRootContainer, name, kTypeContainer, 0, created));
    // A table's Id is the page of its definition; system tables are told apart by their flags alone.
    for (const auto& table : tables) {
        rows.push_back(object(table.definitionPage, kTablesContainer, table.name, kTypeTable, table.flags, created));
        if (!table.properties.empty())
            rows.back()[kPropertiesColumn] = Bytes{table.properties};
    }
    return rows;
}

}  // namespace jetwriter
