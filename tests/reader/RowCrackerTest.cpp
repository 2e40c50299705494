// The reader's row cracker beside libmdb's, on every row of a table: writer-made tables of every
// kind of column in each format, with Nulls, long rows (Jet 3 rows past 256 bytes keep a table
// of jumps), and the Access-made files where they are at hand (deleted columns among them). Each row is cracked from a copy of
// its own length, so that a sanitizer sees any byte read outside it.
//  - Sound rows: both take them, and place every value alike.
//  - The same rows damaged at random (bytes changed, the length cut): a row the cracker takes,
//    libmdb takes too, with the same values; the cracker may refuse more.
//  - Either way, a cracker asked for some of the columns (in another order) takes the same rows
//    and places each of those columns as among all.

#include "jetwriter/JetWriter.h"
#include "reader/PlainFile.h"
#include "reader/RowCracker.h"
#include "support/TempDir.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <type_traits>

#include <mdbtools.h>

namespace varnex::reader {
namespace {

using jetwriter::ColumnType;

constexpr int kDeletedRow = 0x8000;
constexpr int kMovedRow = 0x4000;
constexpr int kOffsetMask = 0x1FFF;

jetwriter::Table KindsOfColumns(uint32_t seed)
{
    jetwriter::Table table{"Kinds",
                           {{"Id", ColumnType::Long}, {"Short", ColumnType::Text, 10}, {"Flag", ColumnType::YesNo},
                            {"Small", ColumnType::Byte}, {"Long1", ColumnType::Text, 255}, {"When", ColumnType::DateTime},
                            {"Notes", ColumnType::Memo}, {"Long2", ColumnType::Text, 255}, {"Money", ColumnType::Currency},
                            {"Blob", ColumnType::Ole}, {"Long3", ColumnType::Text, 255}, {"Ratio", ColumnType::Double}},
                           {},
                           {}};
    std::mt19937 random(seed);
    auto text = [&](int most) {
        std::string s(random() % static_cast<unsigned>(most + 1), 'a');
        for (char& c : s)
            c = static_cast<char>('a' + random() % 26);
        return s;
    };
    auto maybe = [&](jetwriter::Cell cell) { return random() % 4 == 0 ? jetwriter::Cell{jetwriter::Null{}} : cell; };
    for (int64_t i = 0; i < 400; ++i) {
        table.rows.push_back({i, maybe(text(10)), random() % 2 == 0, maybe(static_cast<int64_t>(random() % 256)), maybe(text(255)),
                              maybe(jetwriter::DateValue{36000.5 + static_cast<double>(i)}), maybe(text(40)),
                              maybe(text(255)), maybe(jetwriter::CurrencyValue{static_cast<int64_t>(random())}),
                              maybe(jetwriter::Bytes{{1, 2, 3}}), maybe(text(255)), maybe(static_cast<double>(i) / 7)});
    }
    return table;
}

std::vector<RowColumn> RowColumnsOf(const MdbTableDef& table)
{
    std::vector<RowColumn> columns;
    for (unsigned i = 0; i < table.num_cols; ++i) {
        const auto* c = static_cast<const MdbColumn*>(g_ptr_array_index(table.columns, i));
        columns.push_back({static_cast<uint16_t>(c->col_num), c->is_fixed != 0, static_cast<uint16_t>(c->fixed_offset),
                           static_cast<uint16_t>(c->col_size), static_cast<uint16_t>(c->var_col_num)});
    }
    return columns;
}

// What each cracker makes of one row: nothing when it refuses it, else each column's value
// placed in the row (start 0 at the row's first byte).
struct Cracked {
    bool taken = false;
    std::vector<uint32_t> values;
    bool operator==(const Cracked&) const = default;
};

Cracked ByLibmdb(MdbTableDef* table, MdbField* fields, int start, uint32_t length)
{
    const bool jet3 = IS_JET3(table->entry->mdb);
    if (length < (jet3 ? 1u : 2u) || mdb_crack_row(table, start, length, fields) < 0)
        return {};
    Cracked cracked{true, {}};
    for (unsigned i = 0; i < table->num_cols; ++i) {
        cracked.values.push_back(CrackedValue::place(fields[i].start - start, fields[i].siz, fields[i].is_null != 0, length));
    }
    return cracked;
}

Cracked ByCracker(RowCracker& cracker, const uint8_t* row, uint32_t length, size_t columns)
{
    std::vector<uint8_t> copy(row, row + length);  // exactly the row: a read past it is caught
    Cracked cracked{false, std::vector<uint32_t>(columns)};
    cracked.taken = cracker.crack(copy.data(), length, 0, length, cracked.values.data());
    if (!cracked.taken)
        cracked.values.clear();
    return cracked;
}

// The row cracked for some of the columns, in another order: taken or refused as for all, each of
// those columns placed as among all.
void ExpectSomeAsAll(RowCracker& some, const std::vector<unsigned>& columns, const uint8_t* row, uint32_t length, const Cracked& all)
{
    const Cracked cracked = ByCracker(some, row, length, columns.size());
    ASSERT_EQ(cracked.taken, all.taken);
    for (size_t k = 0; k < columns.size() && cracked.taken; ++k)
        EXPECT_EQ(cracked.values[k], all.values[columns[k]]) << "column " << columns[k];
}

struct Counts {
    int sound = 0;
    int damagedTaken = 0;
    int damagedRefused = 0;
};

// Cracks every row of every user table of the file both ways.
Counts CompareEveryRow(const QString& path, uint32_t seed)
{
    Counts counts;
    auto plain = PlainFile::open(path, QString());
    MdbHandle* mdb = plain ? mdb_open(plain->path().toLocal8Bit().constData(), MDB_NOFLAGS) : nullptr;
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE)) {
        ADD_FAILURE() << "cannot be opened";
        if (mdb)
            mdb_close(mdb);
        return counts;
    }
    std::mt19937 random(seed);
    const bool jet3 = IS_JET3(mdb);
    for (unsigned e = 0; e < mdb->num_catalog; ++e) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, e));
        if (entry->object_type != MDB_TABLE || std::string(entry->object_name).rfind("MSys", 0) == 0)
            continue;
        SCOPED_TRACE(entry->object_name);
        MdbTableDef* table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table)) {
            ADD_FAILURE() << "no definition";
            continue;
        }
        std::vector<unsigned> all(table->num_cols);
        for (unsigned i = 0; i < table->num_cols; ++i)
            all[i] = i;
        RowCracker cracker(RowColumnsOf(*table), all, jet3, table->num_var_cols > 0);
        std::vector<unsigned> odd;
        for (unsigned i = table->num_cols; i-- > 0;) {
            if (i % 2 == 1)
                odd.push_back(i);
        }
        RowCracker oddOnly(RowColumnsOf(*table), odd, jet3, table->num_var_cols > 0);
        std::vector<MdbField> fields(table->num_cols);
        mdb_rewind_table(table);
        while (mdb_read_next_dpg(table)) {
            const int rows = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
            for (int r = 0; r < rows; ++r) {
                int flagged = 0;
                size_t size = 0;
                if (mdb_find_row(mdb, r, &flagged, &size) != 0 || (flagged & (kDeletedRow | kMovedRow)) || size == 0)
                    continue;
                const int start = flagged & kOffsetMask;
                const auto length = static_cast<uint32_t>(size);
                const Cracked expected = ByLibmdb(table, fields.data(), start, length);
                EXPECT_TRUE(expected.taken) << "page " << table->cur_phys_pg << " row " << r;
                EXPECT_EQ(ByCracker(cracker, mdb->pg_buf + start, length, table->num_cols), expected)
                    << "page " << table->cur_phys_pg << " row " << r;
                ExpectSomeAsAll(oddOnly, odd, mdb->pg_buf + start, length, expected);
                ++counts.sound;

                // Damaged in place, then put back.
                std::vector<uint8_t> saved(mdb->pg_buf + start, mdb->pg_buf + start + length);
                for (int round = 0; round < 6; ++round) {
                    uint32_t cut = length;
                    if (random() % 3 == 0)
                        cut = 1 + static_cast<uint32_t>(random() % length);
                    for (int change = 0; change < 1 + round % 3; ++change) {
                        // Mostly near the ends, where the counts and starts are.
                        const uint32_t near = static_cast<uint32_t>(random() % std::min<uint32_t>(cut, 24));
                        const uint32_t at = random() % 2 ? near : cut - 1 - near;
                        mdb->pg_buf[start + at] = static_cast<unsigned char>(random());
                    }
                    const Cracked ours = ByCracker(cracker, mdb->pg_buf + start, cut, table->num_cols);
                    ExpectSomeAsAll(oddOnly, odd, mdb->pg_buf + start, cut, ours);
                    if (ours.taken) {
                        EXPECT_EQ(ours, ByLibmdb(table, fields.data(), start, cut)) << "page " << table->cur_phys_pg << " row " << r;
                        ++counts.damagedTaken;
                    } else {
                        ++counts.damagedRefused;
                    }
                    std::copy(saved.begin(), saved.end(), mdb->pg_buf + start);
                }
            }
        }
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return counts;
}

TEST(RowCracker, PlacesEveryValueAsLibmdbAndTakesNoDamagedRowLibmdbRefuses)
{
    test::TempDir dir;
    QStringList files;
    for (const jetwriter::Format format : {jetwriter::Format::Jet3, jetwriter::Format::Jet4, jetwriter::Format::Ace2010}) {
        files << dir.file(QStringLiteral("kinds-%1.mdb").arg(static_cast<int>(format)));
        jetwriter::writeDatabase({format, {}, jetwriter::Encryption::Agile, 36500.0, {KindsOfColumns(7)}}, files.back().toStdString());
    }
    const QDir realFiles(qEnvironmentVariable("VARNEX_REALDATA"));
    for (const char* name : {"testV1997.mdb", "test2V1997.mdb", "testV2000.mdb", "testV2003.mdb", "delColTestV2000.mdb",
                             "overflowTestV2000.mdb", "testV2007.accdb", "complexDataTestV2010.accdb",
                             "calcFieldTestV2010.accdb"}) {
        if (!realFiles.path().isEmpty() && realFiles.exists(QString::fromLatin1(name)))
            files << realFiles.filePath(QString::fromLatin1(name));
    }
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const Counts counts = CompareEveryRow(file, 11);
        EXPECT_GT(counts.sound, 0);
        if (file.startsWith(dir.path())) {
            EXPECT_EQ(counts.sound, 400);
            EXPECT_GT(counts.damagedTaken, 100);  // the damage reaches both ways
            EXPECT_GT(counts.damagedRefused, 100);
        }
    }
}

}  // namespace
}  // namespace varnex::reader
