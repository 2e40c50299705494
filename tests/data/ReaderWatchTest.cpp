#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "store/FieldTypes.h"
#include "data/ReaderProcess.h"


#include <algorithm>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using jetwriter::ColumnType;

jetwriter::Table Numbers(int64_t rows)
{
    auto next = std::make_shared<int64_t>(0);
    return {"Numbers", {{"N", ColumnType::Long}, {"T", ColumnType::Text}}, {},
            [next, rows](jetwriter::Row& row) {
                if (*next >= rows)
                    return false;
                row = {*next, std::string("row ") + std::to_string(*next)};
                ++*next;
                return true;
            }};
}

// A test reader that hangs or crashes after sending the columns, watched with a short timeout.
class ReaderWatchTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = setReaderOptionsForTesting(watched({})); }
    void TearDown() override { setReaderOptionsForTesting(previous_); }

    static ReaderOptions watched(const QStringList& fault)
    {
        ReaderOptions options;
        options.stallTimeout = std::chrono::milliseconds(500);
        if (!fault.isEmpty()) {
            options.program = qEnvironmentVariable("VARNEX_BIN_DIR") + QStringLiteral("/faulty-reader");
            options.extraArguments = fault;
        }
        return options;
    }

private:
    ReaderOptions previous_;
};

// The message says how the reader ended and what it was reading: a table or the table list.
TEST_F(ReaderWatchTest, HungOrCrashedReaderIsEndedAndTheOpenFails)
{
    struct Case {
        const char* fault;
        const char* message;  // %1: what was read, %2: the database
    };
    const std::vector<Case> cases = {
        {"--stall", "The reader stopped answering while reading %1 and was ended; the database '%2' may be damaged."},
        {"--crash", "The reader ended with signal 6 (Aborted) while reading %1; the database '%2' may be damaged."}};
    test::OpenDatabase db(jetwriter::Format::Jet4, {Numbers(10)});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        setReaderOptionsForTesting(watched({c.fault}));
        Status status;
        EXPECT_FALSE(db.load("Numbers", &status));
        EXPECT_EQ(status.error().description.toStdString(),
                  QString::fromLatin1(c.message).arg("table 'Numbers'", db.path()).toStdString());

        const auto schema = db.connection().openTableSchema();
        ASSERT_FALSE(schema.ok());
        EXPECT_EQ(schema.error().description.toStdString(), QString::fromLatin1(c.message).arg("the table list", db.path()).toStdString());
    }
    setReaderOptionsForTesting(watched({}));
    EXPECT_TRUE(db.load("Numbers"));
}

// Rows beyond the memory bound end the read instead of filling the memory.
TEST_F(ReaderWatchTest, ReadBeyondTheMemoryBoundFails)
{
    test::OpenDatabase db(jetwriter::Format::Jet4, {Numbers(50000)});
    ReaderOptions bounded = watched({});
    bounded.memoryBound = 256 * 1024;
    setReaderOptionsForTesting(bounded);
    Status status;
    EXPECT_FALSE(db.load("Numbers", &status));
    EXPECT_TRUE(status.error().description.contains("needed more memory")) << status.error().description.toStdString();
    setReaderOptionsForTesting(watched({}));
    EXPECT_TRUE(db.load("Numbers"));
}

// The bound holds for a whole batch: a batch whose columns run past the length its header
// announced is refused, though each column alone stays within the bound.
TEST_F(ReaderWatchTest, BatchRunningPastItsAnnouncedLengthFails)
{
    test::OpenDatabase db(jetwriter::Format::Jet4, {{"Texts", {{"A", ColumnType::Text}, {"B", ColumnType::Text}},
                                                     {{std::string("a"), std::string("b")}}, {}}});
    const struct {
        const char* name;
        QStringList fault;
        bool loads;
    } cases[] = {{"sound reader", {}, true}, {"batch past its length", {"--overlong-batch"}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderOptions bounded = watched(c.fault);
        bounded.memoryBound = 1000000;
        setReaderOptionsForTesting(bounded);
        Status status;
        EXPECT_EQ(db.load("Texts", &status) != nullptr, c.loads);
        if (!c.loads) {
            EXPECT_EQ(status.error().description.toStdString(),
                      QStringLiteral("The reader's answer was garbled while reading table 'Texts'; the database '%1' may be damaged.")
                          .arg(db.path()).toStdString());
        }
    }
}

// Texts read through the reader process keep their place past the runs of rows their ends
// count from (65536 rows each), which batches of the reader cross at any point.
TEST_F(ReaderWatchTest, TextsOfManyRowsReadBackInPlace)
{
    test::OpenDatabase db(jetwriter::Format::Jet4, {Numbers(140000)});
    const std::shared_ptr<Recordset> rs = db.load("Numbers");
    ASSERT_TRUE(rs);
    ASSERT_EQ(*rs->recordCount(), 140000);
    for (const int64_t row : {0, 65535, 65536, 65537, 131071, 131072, 139999})
        EXPECT_EQ(rs->cellText(row, 1), QStringLiteral("row %1").arg(row));
}

// The progress callback sees the rows arrive and can cancel: no error, a closed recordset.
TEST_F(ReaderWatchTest, ProgressReportsRowsAndCancelLeavesAClosedRecordset)
{
    test::OpenDatabase db(jetwriter::Format::Jet4, {Numbers(20000)});
    std::vector<std::pair<int64_t, int64_t>> calls;
    Recordset rs;
    ASSERT_TRUE(rs.open("Numbers", &db.connection(), [&](int64_t read, int64_t count) {
        calls.emplace_back(read, count);
        return true;
    }).ok());
    // Calls while the reader starts up know no row count yet; rows read never go back.
    ASSERT_GE(calls.size(), 2u);
    EXPECT_NE(std::find(calls.begin(), calls.end(), std::make_pair(int64_t{0}, int64_t{20000})), calls.end());
    EXPECT_EQ(calls.back(), std::make_pair(int64_t{20000}, int64_t{20000}));
    EXPECT_TRUE(std::is_sorted(calls.begin(), calls.end()));
    EXPECT_EQ(*rs.recordCount(), 20000);
    EXPECT_EQ(rs.cellText(19999, 1), "row 19999");

    Recordset cancelled;
    int64_t cancelledAt = -1;
    const Status status = cancelled.open("Numbers", &db.connection(), [&](int64_t read, int64_t) {
        EXPECT_EQ(cancelledAt, -1) << "called after it cancelled";
        if (read > 0)
            cancelledAt = read;
        return read == 0;
    });
    EXPECT_TRUE(status.ok());
    EXPECT_GT(cancelledAt, 0);
    EXPECT_FALSE(cancelled.isOpen());
}

}  // namespace
}  // namespace varnex
