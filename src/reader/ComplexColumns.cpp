#include "reader/ComplexColumns.h"

#include "store/FieldTypes.h"
#include "store/ValueList.h"

#include <algorithm>
#include <cstring>

namespace varnex::reader {
namespace {

constexpr uint32_t kPageOfId = 0x00FFFFFF;
// Access type codes of the columns the template tables are made of.
constexpr int kByteCode = 0x02, kIntegerCode = 0x03, kLongCode = 0x04, kSingleCode = 0x06, kDoubleCode = 0x07,
              kDateCode = 0x08, kTextCode = 0x0A, kOleCode = 0x0B, kMemoCode = 0x0C, kGuidCode = 0x0F, kDecimalCode = 0x10,
              kBigIntCode = 0x13;

const QString kFileName = QStringLiteral("FileName");

std::optional<int> columnNamed(const TableData& table, const QString& name)
{
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.info(c).name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return std::nullopt;
}

std::optional<uint32_t> longAt(const TableData& table, int64_t row, int column)
{
    if (table.info(column).type != FieldType::Integer || table.isNull(row, column))
        return std::nullopt;
    int32_t value = 0;
    std::memcpy(&value, table.fixedValue(row, column), sizeof value);
    return static_cast<uint32_t>(value);
}

int countOf(const std::vector<ColumnShape>& columns, int typeCode)
{
    return static_cast<int>(std::count_if(columns.begin(), columns.end(), [typeCode](const ColumnShape& c) { return c.typeCode == typeCode; }));
}

bool isShape(const std::vector<ColumnShape>& columns, const QString& name)
{
    return std::any_of(columns.begin(), columns.end(), [&](const ColumnShape& c) { return c.name.compare(name, Qt::CaseInsensitive) == 0; });
}

// The one value of a multi-value column is of a simple type, or of one this program does not know.
bool isSimpleValue(int typeCode)
{
    switch (typeCode) {
    case kByteCode: case kIntegerCode: case kLongCode: case kSingleCode: case kDoubleCode: case kGuidCode:
    case kDecimalCode: case kTextCode: case kBigIntCode: return true;
    case kDateCode: case kOleCode: case kMemoCode: return false;
    default: return typeCode > kBigIntCode + 1;  // past the last type read (0x14)
    }
}

}  // namespace

std::optional<ComplexLink> findComplexLink(const TableData& complexColumns, uint32_t tablePage, uint32_t complexId)
{
    const auto id = columnNamed(complexColumns, QStringLiteral("ComplexID"));
    const auto type = columnNamed(complexColumns, QStringLiteral("ComplexTypeObjectID"));
    const auto flat = columnNamed(complexColumns, QStringLiteral("FlatTableID"));
    const auto table = columnNamed(complexColumns, QStringLiteral("ConceptualTableID"));
    if (!id || !type || !flat || !table || complexId == 0)
        return std::nullopt;
    for (int64_t row = 0; row < complexColumns.rowCount(); ++row) {
        if (longAt(complexColumns, row, *id) != complexId)
            continue;
        const auto owner = longAt(complexColumns, row, *table);
        const auto templateId = longAt(complexColumns, row, *type);
        const auto flatId = longAt(complexColumns, row, *flat);
        if (!owner || (*owner & kPageOfId) != tablePage || !templateId || !flatId)
            return std::nullopt;
        return ComplexLink{*templateId & kPageOfId, *flatId & kPageOfId};
    }
    return std::nullopt;
}

// An attachment's template: FileURL (Memo), FileName and FileType (Text), FileData (OLE), FileTimeStamp
// (Date) and FileFlags (Long). A version history's: the memo's text and the date it was written.
ComplexKind complexKindOf(const std::vector<ColumnShape>& columns)
{
    if (columns.size() >= 6 && countOf(columns, kMemoCode) >= 1 && countOf(columns, kTextCode) >= 2 &&
        countOf(columns, kOleCode) >= 1 && countOf(columns, kDateCode) >= 1 && countOf(columns, kLongCode) >= 1 &&
        isShape(columns, kFileName))
        return ComplexKind::Attachment;
    if (columns.size() == 1 && isSimpleValue(columns.front().typeCode))
        return ComplexKind::MultiValue;
    if (columns.size() >= 2 && countOf(columns, kMemoCode) >= 1 && countOf(columns, kDateCode) >= 1)
        return ComplexKind::VersionHistory;
    return ComplexKind::Unknown;
}

std::optional<FlatColumns> findFlatColumns(const std::vector<ColumnShape>& flat, const std::vector<ColumnShape>& templateColumns,
                                           ComplexKind kind)
{
    FlatColumns found;
    if (kind == ComplexKind::Attachment)
        found.value = kFileName;
    else if (kind == ComplexKind::MultiValue && templateColumns.size() == 1)
        found.value = templateColumns.front().name;
    for (const ColumnShape& column : flat) {
        if (column.typeCode == kLongCode && !column.autoNumber && !isShape(templateColumns, column.name) && found.key.isEmpty())
            found.key = column.name;
    }
    if (found.key.isEmpty() || found.value.isEmpty() || !isShape(flat, found.value))
        return std::nullopt;
    return found;
}

std::optional<ComplexValues> collectComplexValues(const TableData& flat, const FlatColumns& columns)
{
    const auto key = columnNamed(flat, columns.key);
    const auto value = columnNamed(flat, columns.value);
    if (!key || !value)
        return std::nullopt;
    const ColumnInfo& info = flat.info(*value);
    ComplexValues values{info.type, info.precision, info.scale, {}, info.storedType, {}};
    for (int64_t row = 0; row < flat.rowCount(); ++row) {
        const auto owner = longAt(flat, row, *key);
        if (!owner || flat.isNull(row, *value))
            continue;
        if (info.type == FieldType::Unsupported) {
            uint32_t bytes = 0;
            std::memcpy(&bytes, flat.fixedValue(row, *value), sizeof bytes);
            values.unreadBytes[*owner] += bytes;
            continue;
        }
        const double date = info.type == FieldType::Date ? flat.dateValue(row, *value) : 0.0;
        const std::string_view bytes =
            isVariableLength(info.type)   ? flat.bytesValue(row, *value)
            : info.type == FieldType::Date ? std::string_view(reinterpret_cast<const char*>(&date), sizeof date)
                                           : std::string_view(reinterpret_cast<const char*>(flat.fixedValue(row, *value)),
                                                              static_cast<size_t>(fixedWidth(info.type)));
        appendListValue(values.lists[*owner], bytes);
    }
    return values;
}

}  // namespace varnex::reader
