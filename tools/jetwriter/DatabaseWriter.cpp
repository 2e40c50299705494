#include "jetwriter/JetWriter.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/Catalog.h"
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

void checkTableNames(const Database& database)
{
    std::set<std::string> seen;
    for (const auto& table : systemTables())
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

    void finishTable(const TableLayout& layout, uint32_t definitionPage, const TableWriter& rows, bool system)
    {
        TableTotals totals;
        totals.rowCount = rows.rowCount();
        totals.system = system;
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

void writeUserTable(const FormatInfo& info, PageFile& file, Finisher& finisher, const Table& table, const TableLayout& layout,
                    uint32_t definitionPage)
{
    TableWriter writer(info, file, layout, definitionPage);
    for (const auto& row : table.rows)
        writer.add(row);
    if (table.rowSource) {
        Row row;
        while (table.rowSource(row))
            writer.add(row);
    }
    writer.finish();
    finisher.finishTable(layout, definitionPage, writer, false);
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

void writeInto(PageFile& file, const Database& database, const std::vector<TableLayout>& userLayouts)
{
    const FormatInfo& info = formatInfo(database.format);
    const double created = database.created.value_or(nowInDays());
    file.allocate(2);  // header and global usage map, written last
    std::vector<TableLayout> systemLayouts;
    std::vector<CatalogTable> catalog;
    for (const auto& table : systemTables()) {
        systemLayouts.push_back(layoutTable(info, table.columns));
        catalog.push_back({table.name, reserveDefinition(info, file, systemLayouts.back()), true});
    }
    Finisher finisher(info, file);
    for (size_t t = 0; t < database.tables.size(); ++t) {
        const uint32_t definitionPage = reserveDefinition(info, file, userLayouts[t]);
        catalog.push_back({database.tables[t].name, definitionPage, false});
        writeUserTable(info, file, finisher, database.tables[t], userLayouts[t], definitionPage);
    }
    for (size_t s = 0; s < systemLayouts.size(); ++s) {
        TableWriter writer(info, file, systemLayouts[s], catalog[s].definitionPage);
        if (catalog[s].definitionPage == kCatalogPage)
            for (const auto& row : catalogRows(catalog, created))
                writer.add(row);
        writer.finish();
        finisher.finishTable(systemLayouts[s], catalog[s].definitionPage, writer, true);
    }
    finisher.flush();
    file.write(kGlobalMapPage, globalMapPage(info, file.pageCount()));
    file.write(0, buildHeaderPage(info, created, database.password));
    file.close();
}

}  // namespace

void writeDatabase(const Database& database, const std::filesystem::path& path)
{
    const FormatInfo& info = formatInfo(database.format);
    checkTableNames(database);
    std::vector<TableLayout> userLayouts;
    for (const auto& table : database.tables)
        userLayouts.push_back(layoutTable(info, table.columns));
    if (database.password && utf8ToUtf16(*database.password).size() > 20)
        throw std::runtime_error("database password longer than 20 characters");
    PageFile file(path, info.pageSize);
    try {
        writeInto(file, database, userLayouts);
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
