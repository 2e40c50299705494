#include "jetwriter/JetWriter.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/Catalog.h"
#include "jetwriter/ColumnProperties.h"
#include "jetwriter/ComplexColumns.h"
#include "jetwriter/HeaderPage.h"
#include "jetwriter/PageFile.h"
#include "jetwriter/TableLayout.h"
#include "jetwriter/TableWriter.h"
#include "jetwriter/TextCodec.h"
#include "jetwriter/UsageMap.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <set>
#include <stdexcept>

namespace jetwriter {
namespace {

constexpr uint32_t kGlobalMapPage = 1;
constexpr uint32_t kCatalogPage = 2;
constexpr double kUnixEpochInDays = 25569.0;  // 1970-01-01 counted from 1899-12-30

// Local time, as Access stamps a new database.
double nowInDays()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double unixSeconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    return kUnixEpochInDays + (unixSeconds + static_cast<double>(local.tm_gmtoff)) / 86400.0;
}

std::string foldedName(const std::string& name)
{
    std::string folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

void checkTableNames(const FormatInfo& info, const Database& database)
{
    std::set<std::string> seen;
    for (const auto& table : systemTables(info))
        seen.insert(foldedName(table.name));
    if (info.ace)
        for (const auto& table : standardComplexTypes())
            seen.insert(foldedName(table.name));
    for (const auto& table : database.tables) {
        const size_t length = utf8ToUtf16(table.name).size();
        if (length == 0 || length > 64)
            throw std::runtime_error("table name must have 1 to 64 characters");
        if (!seen.insert(foldedName(table.name)).second)
            throw std::runtime_error("duplicate table name: " + table.name);
    }
}

// Writes the maps, then the definition pages, of a table whose rows are all on disk.
class Finisher {
public:
    Finisher(const FormatInfo& info, PageFile& file) : info_(info), file_(file), maps_(info, file, 0) {}

    void finishTable(const TableLayout& layout, uint32_t definitionPage, const TableWriter& rows, TableTotals totals)
    {
        totals.rowCount = rows.rowCount();
        totals.ownedPagesMap = maps_.add(buildUsageMap(info_, file_, rows.pages()));
        std::vector<uint32_t> withRoom;
        if (!rows.pages().empty() && rows.lastPageHasRoom())
            withRoom.push_back(rows.pages().back());
        totals.freePagesMap = maps_.add(buildUsageMap(info_, file_, withRoom));
        const auto record = encodeTableDefinition(info_, layout, totals);
        const auto images = tableDefinitionPageImages(info_, record, definitionPage);
        for (size_t k = 0; k < images.size(); ++k)
            file_.write(definitionPage + static_cast<uint32_t>(k), images[k]);
    }

    void flush() { maps_.flush(); }

private:
    const FormatInfo& info_;
    PageFile& file_;
    PagedRows maps_;
};

uint32_t reserveDefinition(const FormatInfo& info, PageFile& file, const TableLayout& layout)
{
    return file.allocate(tableDefinitionPages(info, encodeTableDefinition(info, layout, {}).size()));
}

// Each index gets its first (and only) leaf page, which holds no entries.
void writeIndexPages(const FormatInfo& info, PageFile& file, TableLayout& layout, uint32_t definitionPage)
{
    for (IndexLayout& index : layout.indexes) {
        index.firstPage = file.allocate();
        file.write(index.firstPage, emptyIndexPage(info, definitionPage));
    }
}

const Table& tableNamed(const Database& database, const std::string& name)
{
    for (const Table& table : database.tables) {
        if (table.name == name)
            return table;
    }
    throw std::runtime_error("relationship to a table that is not written: " + name);
}

void checkColumns(const Table& table, const std::vector<std::string>& columns)
{
    for (const std::string& column : columns) {
        if (std::none_of(table.columns.begin(), table.columns.end(), [&](const Column& c) { return c.name == column; }))
            throw std::runtime_error("relationship names no column " + column + " of " + table.name);
    }
}

// MSysRelationships: one row per pair of columns, numbered within the relationship.
std::vector<Row> relationshipRows(const Database& database)
{
    constexpr int64_t kNotEnforced = 0x2, kCascadeUpdates = 0x100, kCascadeDeletes = 0x1000;
    std::vector<Row> rows;
    for (const Relationship& relation : database.relationships) {
        checkColumns(tableNamed(database, relation.table), relation.columns);
        checkColumns(tableNamed(database, relation.referencedTable), relation.referencedColumns);
        if (relation.columns.empty() || relation.columns.size() != relation.referencedColumns.size())
            throw std::runtime_error("relationship " + relation.name + ": needs as many columns on each side");
        const int64_t flags = (relation.enforced ? 0 : kNotEnforced) | (relation.cascadeUpdates ? kCascadeUpdates : 0) |
                              (relation.cascadeDeletes ? kCascadeDeletes : 0);
        const auto count = static_cast<int64_t>(relation.columns.size());
        for (int64_t i = 0; i < count; ++i) {
            const auto at = static_cast<size_t>(i);
            rows.push_back({relation.name, flags, count, i, relation.table, relation.columns[at], relation.referencedTable,
                            relation.referencedColumns[at]});
        }
    }
    return rows;
}

// Rows of a table with complex columns each get a key (1, 2, ...) under which their complex values are kept.
void writeUserTable(const FormatInfo& info, PageFile& file, Finisher& finisher, const Table& table, const TableLayout& layout,
                    uint32_t definitionPage, ComplexColumns& complex, size_t index)
{
    TableWriter writer(info, file, layout, definitionPage);
    const bool keyed = complex.hasComplexColumns(index);
    uint32_t key = 0;
    const auto add = [&](const Row& row) { keyed ? writer.add(complex.store(index, row, ++key)) : writer.add(row); };
    for (const auto& row : table.rows)
        add(row);
    if (table.rowSource) {
        Row row;
        while (table.rowSource(row))
            add(row);
    }
    writer.finish();
    TableTotals totals;
    totals.lastComplexAutonumber = key;
    finisher.finishTable(layout, definitionPage, writer, totals);
}

void writeHiddenTable(const FormatInfo& info, PageFile& file, Finisher& finisher, const HiddenTable& table,
                      const TableLayout& layout, uint32_t definitionPage)
{
    TableWriter writer(info, file, layout, definitionPage);
    for (const auto& row : table.rows)
        writer.add(row);
    writer.finish();
    TableTotals totals;
    totals.lastAutonumber = table.lastAutonumber;
    finisher.finishTable(layout, definitionPage, writer, totals);
}

// Page 1: the database-wide map; a set bit marks a page that is free for reuse.
std::vector<uint8_t> globalMapPage(const FormatInfo& info, uint32_t pageCount)
{
    RowPage page(info, kGlobalMapPage);
    std::vector<uint8_t> free(info.usageMapRowSize, 0);
    for (uint32_t p = pageCount; p < info.usageMapBitmapSize * 8; ++p)
        free[5 + p / 8] = static_cast<uint8_t>(free[5 + p / 8] | (1u << (p % 8)));
    page.add(free.data(), free.size());
    const std::vector<uint8_t> second(info.usageMapRowSize, 0);
    page.add(second.data(), second.size());
    return page.bytes();
}

struct Plan {
    const FormatInfo& info;
    ComplexColumns complex;
    std::vector<TableLayout> userLayouts;
    std::optional<varnex::crypto::NewEncryption> encryption;
};

void writeInto(PageFile& file, const Database& database, Plan& plan)
{
    const FormatInfo& info = plan.info;
    const double created = database.created.value_or(nowInDays());
    if (plan.encryption)
        file.encryptWith(&plan.encryption->cipher);
    else if (!info.ace)
        file.encodeWith(database.encodingKey);
    file.allocate(2);  // header and global usage map, written last
    std::vector<TableLayout> systemLayouts;
    std::vector<CatalogTable> catalog;
    const auto system = systemTables(info);
    for (const auto& table : system) {
        systemLayouts.push_back(layoutTable(info, table.columns));
        catalog.push_back({table.name, reserveDefinition(info, file, systemLayouts.back()), kSystemObjectFlags, {}});
    }
    auto& hidden = plan.complex.hiddenTables();
    std::vector<TableLayout> hiddenLayouts;
    std::vector<uint32_t> hiddenPages;
    for (const auto& table : hidden) {
        hiddenLayouts.push_back(layoutTable(info, table.columns, table.traits));
        hiddenPages.push_back(reserveDefinition(info, file, hiddenLayouts.back()));
        catalog.push_back({table.name, hiddenPages.back(), table.flags, {}});
    }
    Finisher finisher(info, file);
    std::vector<uint32_t> userPages;
    for (size_t t = 0; t < database.tables.size(); ++t) {
        userPages.push_back(reserveDefinition(info, file, plan.userLayouts[t]));
        writeIndexPages(info, file, plan.userLayouts[t], userPages.back());
        catalog.push_back({database.tables[t].name, userPages.back(), 0, columnProperties(info, database.tables[t].columns)});
        writeUserTable(info, file, finisher, database.tables[t], plan.userLayouts[t], userPages.back(), plan.complex, t);
    }
    for (size_t h = 0; h < hidden.size(); ++h)
        writeHiddenTable(info, file, finisher, hidden[h], hiddenLayouts[h], hiddenPages[h]);
    for (size_t s = 0; s < systemLayouts.size(); ++s) {
        TableWriter writer(info, file, systemLayouts[s], catalog[s].definitionPage);
        std::vector<Row> rows;
        if (catalog[s].definitionPage == kCatalogPage)
            rows = catalogRows(catalog, created);
        else if (system[s].name == "MSysComplexColumns")
            rows = plan.complex.catalogRows(userPages, hiddenPages);
        else if (system[s].name == "MSysRelationships")
            rows = relationshipRows(database);
        for (const auto& row : rows)
            writer.add(row);
        writer.finish();
        TableTotals totals;
        totals.system = true;
        finisher.finishTable(systemLayouts[s], catalog[s].definitionPage, writer, totals);
    }
    finisher.flush();
    file.write(kGlobalMapPage, globalMapPage(info, file.pageCount()));
    file.write(0, buildHeaderPage(info, created, database.password, plan.encryption ? &*plan.encryption : nullptr,
                                  info.ace ? 0 : database.encodingKey));
    file.close();
}

std::optional<varnex::crypto::NewEncryption> encryptionFor(const FormatInfo& info, const Database& database)
{
    if (!info.ace || !database.password)
        return std::nullopt;
    using varnex::crypto::Method;
    const Method method = database.encryption == Encryption::Agile ? Method::Agile : Method::Rc4CryptoApi;
    auto made = varnex::crypto::createEncryption(method, utf8ToUtf16(*database.password), database.spinCount);
    if (!made)
        throw std::runtime_error("cannot encrypt: " + made.error().description.toStdString());
    return std::move(*made);
}

}  // namespace

void writeDatabase(const Database& database, const std::filesystem::path& path)
{
    const FormatInfo& info = formatInfo(database.format);
    checkTableNames(info, database);
    Plan plan{info, ComplexColumns(info, database.tables), {}, std::nullopt};
    for (size_t t = 0; t < database.tables.size(); ++t) {
        plan.userLayouts.push_back(layoutTable(info, plan.complex.columns(t), plan.complex.traits(t)));
        addIndexes(plan.userLayouts.back(), database.tables[t].indexes);
    }
    relationshipRows(database);  // checked before anything is written
    if (database.password && utf8ToUtf16(*database.password).size() > 20)
        throw std::runtime_error("database password longer than 20 characters");
    plan.encryption = encryptionFor(info, database);
    PageFile file(path, info.pageSize);
    try {
        writeInto(file, database, plan);
    } catch (...) {
        // A half-written database would only mislead whoever opens it next.
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        throw;
    }
}

std::optional<GuidValue> parseGuid(const std::string& text)
{
    std::string hex;
    for (char c : text)
        if (c != '{' && c != '}' && c != '-')
            hex.push_back(c);
    if (hex.size() != 32 || !std::all_of(hex.begin(), hex.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return std::nullopt;
    uint8_t canonical[16];
    for (size_t i = 0; i < 16; ++i)
        canonical[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    // Text order is Data1..Data3 big-endian; storage keeps them little-endian.
    static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    GuidValue guid{};
    for (size_t i = 0; i < 16; ++i)
        guid.bytes[i] = canonical[order[i]];
    return guid;
}

}  // namespace jetwriter
