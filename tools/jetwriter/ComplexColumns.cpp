#include "jetwriter/ComplexColumns.h"

#include "jetwriter/AttachmentData.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <numeric>
#include <stdexcept>

namespace jetwriter {
namespace {

constexpr uint8_t kHiddenColumnExtFlags = 0x20;
constexpr size_t kMaxNameChars = 64;

bool isComplex(ColumnType type)
{
    return type == ColumnType::Attachment || type == ColumnType::MultiValue || type == ColumnType::VersionedMemo;
}

// The same names give the same identifiers, so a description always gives the same file.
uint64_t mix(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string hexId(const std::string& table, const std::string& column, uint64_t salt)
{
    uint64_t h = 0x9E3779B97F4A7C15ull ^ salt;
    for (unsigned char c : table + '\0' + column)
        h = mix(h + c);
    char text[33];
    std::snprintf(text, sizeof text, "%016llX%016llX", static_cast<unsigned long long>(h),
                  static_cast<unsigned long long>(mix(h + 1)));
    return text;
}

std::string guidText(const std::string& hex)
{
    return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" + hex.substr(20);
}

std::string cutToMaxChars(const std::string& name)
{
    size_t chars = 0;
    for (size_t i = 0; i < name.size(); ++i)
        if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && ++chars > kMaxNameChars)
            return name.substr(0, i);
    return name;
}

// Access's order of a value table's columns: by name, case aside, '_' before letters and digits.
bool nameBefore(const Column& a, const Column& b)
{
    const auto key = [](const std::string& name) {
        std::string k;
        for (unsigned char c : name)
            k.push_back(c == '_' ? ' ' : static_cast<char>(std::tolower(c)));
        return k;
    };
    return key(a.name) < key(b.name);
}

Column keyColumn(const std::string& name) { return Column{cutToMaxChars(name), ColumnType::Long}; }

ColumnTraits variableLong(uint8_t flags, uint8_t extFlags)
{
    ColumnTraits trait;
    trait.storedVariable = true;
    trait.flags = flags;
    trait.extFlags = extFlags;
    return trait;
}

// Values of an unknown type are given as text holding their bytes.
Cell scalarCell(const ScalarValue& value, bool unknownType)
{
    if (const auto* text = std::get_if<std::string>(&value); text && unknownType)
        return Bytes{std::vector<uint8_t>(text->begin(), text->end())};
    return std::visit([](const auto& v) { return Cell{v}; }, value);
}

Column unknownValueColumn(const Column& column)
{
    Column value{"Value", ColumnType::Unknown, column.size};
    value.typeCode = column.typeCode;
    return value;
}

}  // namespace

ComplexColumns::ComplexColumns(const FormatInfo& info, const std::vector<Table>& tables)
{
    if (info.ace)
        for (const auto& type : standardComplexTypes())
            hidden_.push_back({type.name, type.columns, type.traits, {}, kComplexTypeFlags, 0});
    for (size_t t = 0; t < tables.size(); ++t) {
        columns_.push_back(tables[t].columns);
        traits_.emplace_back(tables[t].columns.size());
        for (size_t c = 0; c < tables[t].columns.size(); ++c) {
            const ColumnType type = tables[t].columns[c].type;
            if ((isComplex(type) || type == ColumnType::DateTimeExtended) && !info.ace)
                throw std::runtime_error("column " + tables[t].columns[c].name + ": needs an ACE format");
            if (isComplex(type))
                addLink(tables[t].name, t, c);
        }
    }
}

void ComplexColumns::addLink(const std::string& tableName, size_t table, size_t source)
{
    const Column column = columns_[table][source];  // a copy: the table's columns grow below
    // A renamed column's hidden table and link keep the name it was created with.
    const std::string& created = column.createdAs.empty() ? column.name : column.createdAs;
    Link link{table, source, created, column.type, static_cast<uint32_t>(links_.size() + 1), 0, 0, {}};
    std::vector<Column> values;
    std::vector<ColumnTraits> valueTraits;
    ColumnTraits keyTrait;
    keyTrait.complexKey = true;
    keyTrait.complexId = link.complexId;
    if (column.type == ColumnType::VersionedMemo) {
        link.name = "VersionHistory_" + guidText(hexId(tableName, column.name, 1));
        columns_[table][source].type = ColumnType::Memo;
        columns_[table].push_back(Column{link.name, ColumnType::Long});
        keyTrait.extFlags = kHiddenColumnExtFlags;
        traits_[table].push_back(keyTrait);
        ComplexTypeTable type = versionHistoryType(hexId(tableName, column.name, 2), column.name);
        values = type.columns;
        valueTraits.assign(values.size(), ColumnTraits{});
        link.typeTable = hidden_.size();
        hidden_.push_back({type.name, type.columns, type.traits, {}, kComplexTypeFlags, 0});
    } else if (column.type == ColumnType::MultiValue && column.valueType == ColumnType::Unknown) {
        // Values of a type no Access version defines get a template of their own.
        ComplexTypeTable type{"MSysComplexType_" + hexId(tableName, created, 4), {unknownValueColumn(column)}, {}};
        values = type.columns;
        valueTraits.assign(values.size(), ColumnTraits{});
        link.typeTable = hidden_.size();
        hidden_.push_back({type.name, type.columns, type.traits, {}, kComplexTypeFlags, 0});
        columns_[table][source] = Column{column.name, ColumnType::Long};
        traits_[table][source] = keyTrait;
    } else {
        const size_t typeIndex = column.type == ColumnType::Attachment ? attachmentTypeIndex() : multiValueTypeIndex(column.valueType);
        const ComplexTypeTable& type = standardComplexTypes()[typeIndex];
        link.typeTable = typeIndex;
        values = type.columns;
        valueTraits = type.traits.empty() ? std::vector<ColumnTraits>(values.size()) : type.traits;
        if (column.type == ColumnType::MultiValue)
            values[0] = Column{"Value", column.valueType, column.valueType == ColumnType::Text ? (column.size ? column.size : 255) : 0};
        columns_[table][source] = Column{column.name, ColumnType::Long};
        traits_[table][source] = keyTrait;
    }
    // Value table: key, the template's columns, id; then sorted by name.
    std::vector<Column> unsorted{keyColumn("_" + link.name)};
    std::vector<ColumnTraits> unsortedTraits{variableLong(0x02, 0x08)};
    unsorted.insert(unsorted.end(), values.begin(), values.end());
    unsortedTraits.insert(unsortedTraits.end(), valueTraits.begin(), valueTraits.end());
    unsorted.push_back(keyColumn(tableName + "_" + link.name));
    unsortedTraits.push_back(variableLong(0x06, 0x04));
    std::vector<size_t> byName(unsorted.size());
    std::iota(byName.begin(), byName.end(), 0);
    std::stable_sort(byName.begin(), byName.end(), [&](size_t a, size_t b) { return nameBefore(unsorted[a], unsorted[b]); });
    HiddenTable valueTable{cutToMaxChars("f_" + hexId(tableName, created, 3) + "_" + link.name), {}, {}, {}, kComplexValueFlags, 0};
    link.order.resize(unsorted.size());
    for (size_t position = 0; position < byName.size(); ++position) {
        valueTable.columns.push_back(unsorted[byName[position]]);
        valueTable.traits.push_back(unsortedTraits[byName[position]]);
        link.order[byName[position]] = position;
    }
    link.valueTable = hidden_.size();
    hidden_.push_back(std::move(valueTable));
    links_.push_back(std::move(link));
}

bool ComplexColumns::hasComplexColumns(size_t table) const
{
    return std::any_of(links_.begin(), links_.end(), [table](const Link& link) { return link.table == table; });
}

Row ComplexColumns::store(size_t table, const Row& row, uint32_t key)
{
    Row stored = row;
    for (Link& link : links_) {
        if (link.table != table || link.source >= row.size())
            continue;
        storeValues(link, row[link.source], key);
        if (link.kind == ColumnType::VersionedMemo) {
            const auto* history = std::get_if<VersionHistory>(&row[link.source]);
            stored[link.source] = history && !history->versions.empty() ? Cell{history->versions.back().text} : Cell{Null{}};
            stored.push_back(int64_t{key});
        } else {
            stored[link.source] = int64_t{key};
        }
    }
    return stored;
}

void ComplexColumns::storeValues(Link& link, const Cell& cell, uint32_t key)
{
    if (std::holds_alternative<Null>(cell))
        return;
    const auto* files = std::get_if<Attachments>(&cell);
    const auto* values = std::get_if<MultiValues>(&cell);
    const auto* history = std::get_if<VersionHistory>(&cell);
    if (link.kind == ColumnType::Attachment && files) {
        for (const Attachment& file : files->files) {
            const std::string type = fileExtension(file.name);
            addValueRow(link, key, {Null{}, file.name, type, Bytes{attachmentFileData(type, file.data)}, Null{}, Null{}});
        }
    } else if (link.kind == ColumnType::MultiValue && values) {
        const bool unknownType = hidden_[link.typeTable].columns.front().type == ColumnType::Unknown;
        for (const ScalarValue& value : values->values)
            addValueRow(link, key, {scalarCell(value, unknownType)});
    } else if (link.kind == ColumnType::VersionedMemo && history) {
        for (const Version& version : history->versions)
            addValueRow(link, key, {version.text, DateValue{version.modified}});
    } else {
        throw std::runtime_error("column " + columns_[link.table][link.source].name + ": value does not suit the complex column");
    }
}

void ComplexColumns::addValueRow(Link& link, uint32_t key, std::vector<Cell> values)
{
    HiddenTable& valueTable = hidden_[link.valueTable];
    std::vector<Cell> unsorted{int64_t{key}};
    unsorted.insert(unsorted.end(), values.begin(), values.end());
    unsorted.push_back(int64_t{++valueTable.lastAutonumber});
    Row row(unsorted.size());
    for (size_t i = 0; i < unsorted.size(); ++i)
        row[link.order[i]] = std::move(unsorted[i]);
    valueTable.rows.push_back(std::move(row));
}

std::vector<Row> ComplexColumns::catalogRows(const std::vector<uint32_t>& userPages, const std::vector<uint32_t>& hiddenPages) const
{
    std::vector<Row> rows;
    for (const Link& link : links_)
        rows.push_back({link.name, int64_t{hiddenPages[link.typeTable]}, int64_t{hiddenPages[link.valueTable]},
                        int64_t{userPages[link.table]}, int64_t{link.complexId}});
    return rows;
}

}  // namespace jetwriter
