// A table read in this process as the reader process reads it: its pages found through usage
// maps of both kinds (an inline bitmap for a few pages, pages of bitmaps for many), walked in
// stretches by workers that take turns, each decoding its own stretches column by column. Every
// row the bare walk cracks comes, in the table's order, with its values, and a table of no rows
// gives its columns alone; batches keep to their limits of rows and bytes; a sink that refuses a
// batch ends the read there.

#include "jetwriter/JetWriter.h"
#include "reader/JetReader.h"
#include "reader/TableSink.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <variant>

namespace varnex::reader {
namespace {

std::string TextOf(int64_t i)
{
    // Some rows hold text of more than one page's worth of rows, so that pages fill unevenly.
    return i % 97 == 0 ? std::string(300, 'x') : "row " + std::to_string(i) + (i % 2 ? " caf\xc3\xa9" : "");
}

// Table T of rows numbered from 1 (ID) with TextOf() their numbers (Text), written at path.
void WriteNumberedRows(const QString& path, int64_t rows, jetwriter::Format format)
{
    jetwriter::Database database;
    database.format = format;
    jetwriter::Table table{"T", {{"ID", jetwriter::ColumnType::Long}, {"Text", jetwriter::ColumnType::Memo}}, {}, {}};
    for (int64_t i = 1; i <= rows; ++i)
        table.rows.push_back({i, TextOf(i)});
    database.tables = {table};
    jetwriter::writeDatabase(database, path.toStdString());
}

TEST(TableRead, EveryRowTheWalkCracksComesInOrderWithItsValues)
{
    for (const jetwriter::Format format : {jetwriter::Format::Jet3, jetwriter::Format::Jet4}) {
        for (const int64_t rows : {int64_t{0}, int64_t{1}, int64_t{3000}, int64_t{70000}}) {
            SCOPED_TRACE(std::to_string(rows) + (format == jetwriter::Format::Jet3 ? " rows, Jet 3" : " rows, Jet 4"));
            test::TempDir dir;
            const QString path = dir.file("t.mdb");
            WriteNumberedRows(path, rows, format);

            auto walker = JetReader::open(path);
            ASSERT_TRUE(walker.ok());
            const Result<int64_t> walked = (*walker)->walkTable("T");
            ASSERT_TRUE(walked.ok());
            EXPECT_EQ(*walked, rows);

            auto reader = JetReader::open(path);
            ASSERT_TRUE(reader.ok());
            CollectingSink sink;
            ASSERT_TRUE((*reader)->readTable("T", sink).ok());
            const TableData& read = sink.table();
            ASSERT_EQ(read.columnCount(), 2);
            ASSERT_EQ(read.rowCount(), rows);
            for (int64_t r = 0; r < rows; ++r) {
                int32_t id = 0;
                std::memcpy(&id, read.fixedValue(r, 0), sizeof id);
                ASSERT_EQ(id, r + 1);
                ASSERT_EQ(read.bytesValue(r, 1), TextOf(r + 1));
            }
        }
    }
}

// Refuses the batch it is handed at refusedBatch (counted from 1), as a cancelled load does.
class RefusingSink : public CollectingSink {
public:
    explicit RefusingSink(int refusedBatch) : refusedBatch_(refusedBatch) {}
    bool rows(TableData& batch) override { return ++batches != refusedBatch_ && CollectingSink::rows(batch); }
    int batches = 0;

private:
    int refusedBatch_;
};

// Whichever worker hands on the refused batch, the others stop: no batch follows it, the read
// says it was stopped, and the rows taken are the table's first, in order.
TEST(TableRead, ASinkThatRefusesABatchEndsTheReadThere)
{
    test::TempDir dir;
    const QString path = dir.file("t.mdb");
    WriteNumberedRows(path, 70000, jetwriter::Format::Jet4);
    for (const int refused : {1, 2, 3, 7}) {
        SCOPED_TRACE("batch " + std::to_string(refused) + " refused");
        auto reader = JetReader::open(path);
        ASSERT_TRUE(reader.ok());
        RefusingSink sink(refused);
        const Status status = (*reader)->readTable("T", sink);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().code, ErrorCode::ReadStopped);
        EXPECT_EQ(sink.batches, refused);
        const TableData& read = sink.table();
        if (refused == 1)
            EXPECT_EQ(read.rowCount(), 0);
        else
            EXPECT_GT(read.rowCount(), 0);
        for (int64_t r = 0; r < read.rowCount(); ++r) {
            int32_t id = 0;
            std::memcpy(&id, read.fixedValue(r, 0), sizeof id);
            ASSERT_EQ(id, r + 1);
        }
    }
}

// Records how many rows and text and binary bytes each batch held before it is collected.
class BatchRecordingSink : public CollectingSink {
public:
    struct Batch {
        int64_t rows = 0;
        uint64_t bytesBeforeLastRow = 0;  // of the text and binary values of all its rows but the last
    };
    bool rows(TableData& batch) override
    {
        Batch seen{batch.rowCount(), 0};
        for (int c = 0; c < batch.columnCount(); ++c) {
            if (isVariableLength(batch.info(c).type) && batch.rowCount() > 0)
                seen.bytesBeforeLastRow += batch.column(c).valueStart(batch.rowCount() - 1);
        }
        batches.push_back(seen);
        return CollectingSink::rows(batch);
    }
    std::vector<Batch> batches;
};

// Rows of every kind of column the decoding has a loop for, with Nulls anywhere, text in both its
// stored forms, memo and OLE values in the row, on one long-value row or on a chain of them,
// some rows holding long memos so that batches end by their bytes: every value comes back exact,
// batches hold at most 4,096 rows, and any batch is under 8 MB of text and binary bytes before
// its last row.
TEST(TableRead, EveryKindOfColumnComesExactInBatchesWithinTheirLimits)
{
    constexpr int64_t kRows = 9000;
    const std::vector<jetwriter::Column> columns = {
        {"Byte", jetwriter::ColumnType::Byte},     {"Integer", jetwriter::ColumnType::Integer}, {"Long", jetwriter::ColumnType::Long},
        {"Double", jetwriter::ColumnType::Double}, {"YesNo", jetwriter::ColumnType::YesNo},     {"Text", jetwriter::ColumnType::Text, 120},
        {"Binary", jetwriter::ColumnType::Binary, 40}, {"Memo", jetwriter::ColumnType::Memo}, {"Ole", jetwriter::ColumnType::Ole}};
    for (const jetwriter::Format format : {jetwriter::Format::Jet3, jetwriter::Format::Jet4}) {
        const unsigned seed = std::random_device{}();
        SCOPED_TRACE("seed " + std::to_string(seed) + (format == jetwriter::Format::Jet3 ? ", Jet 3" : ", Jet 4"));
        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const auto text = [&](int most) {
            // U+0100 and U+4E00 (a low byte of zero) keep a Jet 4 text from the compressed form.
            static const char* const pieces[] = {"a", "Zo\xc3\xab ", "caf\xc3\xa9", "Stra\xc3\x9f" "e ", "0123456789", " ", "\xc3\x98rsted",
                                                 "\xc4\x80", "\xe4\xb8\x80 "};
            std::string out;
            for (int n = pick(most); n > 0; --n)
                out += pieces[pick(format == jetwriter::Format::Jet4 && pick(4) == 0 ? 9 : 7)];
            return out;
        };
        std::vector<jetwriter::Row> rows;
        for (int64_t i = 0; i < kRows; ++i) {
            const auto maybe = [&](jetwriter::Cell cell) { return pick(6) == 0 ? jetwriter::Cell{jetwriter::Null{}} : cell; };
            std::vector<uint8_t> bytes(static_cast<size_t>(pick(41)));
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(pick(256));
            const bool longMemo = i % 500 < 20;  // rows whose memos fill a batch's bytes before its rows
            std::vector<uint8_t> ole(static_cast<size_t>(pick(3) == 0 ? pick(9000) : pick(60)));
            for (uint8_t& b : ole)
                b = static_cast<uint8_t>(pick(256));
            rows.push_back({maybe(int64_t{pick(256)}), maybe(int64_t{pick(65536) - 32768}), maybe(int64_t{static_cast<int32_t>(random())}),
                            maybe(static_cast<double>(random()) / 7.0), pick(2) == 0, maybe(text(12)), maybe(jetwriter::Bytes{bytes}),
                            maybe(longMemo ? std::string(static_cast<size_t>(50000 + pick(20000)), static_cast<char>('a' + pick(26))) : text(30)),
                            maybe(jetwriter::Bytes{ole})});
        }
        test::TempDir dir;
        jetwriter::Database database;
        database.format = format;
        database.tables = {jetwriter::Table{"T", columns, rows, {}}};
        const QString path = dir.file("t.mdb");
        jetwriter::writeDatabase(database, path.toStdString());

        auto reader = JetReader::open(path);
        ASSERT_TRUE(reader.ok());
        BatchRecordingSink sink;
        ASSERT_TRUE((*reader)->readTable("T", sink).ok());
        EXPECT_TRUE(sink.warnings().empty());
        const TableData& read = sink.table();
        ASSERT_EQ(read.rowCount(), kRows);
        for (int64_t r = 0; r < kRows; ++r) {
            for (int c = 0; c < read.columnCount(); ++c) {
                const jetwriter::Cell& cell = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
                SCOPED_TRACE("row " + std::to_string(r) + ", column " + columns[static_cast<size_t>(c)].name);
                const bool isNull = std::holds_alternative<jetwriter::Null>(cell);
                ASSERT_EQ(read.isNull(r, c), isNull);
                const uint8_t* fixed = read.fixedValue(r, c);
                if (const auto* b = std::get_if<bool>(&cell)) {
                    ASSERT_EQ(*fixed, *b ? 1 : 0);
                } else if (const auto* n = std::get_if<int64_t>(&cell)) {
                    int64_t value = 0;
                    std::memcpy(&value, fixed, static_cast<size_t>(fixedWidth(read.info(c).type)));
                    const int width = 8 * fixedWidth(read.info(c).type);
                    if (c > 0 && width < 64)
                        value = (value << (64 - width)) >> (64 - width);  // signed, but the Byte
                    ASSERT_EQ(value, *n);
                } else if (const auto* d = std::get_if<double>(&cell)) {
                    double value = 0;
                    std::memcpy(&value, fixed, sizeof value);
                    ASSERT_EQ(value, *d);
                } else if (const auto* t = std::get_if<std::string>(&cell)) {
                    ASSERT_EQ(read.bytesValue(r, c), *t);
                } else if (const auto* bytes = std::get_if<jetwriter::Bytes>(&cell)) {
                    ASSERT_EQ(read.bytesValue(r, c), std::string(bytes->data.begin(), bytes->data.end()));
                } else if (isVariableLength(read.info(c).type)) {
                    ASSERT_EQ(read.bytesValue(r, c), "");
                }
            }
        }
        for (const auto& batch : sink.batches) {
            EXPECT_LE(batch.rows, 4096);
            EXPECT_LT(batch.bytesBeforeLastRow, uint64_t{8} << 20);
        }
        // The long memos' bytes end batches long before their rows would: twice as many at least.
        EXPECT_GE(sink.batches.size(), 2 * static_cast<size_t>((kRows + 4095) / 4096));
    }
}

}  // namespace
}  // namespace varnex::reader
