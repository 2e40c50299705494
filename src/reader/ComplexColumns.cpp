#include "reader/ComplexColumns.h"

#include "data/FieldTypes.h"
#include "data/ValueList.h"

#include <cstring>

namespace varnex::reader {
namespace {

constexpr uint32_t kPageOfId = 0x00FFFFFF;
constexpr qsizetype kMaxNameLength = 64;

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
    if (table.info(column).type != fieldtype::Integer || table.isNull(row, column))
        return std::nullopt;
    int32_t value = 0;
    std::memcpy(&value, table.fixedValue(row, column), sizeof value);
    return static_cast<uint32_t>(value);
}

QString textAt(const TableData& table, int64_t row, int column)
{
    if (table.info(column).type != fieldtype::VarWChar || table.isNull(row, column))
        return {};
    const std::string_view bytes = table.bytesValue(row, column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

const QString kFileName = QStringLiteral("FileName");
const QString kValue = QStringLiteral("Value");

// The value column of a flat table: the file name of an attachment, the value of a multi-value column.
std::optional<int> valueColumn(const TableData& flat, ComplexKind kind)
{
    if (kind == ComplexKind::Attachment)
        return columnNamed(flat, kFileName);
    if (kind == ComplexKind::MultiValue)
        return columnNamed(flat, kValue);
    return std::nullopt;
}

// Access cuts the key column's name, like every name, to 64 characters.
QString keyColumn(const QString& column)
{
    return (u'_' + column).left(kMaxNameLength);
}

}  // namespace

std::optional<ComplexLink> findComplexLink(const TableData& complexColumns, uint32_t tablePage, const QString& column)
{
    const auto name = columnNamed(complexColumns, QStringLiteral("ColumnName"));
    const auto type = columnNamed(complexColumns, QStringLiteral("ComplexTypeObjectID"));
    const auto flat = columnNamed(complexColumns, QStringLiteral("FlatTableID"));
    const auto table = columnNamed(complexColumns, QStringLiteral("ConceptualTableID"));
    if (!name || !type || !flat || !table)
        return std::nullopt;
    for (int64_t row = 0; row < complexColumns.rowCount(); ++row) {
        const auto owner = longAt(complexColumns, row, *table);
        if (!owner || (*owner & kPageOfId) != tablePage || textAt(complexColumns, row, *name).compare(column, Qt::CaseInsensitive) != 0)
            continue;
        const auto templateId = longAt(complexColumns, row, *type);
        const auto flatId = longAt(complexColumns, row, *flat);
        if (!templateId || !flatId)
            return std::nullopt;
        return ComplexLink{*templateId & kPageOfId, *flatId & kPageOfId};
    }
    return std::nullopt;
}

ComplexKind complexKindOf(const QString& templateName)
{
    if (templateName.compare(u"MSysComplexType_Attachment", Qt::CaseInsensitive) == 0)
        return ComplexKind::Attachment;
    if (templateName.startsWith(u"MSysComplexTypeVH_", Qt::CaseInsensitive))
        return ComplexKind::VersionHistory;
    if (templateName.startsWith(u"MSysComplexType_", Qt::CaseInsensitive))
        return ComplexKind::MultiValue;
    return ComplexKind::Unknown;
}

bool isNeededFlatColumn(const QString& flatColumn, const QString& column)
{
    return flatColumn.compare(keyColumn(column), Qt::CaseInsensitive) == 0 || flatColumn.compare(kFileName, Qt::CaseInsensitive) == 0 ||
           flatColumn.compare(kValue, Qt::CaseInsensitive) == 0;
}

std::optional<ComplexValues> collectComplexValues(const TableData& flat, const QString& column, ComplexKind kind)
{
    const auto key = columnNamed(flat, keyColumn(column));
    const auto value = valueColumn(flat, kind);
    if (!key || !value)
        return std::nullopt;
    const ColumnInfo& info = flat.info(*value);
    ComplexValues values{info.type, info.precision, info.scale, {}};
    for (int64_t row = 0; row < flat.rowCount(); ++row) {
        const auto owner = longAt(flat, row, *key);
        if (!owner || info.type == 0 || flat.isNull(row, *value))
            continue;
        const std::string_view bytes =
            isVariableLength(info.type)
                ? flat.bytesValue(row, *value)
                : std::string_view(reinterpret_cast<const char*>(flat.fixedValue(row, *value)), static_cast<size_t>(fixedWidth(info.type)));
        appendListValue(values.lists[*owner], bytes);
    }
    return values;
}

}  // namespace varnex::reader
