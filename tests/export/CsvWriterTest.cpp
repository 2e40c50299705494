// The CSV writer as a function of the records, the options and a sink: the
// whole output of each case, over recordsets filled by hand.

#include "export/CsvWriter.h"

#include "core/LocaleCodec.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "data/ValueFormatter.h"
#include "support/StoredTable.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace varnex::test {
namespace {

// Keeps the bytes handed over. The write numbered failingWrite (from 0) fails;
// writes after it are counted, not kept.
class MemorySink : public CsvSink {
public:
    explicit MemorySink(int failingWrite = -1) : failingWrite_(failingWrite) {}

    Status write(std::string_view bytes) override
    {
        if (failed_) {
            ++writesAfterFailure;
            return {};
        }
        if (writes++ == failingWrite_) {
            failed_ = true;
            return failure();
        }
        this->bytes.append(bytes);
        return {};
    }

    static Error failure() { return Error{ErrorCode::DiskFull, QStringLiteral("no room")}; }

    std::string bytes;
    int writes = 0;
    int writesAfterFailure = 0;

private:
    int failingWrite_;
    bool failed_ = false;
};

// Answers whether to go on: no once recordsWritten reaches stopAt.
class RecordingProgress : public ExportProgress {
public:
    explicit RecordingProgress(int64_t stopAt) : stopAt_(stopAt) {}
    bool keepGoing(int64_t recordsWritten, int64_t recordCount) override
    {
        calls.push_back({recordsWritten, recordCount});
        return recordsWritten < stopAt_;
    }
    std::vector<std::pair<int64_t, int64_t>> calls;

private:
    int64_t stopAt_;
};

StoredCell Text(std::string utf8)
{
    return StoredBytes(std::move(utf8));
}

ColumnInfo Column(const char* name, FieldType type, uint8_t scale = 0)
{
    return {QString::fromUtf8(name), type, 28, scale};
}

Recordset& Over(Recordset& records, const std::vector<ColumnInfo>& columns,
                const std::vector<std::vector<StoredCell>>& rows)
{
    records.openOver(StoredTable(columns, rows));
    return records;
}

// The Name of row i: "r1" and so on, with as many x after it as padding says.
std::string NumberedName(int64_t i, size_t padding = 0)
{
    return "r" + std::to_string(i) + std::string(padding, 'x');
}

// An ID column and a Text column: "1,"r1"" and so on.
std::shared_ptr<const TableData> NumberedRows(int64_t count, size_t padding = 0)
{
    std::vector<std::vector<StoredCell>> rows;
    for (int64_t i = 1; i <= count; ++i)
        rows.push_back({Stored(static_cast<int32_t>(i)), Text(NumberedName(i, padding))});
    return StoredTable({Column("ID", FieldType::Integer), Column("Name", FieldType::VarWChar)}, rows);
}

std::string NumberedLines(int64_t from, int64_t to, size_t padding = 0)
{
    std::string lines;
    for (int64_t i = from; i <= to; ++i)
        lines += std::to_string(i) + ",\"" + NumberedName(i, padding) + "\"\r\n";
    return lines;
}

// Large outputs are told apart by their length and the first differing line, not printed whole.
void ExpectBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return;
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const size_t line = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t from = line == std::string::npos ? 0 : line + 1;
    ADD_FAILURE() << actual.size() << " bytes written, " << expected.size() << " expected; from byte " << from
                  << " written: " << actual.substr(from, 40) << " expected: " << expected.substr(from, 40);
}

class CsvWriter : public ::testing::Test {
protected:
    void SetUp() override { setLocaleCodeSetForTesting("UTF-8"); }
    void TearDown() override
    {
        setLocaleCodeSetForTesting({});
        QLocale::setDefault(QLocale::system());
    }
};

// One value of every stored type, and a row of Nulls.
std::vector<ColumnInfo> EveryTypeColumns()
{
    return {Column("Byte", FieldType::UnsignedTinyInt), Column("Int", FieldType::SmallInt),
            Column("Long", FieldType::Integer),         Column("Single", FieldType::Single),
            Column("Double", FieldType::Double),        Column("Money", FieldType::Currency),
            Column("When", FieldType::Date),            Column("Done", FieldType::Boolean),
            Column("Text", FieldType::VarWChar),        Column("Memo", FieldType::LongVarWChar),
            Column("Ole", FieldType::LongVarBinary),    Column("Guid", FieldType::GUID),
            Column("Dec", FieldType::Numeric, 2)};
}

std::vector<std::vector<StoredCell>> EveryTypeRows()
{
    const GuidBytes guid{0x78, 0x56, 0x34, 0x12, 0xbc, 0x9a, 0xf0, 0xde, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
    std::vector<StoredCell> nulls(13, StoredNull());
    nulls[7] = Stored(uint8_t{0});
    return {{Stored(uint8_t{255}), Stored(int16_t{-32768}), Stored(int32_t{2147483647}), Stored(1.5f), Stored(3.25),
             Stored(int64_t{12345678}), Stored(46363.4375), Stored(uint8_t{1}), Text("t"), Text("m"),
             StoredBytes("\x01\xab"), Stored(guid), StoredDecimal(true, 12345)},
            nulls};
}

TEST_F(CsvWriter, WritesEachCaseExactly)
{
    const std::vector<ColumnInfo> people = {Column("ID", FieldType::Integer), Column("Name", FieldType::VarWChar)};
    const std::vector<std::vector<StoredCell>> threePeople = {
        {Stored(int32_t{1}), Text("Ann")}, {Stored(int32_t{2}), Text("Bob")}, {Stored(int32_t{3}), Text("Cy")}};
    const auto recIdColumns = [](const char* recId) {
        return std::vector<ColumnInfo>{Column(recId, FieldType::Integer), Column("Name", FieldType::VarWChar),
                                       Column("RECID2", FieldType::Integer), Column("RECID_OLD", FieldType::Integer)};
    };
    const std::vector<std::vector<StoredCell>> recIdRow = {
        {Stored(int32_t{7}), Text("x"), Stored(int32_t{8}), Stored(int32_t{9})}};
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        const char* name;
        std::vector<ColumnInfo> columns;
        std::vector<std::vector<StoredCell>> rows;
        bool header;
        QLocale locale;
        QByteArray codeSet;
        std::string expected;
    };
    // Texts of every length up to 40 bytes, with double quotes at places that move with the
    // length (none, one, or a run of them), beside a number.
    std::vector<std::vector<StoredCell>> everyLength;
    std::string everyLengthLines;
    for (size_t length = 0; length <= 40; ++length) {
        for (const size_t quotes : {size_t{0}, size_t{1}, length / 3}) {
            std::string text;
            for (size_t k = 0; k < length; ++k)
                text += static_cast<char>('a' + k % 26);
            for (size_t q = 0; q < quotes && length > 0; ++q)
                text[(length * 7 + q * 5) % length] = '"';
            std::string quoted;
            for (const char ch : text)
                quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            everyLength.push_back({Text(text), Stored(static_cast<int32_t>(length))});
            everyLengthLines += "\"" + quoted + "\"," + std::to_string(length) + "\r\n";
        }
    }
    const std::vector<Case> cases = {
        {"no header", people, threePeople, false, us, "UTF-8", "1,\"Ann\"\r\n2,\"Bob\"\r\n3,\"Cy\"\r\n"},
        {"header", people, threePeople, true, us, "UTF-8", "\"ID\",\"Name\"\r\n1,\"Ann\"\r\n2,\"Bob\"\r\n3,\"Cy\"\r\n"},
        {"no records", people, {}, true, us, "UTF-8", "\"ID\",\"Name\"\r\n"},
        {"no records, no header", people, {}, false, us, "UTF-8", ""},
        // Fields named RECID in any case are left out; RECID2 and RECID_OLD are not.
        {"RECID", recIdColumns("RECID"), recIdRow, true, us, "UTF-8", "\"Name\",\"RECID2\",\"RECID_OLD\"\r\n\"x\",8,9\r\n"},
        {"RecId", recIdColumns("RecId"), recIdRow, true, us, "UTF-8", "\"Name\",\"RECID2\",\"RECID_OLD\"\r\n\"x\",8,9\r\n"},
        {"recid", recIdColumns("recid"), recIdRow, false, us, "UTF-8", "\"x\",8,9\r\n"},
        {"only RECID", {Column("RECID", FieldType::Integer)}, {{Stored(int32_t{1})}, {Stored(int32_t{2})}}, true, us,
         "UTF-8", "\r\n\r\n\r\n"},
        // Null text is two quotes, any other Null nothing; the commas stay.
        {"Nulls",
         {Column("Qty", FieldType::Integer), Column("Name", FieldType::VarWChar), Column("Note", FieldType::LongVarWChar),
          Column("When", FieldType::Date)},
         {{StoredNull(), Text("a"), StoredNull(), StoredNull()},
          {Stored(int32_t{4}), StoredNull(), Text("m"), StoredNull()},
          {StoredNull(), StoredNull(), StoredNull(), StoredNull()}},
         true, us, "UTF-8", "\"Qty\",\"Name\",\"Note\",\"When\"\r\n,\"a\",\"\",\r\n4,\"\",\"m\",\r\n,\"\",\"\",\r\n"},
        // Quotes inside are doubled; commas and line breaks stay inside the quotes.
        {"quoting",
         {Column("Say \"hi\"", FieldType::VarWChar), Column("a,b", FieldType::LongVarWChar)},
         {{Text("He said \"no\""), Text("two\r\nlines")},
          {Text("\""), Text("x,y")},
          {Text("lf\nonly"), Text("cr\ronly")},
          {Text("plain"), Text("")}},
         true, us, "UTF-8",
         "\"Say \"\"hi\"\"\",\"a,b\"\r\n\"He said \"\"no\"\"\",\"two\r\nlines\"\r\n\"\"\"\",\"x,y\"\r\n"
         "\"lf\nonly\",\"cr\ronly\"\r\n\"plain\",\"\"\r\n"},
        {"texts of every length", {Column("Name", FieldType::VarWChar), Column("Length", FieldType::Integer)}, everyLength,
         false, us, "UTF-8", everyLengthLines},
        {"every type", EveryTypeColumns(), EveryTypeRows(), true, us, "UTF-8",
         "\"Byte\",\"Int\",\"Long\",\"Single\",\"Double\",\"Money\",\"When\",\"Done\",\"Text\",\"Memo\",\"Ole\",\"Guid\","
         "\"Dec\"\r\n"
         "255,-32768,2147483647,1.5,3.25,1234.5678,12/7/2026 10:30:00 AM,True,\"t\",\"m\",01AB,"
         "{12345678-9ABC-DEF0-0123-456789ABCDEF},-123.45\r\n"
         ",,,,,,,False,\"\",\"\",,,\r\n"},
        // A number with the locale's decimal comma is quoted, so that the line keeps its number of fields.
        {"decimal comma", EveryTypeColumns(), EveryTypeRows(), false, german, "UTF-8",
         "255,-32768,2147483647,\"1,5\",\"3,25\",\"1234,5678\",07.12.2026 10:30:00,True,\"t\",\"m\",01AB,"
         "{12345678-9ABC-DEF0-0123-456789ABCDEF},\"-123,45\"\r\n"
         ",,,,,,,False,\"\",\"\",,,\r\n"},
        // Any value holding a comma is quoted: Belarusian times end in one (what preceded the time zone).
        {"comma in a date", {Column("When", FieldType::Date), Column("N", FieldType::Integer)},
         {{Stored(36526.75), Stored(int32_t{1})}, {Stored(36526.0), Stored(int32_t{2})}}, false,
         QLocale(QLocale::Belarusian, QLocale::Belarus), "UTF-8", "\"1.01.2000 18:00:00,\",1\r\n1.01.2000,2\r\n"},
        // Another code set: the same texts converted, "?" for what it lacks.
        {"Latin-1",
         {Column("Gr\xc3\xb6\xc3\x9f" "e", FieldType::VarWChar), Column("Wert", FieldType::Double)},
         {{Text("Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac"), Stored(0.5)}},
         true, german, "ISO-8859-1", "\"Gr\xf6\xdf" "e\",\"Wert\"\r\n\"Gr\xfc\xdf" "e ?\",\"0,5\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QLocale::setDefault(c.locale);
        setLocaleCodeSetForTesting(c.codeSet);
        Recordset records;
        MemorySink sink;
        const Result<CsvOutcome> outcome =
            writeCsv(Over(records, c.columns, c.rows), CsvOptions{.includeHeader = c.header}, sink);
        ASSERT_TRUE(outcome.ok()) << outcome.error().description.toStdString();
        EXPECT_EQ(*outcome, CsvOutcome::Completed);
        EXPECT_EQ(sink.bytes, c.expected);
    }
}

// Dates of years Qt writes (past 9999 or before 1), between dates written directly, keep their
// place in the line: each field as the value text has it.
TEST_F(CsvWriter, WritesDatesOfAnyYearInTheirPlace)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<double> days = {45000.25, 3.5e6, 0.5, -4.0e6, -1.25, 2958466.0};
    std::vector<std::vector<StoredCell>> rows;
    std::string expected;
    for (size_t i = 0; i < days.size(); ++i) {
        rows.push_back({Stored(days[i]), Stored(static_cast<int32_t>(i))});
        const std::string text = valueText(Variant::date(days[i])).toStdString();
        expected += (text.find(',') != std::string::npos ? "\"" + text + "\"" : text) + "," + std::to_string(i) + "\r\n";
    }
    Recordset records;
    MemorySink sink;
    ASSERT_TRUE(writeCsv(Over(records, {Column("When", FieldType::Date), Column("N", FieldType::Integer)}, rows),
                         CsvOptions{}, sink).ok());
    EXPECT_EQ(sink.bytes, expected);
}

// Records go out in blocks of 4,096: every record once, in order, around the block edges.
TEST_F(CsvWriter, WritesEveryRecordAroundTheBlockEdges)
{
    for (const int64_t count : {1, 4095, 4096, 4097, 8191, 8192, 8193, 12289}) {
        for (const bool header : {false, true}) {
            SCOPED_TRACE(std::to_string(count) + (header ? " with header" : ""));
            Recordset records;
            records.openOver(NumberedRows(count));
            MemorySink sink;
            const Result<CsvOutcome> outcome = writeCsv(records, CsvOptions{.includeHeader = header}, sink);
            ASSERT_TRUE(outcome.ok());
            EXPECT_EQ(*outcome, CsvOutcome::Completed);
            ExpectBytes(sink.bytes, (header ? "\"ID\",\"Name\"\r\n" : "") + NumberedLines(1, count));
        }
    }
}

// Records written in steps, as a table that is still loading hands them over, make the
// same bytes as one export of them all, wherever the steps fall.
TEST_F(CsvWriter, WritesTheSameInStepsAsAtOnce)
{
    const std::vector<std::vector<int64_t>> stepEnds = {
        {0, 12289}, {1, 12289}, {4096, 8192, 12289}, {4095, 4097, 8191, 12288, 12289}, {3, 3, 7000, 12289}};
    for (const std::vector<int64_t>& ends : stepEnds) {
        SCOPED_TRACE(::testing::PrintToString(ends));
        Recordset records;
        records.openOver(NumberedRows(12289));
        MemorySink sink;
        CsvRecordWriter writer(records, CsvOptions{.includeHeader = true, .encoding = CsvEncoding::Utf8,
                                                   .byteOrderMark = true});
        int64_t from = 0;
        for (const int64_t end : ends) {
            const Result<CsvOutcome> step = writer.write(from, end, 12289, sink, nullptr);
            ASSERT_TRUE(step.ok());
            from = end;
        }
        ASSERT_TRUE(writer.finish(12289, sink, nullptr).ok());
        ExpectBytes(sink.bytes, "\xEF\xBB\xBF\"ID\",\"Name\"\r\n" + NumberedLines(1, 12289));
    }
}

// A sink that fails ends the export with its error; nothing is written after it.
TEST_F(CsvWriter, StopsAtTheFirstFailedWrite)
{
    Recordset records;
    records.openOver(NumberedRows(12289));  // four blocks: 4096, 4096, 4096 and 1 records
    const std::string header = "\"ID\",\"Name\"\r\n";
    const std::vector<std::pair<int, std::string>> cases = {
        {0, ""},
        {1, header + NumberedLines(1, 4096)},
        {2, header + NumberedLines(1, 8192)},
        {3, header + NumberedLines(1, 12288)},
    };
    for (const auto& [failingWrite, kept] : cases) {
        SCOPED_TRACE(failingWrite);
        MemorySink sink(failingWrite);
        const Result<CsvOutcome> outcome = writeCsv(records, CsvOptions{.includeHeader = true}, sink);
        ASSERT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.error(), MemorySink::failure());
        ExpectBytes(sink.bytes, kept);
        EXPECT_EQ(sink.writesAfterFailure, 0);
    }

    Recordset closed;
    MemorySink sink;
    const Result<CsvOutcome> outcome = writeCsv(closed, CsvOptions{.includeHeader = true}, sink);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error().code, ErrorCode::ObjectClosed);
    EXPECT_EQ(sink.writes, 0);
}

// Progress is asked before every two blocks and at the end; a no ends the
// export there, with every record before it handed over.
TEST_F(CsvWriter, CancelsAtABlockEdge)
{
    constexpr int64_t kCount = 20000;
    Recordset records;
    records.openOver(NumberedRows(kCount));
    struct Case {
        int64_t stopAt;
        std::vector<int64_t> asked;  // recordsWritten of each question
        std::string written;
        CsvOutcome outcome = CsvOutcome::Cancelled;
    };
    const std::string header = "\"ID\",\"Name\"\r\n";
    const std::vector<Case> cases = {
        {0, {0}, ""},
        {8192, {0, 8192}, header + NumberedLines(1, 8192)},
        {16384, {0, 8192, 16384}, header + NumberedLines(1, 16384)},
        {kCount, {0, 8192, 16384, kCount}, header + NumberedLines(1, kCount)},
        {kCount + 1, {0, 8192, 16384, kCount}, header + NumberedLines(1, kCount), CsvOutcome::Completed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        RecordingProgress progress(c.stopAt);
        MemorySink sink;
        const Result<CsvOutcome> outcome = writeCsv(records, CsvOptions{.includeHeader = true}, sink, &progress);
        ASSERT_TRUE(outcome.ok());
        EXPECT_EQ(*outcome, c.outcome);
        ExpectBytes(sink.bytes, c.written);
        std::vector<std::pair<int64_t, int64_t>> asked;
        for (const int64_t written : c.asked)
            asked.push_back({written, kCount});
        EXPECT_EQ(progress.calls, asked);
    }
}

// A filtered recordset shows few of its rows: the writer reads ahead of the record it writes,
// never past the rows shown, and writes exactly those, in the order shown. A snapshot keeps
// writing them after the recordset is filtered and sorted again.
TEST_F(CsvWriter, WritesOnlyTheRowsAFilterShows)
{
    struct Case {
        const char* text;
        bool descending;  // sorted by ID, descending, before the filter
        std::vector<int> ids;
    };
    const std::vector<Case> cases = {
        {"r99", false, {99, 990, 991, 992, 993, 994, 995, 996, 997, 998, 999}},
        {"r99", true, {999, 998, 997, 996, 995, 994, 993, 992, 991, 990, 99}},
        {"r1000", true, {1000}},
        {"r77", false, {77, 770, 771, 772, 773, 774, 775, 776, 777, 778, 779}},
        {"zzz", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.descending ? " descending" : ""));
        Recordset records;
        records.openOver(NumberedRows(1000));
        ASSERT_TRUE(records.setSort(c.descending ? "ID DESC" : "").ok());
        ASSERT_TRUE(records.setFilter(QString::fromLatin1(c.text), {0, 1}).ok());
        for (int64_t position = -1; position <= 1016; ++position)
            records.prefetch(position, position % 2 == 0);
        std::string expected;
        for (const int id : c.ids)
            expected += NumberedLines(id, id);

        const std::unique_ptr<Recordset> snapshot = records.snapshot();
        MemorySink sink;
        ASSERT_TRUE(writeCsv(records, CsvOptions{}, sink).ok());
        ExpectBytes(sink.bytes, expected);

        ASSERT_TRUE(records.setFilter(QStringLiteral("1"), {1}).ok());
        ASSERT_TRUE(records.setSort("Name").ok());
        MemorySink fromSnapshot;
        ASSERT_TRUE(writeCsv(*snapshot, CsvOptions{}, fromSnapshot).ok());
        ExpectBytes(fromSnapshot.bytes, expected);
    }
}

// A sorted order of a large table is written a stretch of records at a time, formatted in
// pieces in the order their rows lie: the same bytes, in record order, wherever stretches and
// pieces end, also filtered; a cancel or a failed write ends it with whole records written
// before it and nothing after.
TEST_F(CsvWriter, WritesASortedOrderByStoredRowAsInRecordOrder)
{
    struct Case {
        int64_t count;
        const char* sort;
        const char* filter;  // in the Name column
        size_t pieceRecords;
        size_t stretchPieces;
        size_t padding = 0;  // of each Name: long ones make pieces of fewer records
    };
    const std::vector<Case> cases = {
        {1, "ID DESC", "", 1, 1},          {12289, "ID DESC", "", 4096, 1},  {12289, "Name", "", 1000, 3},
        {12289, "Name DESC", "1", 7, 5},   {5000, "ID", "", 4096, 2},        {20000, "Name", "r1", 333, 2},
        {9000, "Name DESC", "", 8192, 0},  {3, "Name", "zzz", 2, 1},      {300, "Name", "", 8192, 0, 20000},
        {700, "ID DESC", "", 8192, 2, 5000},
    };
    const std::string header = "\"ID\",\"Name\"\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " by " + c.sort + " with \"" + c.filter + "\", pieces of " +
                     std::to_string(c.pieceRecords) + ", " + std::to_string(c.stretchPieces) + " a stretch");
        setStoredRowOrderForTesting(StoredRowOrder{0, c.pieceRecords, c.stretchPieces});
        Recordset records;
        records.openOver(NumberedRows(c.count, c.padding));
        ASSERT_TRUE(records.setSort(QString::fromLatin1(c.sort)).ok());
        if (*c.filter != '\0') {
            ASSERT_TRUE(records.setFilter(QString::fromLatin1(c.filter), {1}).ok());
        }

        std::vector<int64_t> ids;
        for (int64_t id = 1; id <= c.count; ++id) {
            if (("r" + std::to_string(id)).find(c.filter) != std::string::npos)
                ids.push_back(id);
        }
        const std::string sort = c.sort;
        if (sort.starts_with("Name"))
            std::sort(ids.begin(), ids.end(), [&c](int64_t a, int64_t b) {
                return NumberedName(a, c.padding) < NumberedName(b, c.padding);
            });
        if (sort.ends_with("DESC"))
            std::reverse(ids.begin(), ids.end());
        std::vector<std::string> lines;
        for (const int64_t id : ids)
            lines.push_back(NumberedLines(id, id, c.padding));
        const auto firstLines = [&](int64_t n) {
            std::string bytes = header;
            for (int64_t i = 0; i < n; ++i)
                bytes += lines[static_cast<size_t>(i)];
            return bytes;
        };
        const auto total = static_cast<int64_t>(ids.size());

        MemorySink whole;
        ASSERT_TRUE(writeCsv(records, CsvOptions{.includeHeader = true}, whole).ok());
        ExpectBytes(whole.bytes, firstLines(total));

        RecordingProgress progress(total / 2);
        MemorySink cancelled;
        const Result<CsvOutcome> outcome = writeCsv(records, CsvOptions{.includeHeader = true}, cancelled, &progress);
        ASSERT_TRUE(outcome.ok());
        EXPECT_EQ(*outcome, CsvOutcome::Cancelled);
        ASSERT_FALSE(progress.calls.empty());
        const int64_t asked = progress.calls.back().first;
        ExpectBytes(cancelled.bytes, asked == 0 ? std::string() : firstLines(asked));

        MemorySink failing(1);
        const Result<CsvOutcome> failed = writeCsv(records, CsvOptions{.includeHeader = true}, failing);
        const auto linesWritten = static_cast<int64_t>(std::count(failing.bytes.begin(), failing.bytes.end(), '\n')) - 1;
        ExpectBytes(failing.bytes, firstLines(linesWritten));
        EXPECT_EQ(failed.ok(), linesWritten == total);
        EXPECT_EQ(failing.writesAfterFailure, 0);
    }
    setStoredRowOrderForTesting(std::nullopt);
}

}  // namespace
}  // namespace varnex::test
