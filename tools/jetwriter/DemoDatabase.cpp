#include "jetwriter/DemoDatabase.h"

#include <array>
#include <string>

namespace jetwriter {
namespace {

constexpr int kCustomers = 400;
constexpr int kOrders = 1600;
constexpr double kJanuary2020 = 43831.0;

const std::array<const char*, 12> kFirstNames = {"Anna", "Bernd", "Chloé", "David", "Eva", "François",
                                                 "Greta", "Hugo", "Inés", "Jonas", "Karin", "Lukas"};
const std::array<const char*, 12> kLastNames = {"Müller", "Schmidt", "O'Brien", "García", "Novak", "Rossi",
                                                "Dubois", "Jensen", "Kowalski", "Smith", "Åberg", "Yılmaz"};
const std::array<const char*, 8> kCities = {"Berlin", "München", "Zürich", "Paris", "Wien", "København", "Madrid", "London"};
const std::array<const char*, 6> kProducts = {"Desk lamp", "Chair, oak", "Monitor 27\"", "Keyboard", "Bookshelf", "Rug"};

template <size_t N>
std::string pick(const std::array<const char*, N>& list, int i) { return list[static_cast<size_t>(i) % N]; }

Table customers()
{
    Table table{"Customers",
                {{"CustomerID", ColumnType::Long}, {"Name", ColumnType::Text, 60}, {"City", ColumnType::Text, 40},
                 {"Email", ColumnType::Text, 80}, {"Since", ColumnType::DateTime}, {"CreditLimit", ColumnType::Currency},
                 {"Active", ColumnType::YesNo}},
                {}, {}};
    for (int i = 1; i <= kCustomers; ++i) {
        const std::string first = pick(kFirstNames, i * 7);
        const std::string last = pick(kLastNames, i * 5 + i / 12);
        table.rows.push_back({int64_t{i}, last + ", " + first, pick(kCities, i * 3),
                              i % 9 == 0 ? Cell{Null{}} : Cell{"customer" + std::to_string(i) + "@example.com"},
                              DateValue{kJanuary2020 - 2000 + (i * 37) % 2000}, CurrencyValue{int64_t{(i % 20 + 1) * 2500000}},
                              i % 7 != 0});
    }
    return table;
}

Table orders()
{
    Table table{"Orders",
                {{"RECID", ColumnType::Long}, {"OrderNo", ColumnType::Text, 12}, {"CustomerID", ColumnType::Long},
                 {"OrderDate", ColumnType::DateTime}, {"Product", ColumnType::Text, 50}, {"Quantity", ColumnType::Integer},
                 {"Amount", ColumnType::Currency}, {"Discount", ColumnType::Double}, {"Shipped", ColumnType::YesNo}},
                {}, {}};
    for (int i = 1; i <= kOrders; ++i) {
        const int quantity = 1 + (i * 13) % 9;
        table.rows.push_back({int64_t{i}, "SO-" + std::to_string(100000 + i), int64_t{1 + (i * 31) % kCustomers},
                              DateValue{kJanuary2020 + (i * 17) % 1400 + (i % 24) / 24.0}, pick(kProducts, i),
                              int64_t{quantity}, CurrencyValue{int64_t{quantity} * (1990000 + (i % 50) * 10000)},
                              i % 5 == 0 ? Cell{Null{}} : Cell{(i % 4) * 0.05}, i % 3 != 0});
    }
    return table;
}

Table notes()
{
    Table table{"Notes with Nulls",
                {{"NoteID", ColumnType::Long}, {"Title", ColumnType::Text, 100}, {"Body", ColumnType::Memo},
                 {"Rating", ColumnType::Byte}, {"Reviewed", ColumnType::DateTime}},
                {}, {}};
    std::string longMemo;
    for (int line = 1; longMemo.size() < 40000; ++line)
        longMemo += "Line " + std::to_string(line) + ": the quick brown fox jumps over the lazy dog; \"ÄÖÜ\", café.\r\n";
    table.rows.push_back({int64_t{1}, std::string("Long memo"), longMemo, int64_t{5}, DateValue{kJanuary2020 + 10.5}});
    for (int i = 2; i <= 40; ++i)
        table.rows.push_back({int64_t{i}, i % 4 == 0 ? Cell{Null{}} : Cell{"Note " + std::to_string(i)},
                              i % 3 == 0 ? Cell{Null{}} : Cell{"Short remark number " + std::to_string(i) + ", see\r\nnext line."},
                              i % 5 == 0 ? Cell{Null{}} : Cell{int64_t{i % 6}},
                              i % 2 == 0 ? Cell{Null{}} : Cell{DateValue{kJanuary2020 + i}}});
    return table;
}

}  // namespace

Database demoDatabase()
{
    Database database;
    database.format = Format::Jet4;
    database.created = kJanuary2020;
    database.tables = {customers(), orders(), notes()};
    return database;
}

}  // namespace jetwriter
