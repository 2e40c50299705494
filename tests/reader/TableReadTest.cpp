// A table read in this process as the reader process reads it: its pages found through usage
// maps of both kinds (an inline bitmap for a few pages, pages of bitmaps for many), read in
// chunks by one thread and decoded by another. Every row the bare walk cracks comes, in the
// table's order, with its values, and a table of no rows gives its columns alone.

#include "jetwriter/JetWriter.h"
#include "reader/JetReader.h"
#include "reader/TableSink.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace varnex::reader {
namespace {

std::string TextOf(int64_t i)
{
    // Some rows hold text of more than one page's worth of rows, so that pages fill unevenly.
    return i % 97 == 0 ? std::string(300, 'x') : "row " + std::to_string(i) + (i % 2 ? " caf\xc3\xa9" : "");
}

TEST(TableRead, EveryRowTheWalkCracksComesInOrderWithItsValues)
{
    for (const jetwriter::Format format : {jetwriter::Format::Jet3, jetwriter::Format::Jet4}) {
        for (const int64_t rows : {int64_t{0}, int64_t{1}, int64_t{3000}, int64_t{70000}}) {
            SCOPED_TRACE(std::to_string(rows) + (format == jetwriter::Format::Jet3 ? " rows, Jet 3" : " rows, Jet 4"));
            test::TempDir dir;
            jetwriter::Database database;
            database.format = format;
            jetwriter::Table table{"T", {{"ID", jetwriter::ColumnType::Long}, {"Text", jetwriter::ColumnType::Memo}}, {}, {}};
            for (int64_t i = 1; i <= rows; ++i)
                table.rows.push_back({i, TextOf(i)});
            database.tables = {table};
            const QString path = dir.file("t.mdb");
            jetwriter::writeDatabase(database, path.toStdString());

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

}  // namespace
}  // namespace varnex::reader
