#include "export/CsvWriter.h"

#include "core/LocaleCodec.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "store/TableData.h"
#include "data/ValueFormatter.h"
#include "CsvQuoting.h"
#include "CsvRowWriter.h"
#include "export/FieldCategory.h"
#include "export/OrderedWork.h"
#include "StoredRowBlock.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

namespace {

// Records are formatted and written in blocks of this many.
constexpr int64_t kRecordsPerBlock = 4096;
constexpr std::size_t kBlockBytesHint = std::size_t{1} << 20;
// Progress is asked before every this many blocks are written.
constexpr int64_t kBlocksPerQuestion = 2;
// About the most the lines of a stretch formatted by stored row take (see StoredRowBlock),
// and at most this share of the table: the more records a stretch has, the closer together
// its rows lie; some hundred rows apart, they are read nearly as fast as in load order.
constexpr int64_t kStretchBytes = int64_t{16} << 20;
constexpr int64_t kStretchesInTable = 32;

std::optional<StoredRowOrder>& storedRowOrderForTesting()
{
    static std::optional<StoredRowOrder> order;
    return order;
}

// About the most the lines of a piece take: rows of large values make pieces of few records.
constexpr int64_t kPieceBytes = int64_t{1} << 20;

int64_t bytesPerRow(const TableData& table)
{
    return std::max<int64_t>(static_cast<int64_t>(table.byteSize()) / std::max<int64_t>(table.rowCount(), 1), 1);
}

// Records of a piece: at most mostRecords, and as many of the table's rows as kPieceBytes holds.
size_t pieceRecordsByBytes(const TableData& table, size_t mostRecords)
{
    const auto records = static_cast<size_t>(std::max<int64_t>(kPieceBytes / bytesPerRow(table), 1));
    return std::clamp<size_t>(records, 1, std::max<size_t>(mostRecords, 1));
}

// Records of a stretch: as many of the table's rows as kStretchBytes holds (a 32nd of the
// table at most), a whole number of pieces. Where rows are small, the stretch's own reckoning
// (about 32 bytes a record: where each row lies and where its line ends) bounds it instead.
size_t stretchRecordsByBytes(const TableData& table, size_t pieceRecords)
{
    constexpr int64_t kReckoningBytesPerRecord = 32;
    const int64_t stretchBytes = std::min(kStretchBytes, static_cast<int64_t>(table.byteSize()) / kStretchesInTable);
    const int64_t byRows = std::min(stretchBytes / bytesPerRow(table), kStretchBytes / kReckoningBytesPerRecord);
    const auto records = static_cast<size_t>(std::max<int64_t>(byRows, 1));
    return std::max<size_t>(records / pieceRecords, 1) * pieceRecords;
}

using ExportColumn = CsvRowWriter::Column;

bool isRecIdName(const QString& name)
{
    return name.toUpper() == QLatin1String("RECID");
}

// Whole numbers and Yes/No values are digits, a sign or a word.
bool writesPlainText(FieldType type)
{
    switch (type) {
    case FieldType::Boolean:
    case FieldType::UnsignedTinyInt:
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::BigInt:
    case FieldType::GUID: return true;
    default: return false;
    }
}

std::vector<ExportColumn> exportedColumns(const Recordset& records, const ValueFormatter& formatter)
{
    std::vector<ExportColumn> columns;
    const std::shared_ptr<const TableData> rows = records.loadedRows();
    const int count = records.columnCount();
    for (int c = 0; c < count; ++c) {
        if (isRecIdName(records.columnName(c)))
            continue;
        const FieldType type = records.columnType(c);
        const bool text = fieldCategory(type) == FieldCategory::Text;
        const bool storedUtf8 = (type == FieldType::VarWChar || type == FieldType::LongVarWChar) && rows &&
                                !rows->info(c).isList();
        const bool plain = writesPlainText(type) || !formatter.mayWriteAnyOf(type, std::string_view(",\"\r\n", 4));
        columns.push_back({c, text, storedUtf8, plain});
    }
    return columns;
}

}  // namespace

// Writes records as CSV lines in the chosen code set; where that is UTF-8 the
// stored rows are read directly, from any number of threads at once.
class CsvLines::Format {
public:
    Format(const Recordset& records, CsvEncoding encoding)
        : records_(records), rows_(records.loadedRows()), formatter_(ValueFormatter::forDefaultLocale()),
          columns_(exportedColumns(records, *formatter_)), utf8_(encoding == CsvEncoding::Utf8 || localeIsUtf8()),
          inLoadOrder_(records.sort().isEmpty() && !records.isFiltered())
    {
        if (rows_ && utf8_)
            rowWriter_.emplace(*rows_, *formatter_, columns_);
        // A filtered order in load order reads forward already, and a small table is read about
        // as fast in any order.
        const StoredRowOrder order = storedRowOrderForTesting().value_or(StoredRowOrder{});
        byStoredRow_ = rowWriter_ && !records.sort().isEmpty() && rows_->rowCount() <= int64_t{UINT32_MAX} &&
                       rows_->byteSize() >= order.fromTableBytes;
        if (!byStoredRow_)
            return;
        pieceRecords_ = pieceRecordsByBytes(*rows_, order.pieceRecords);
        stretchRecords_ = order.stretchPieces > 0 ? order.stretchPieces * pieceRecords_
                                                  : stretchRecordsByBytes(*rows_, pieceRecords_);
    }

    bool writesUtf8() const { return utf8_; }
    bool formatsByStoredRow() const { return byStoredRow_; }
    size_t recordsPerStretch() const { return stretchRecords_; }
    size_t recordsPerPiece() const { return pieceRecords_; }
    int64_t storedRow(int64_t record) const { return records_.storedRow(record); }
    int64_t storedRowCount() const { return rows_ ? rows_->rowCount() : 0; }

    void appendStoredRows(const uint32_t* rows, size_t count, uint64_t* ends, std::string& out) const
    {
        constexpr auto locateAhead = static_cast<size_t>(kLocateAhead);
        constexpr auto bytesAhead = static_cast<size_t>(kBytesAhead);
        for (size_t i = 0; i < count; ++i) {
            if (i + locateAhead < count)
                rows_->prefetch(rows[i + locateAhead], false);
            if (i + bytesAhead < count)
                rows_->prefetch(rows[i + bytesAhead], true);
            rowWriter_->append(rows[i], out);
            ends[i] = out.size();
        }
    }

    // Every name between double quotes.
    void appendHeader(std::string& out) const
    {
        appendLine([this](const ExportColumn& column) { return records_.columnName(column.index); },
                   [](const ExportColumn&, std::string_view) { return true; }, out);
    }

    void appendRecords(int64_t first, int64_t last, std::string& out) const
    {
        for (int64_t position = first; position < last; ++position) {
            // In a sorted or filtered order each record's row lies anywhere in memory.
            if (!inLoadOrder_) {
                records_.prefetch(position + kLocateAhead, false);
                records_.prefetch(position + kBytesAhead, true);
            }
            if (rowWriter_)
                rowWriter_->append(records_.storedRow(position), out);
            else
                appendRecord(position, out);
        }
    }

private:
    // Rows ahead of the one formatted whose cells are asked for: where they are, then their bytes.
    static constexpr int64_t kLocateAhead = 16;
    static constexpr int64_t kBytesAhead = 8;

    void appendText(const QString& text, std::string& out) const
    {
        const QByteArray bytes = utf8_ ? text.toUtf8() : toLocaleBytes(text);
        out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

    // In another code set: the value texts converted one by one.
    void appendRecord(int64_t position, std::string& out) const
    {
        appendLine([this, position](const ExportColumn& column) { return records_.cellText(position, column.index); },
                   [](const ExportColumn& column, std::string_view text) { return column.text || needsQuotes(text); },
                   out);
    }

    // A line of each column's text, between double quotes where quoted() says so.
    template <class Text, class Quoted>
    void appendLine(const Text& text, const Quoted& quoted, std::string& out) const
    {
        bool first = true;
        for (const ExportColumn& column : columns_) {
            if (!first)
                out += ',';
            first = false;
            const std::size_t start = out.size();
            appendText(text(column), out);
            if (quoted(column, std::string_view(out).substr(start)))
                quoteTail(out, start);
        }
        out += "\r\n";
    }

    const Recordset& records_;
    std::shared_ptr<const TableData> rows_;
    std::shared_ptr<const ValueFormatter> formatter_;  // the locale's formats, resolved once per export
    std::vector<ExportColumn> columns_;
    bool utf8_;
    bool inLoadOrder_;
    bool byStoredRow_ = false;
    size_t pieceRecords_ = 1;
    size_t stretchRecords_ = 1;
    std::optional<CsvRowWriter> rowWriter_;  // UTF-8: the stored rows written directly
};

void setStoredRowOrderForTesting(std::optional<StoredRowOrder> order)
{
    storedRowOrderForTesting() = order;
}

CsvLines::CsvLines(const Recordset& records, const CsvOptions& options)
    : format_(std::make_unique<Format>(records, options.encoding)), options_(options)
{
}

CsvLines::~CsvLines() = default;

std::string CsvLines::preamble() const
{
    std::string bytes;
    if (options_.byteOrderMark && format_->writesUtf8())
        bytes += "\xEF\xBB\xBF";
    if (options_.includeHeader)
        format_->appendHeader(bytes);
    return bytes;
}

void CsvLines::appendRecords(int64_t first, int64_t last, std::string& out) const
{
    format_->appendRecords(first, last, out);
}

bool CsvLines::formatsByStoredRow() const
{
    return format_->formatsByStoredRow();
}

size_t CsvLines::recordsPerStretch() const
{
    return format_->recordsPerStretch();
}

size_t CsvLines::recordsPerPiece() const
{
    return format_->recordsPerPiece();
}

int64_t CsvLines::storedRow(int64_t record) const
{
    return format_->storedRow(record);
}

int64_t CsvLines::storedRowCount() const
{
    return format_->storedRowCount();
}

void CsvLines::appendStoredRows(const uint32_t* rows, size_t count, uint64_t* ends, std::string& out) const
{
    format_->appendStoredRows(rows, count, ends, out);
}

struct CsvRecordWriter::Parts {
    Parts(const Recordset& records, const CsvOptions& options) : lines(records, options), buffer(lines.preamble()) {}

    // Formats records [first, last) in blocks on every core and writes them in order, asking
    // for progress before every few blocks; first: where this call's blocks start counting.
    Result<CsvOutcome> write(int64_t first, int64_t last, int64_t total, CsvSink& sink, ExportProgress* progress);
    // The same for records formatted in the order their rows lie (see StoredRowBlock).
    Result<CsvOutcome> writeByStoredRow(int64_t first, int64_t last, int64_t total, CsvSink& sink,
                                        ExportProgress* progress);
    // Progress is asked before every few steps (blocks written, or pieces taken).
    static bool keepGoing(ExportProgress* progress, int64_t step, int64_t written, int64_t total)
    {
        return !progress || step % kBlocksPerQuestion != 0 || progress->keepGoing(written, total);
    }
    // Writes bytes, the header first where it has not gone yet.
    Status writeOut(const std::string& bytes, CsvSink& sink);
    // Blocks queued past a cancel or a failure are not wanted: the writer stops there.
    Result<CsvOutcome> stop(Result<CsvOutcome> outcome)
    {
        work.reset();
        return outcome;
    }

    CsvLines lines;
    std::string buffer;  // the header, until the first records go out with it
    std::unique_ptr<OrderedWork> work;
};

Status CsvRecordWriter::Parts::writeOut(const std::string& bytes, CsvSink& sink)
{
    if (buffer.empty())
        return sink.write(bytes);
    buffer += bytes;
    const Status written = sink.write(buffer);
    buffer.clear();
    return written;
}

Result<CsvOutcome> CsvRecordWriter::Parts::write(int64_t first, int64_t last, int64_t total, CsvSink& sink,
                                                ExportProgress* progress)
{
    if (lines.formatsByStoredRow())
        return writeByStoredRow(first, last, total, sink, progress);
    if (!work)
        work = std::make_unique<OrderedWork>();
    int64_t queuedUpTo = first;
    const auto queueMore = [&] {
        while (queuedUpTo < last && !work->full()) {
            const int64_t from = queuedUpTo;
            const int64_t to = std::min(from + kRecordsPerBlock, last);
            work->submit([this, from, to](std::string& out) {
                out.reserve(kBlockBytesHint);
                lines.appendRecords(from, to, out);
            });
            queuedUpTo = to;
        }
    };
    std::string block;
    int64_t blockIndex = 0;
    for (int64_t from = first; from < last; ++blockIndex) {
        if (!keepGoing(progress, blockIndex, from, total))
            return stop(CsvOutcome::Cancelled);
        queueMore();
        work->next(block);
        if (Status written = writeOut(block, sink); !written)
            return stop(written.error());
        from = std::min(from + kRecordsPerBlock, last);
    }
    return CsvOutcome::Completed;
}

// Two stretches at a time: the pieces of the next are formatted while the lines of the
// oldest are copied out and written. Each step (a piece taken, a block written) is short,
// and progress is asked every few of them.
Result<CsvOutcome> CsvRecordWriter::Parts::writeByStoredRow(int64_t first, int64_t last, int64_t total,
                                                            CsvSink& sink, ExportProgress* progress)
{
    if (!work)
        work = std::make_unique<OrderedWork>();
    const auto perStretch = static_cast<int64_t>(lines.recordsPerStretch());
    std::deque<std::shared_ptr<StoredRowBlock>> stretches;
    std::deque<std::pair<StoredRowBlock*, size_t>> formatting;  // pieces queued, oldest first
    std::vector<std::string> spare;
    int64_t stretchedUpTo = first;
    size_t nextPiece = 0;
    const auto queueMore = [&] {
        while (!work->full()) {
            if (stretches.empty() || nextPiece == stretches.back()->pieceCount()) {
                if (stretchedUpTo == last || stretches.size() == 2)
                    return;
                const int64_t to = std::min(stretchedUpTo + perStretch, last);
                stretches.push_back(std::make_shared<StoredRowBlock>(lines, stretchedUpTo, to, lines.recordsPerPiece()));
                stretchedUpTo = to;
                nextPiece = 0;
            }
            std::shared_ptr<StoredRowBlock> stretch = stretches.back();
            const size_t piece = nextPiece++;
            work->submit([stretch, piece](std::string& out) { stretch->formatPiece(piece, out); });
            formatting.emplace_back(stretch.get(), piece);
        }
    };
    // The oldest piece queued, once it is formatted (or waited for); a spare buffer goes in its place.
    const auto takePiece = [&](bool wait) {
        if (formatting.empty())
            return false;
        std::string bytes;
        if (!spare.empty()) {
            bytes = std::move(spare.back());
            spare.pop_back();
        }
        if (!(wait ? work->next(bytes) : work->nextIfDone(bytes))) {
            spare.push_back(std::move(bytes));
            return false;
        }
        formatting.front().first->keepPiece(formatting.front().second, std::move(bytes));
        formatting.pop_front();
        return true;
    };
    std::string block;
    int64_t step = 0;
    for (int64_t from = first; from < last; ++step) {
        if (!keepGoing(progress, step, from, total))
            return stop(CsvOutcome::Cancelled);
        queueMore();
        StoredRowBlock& oldest = *stretches.front();
        if (!oldest.complete()) {
            takePiece(true);
            continue;
        }
        const int64_t to = std::min(from + kRecordsPerBlock, oldest.last());
        block.clear();
        oldest.appendRecords(from, to, block);
        if (Status written = writeOut(block, sink); !written)
            return stop(written.error());
        while (takePiece(false)) {
        }
        from = to;
        if (from == oldest.last()) {
            for (std::string& buffer : oldest.takeBuffers())
                spare.push_back(std::move(buffer));
            stretches.pop_front();
        }
    }
    return CsvOutcome::Completed;
}

CsvRecordWriter::CsvRecordWriter(const Recordset& records, const CsvOptions& options)
    : parts_(std::make_unique<Parts>(records, options))
{
}

// The blocks still being formatted are waited for: they read the recordset.
CsvRecordWriter::~CsvRecordWriter() = default;

Result<CsvOutcome> CsvRecordWriter::write(int64_t first, int64_t last, int64_t total, CsvSink& sink,
                                          ExportProgress* progress)
{
    return parts_->write(first, last, total, sink, progress);
}

Result<CsvOutcome> CsvRecordWriter::finish(int64_t total, CsvSink& sink, ExportProgress* progress)
{
    if (progress && !progress->keepGoing(total, total))
        return CsvOutcome::Cancelled;
    if (!parts_->buffer.empty()) {
        if (Status written = sink.write(parts_->buffer); !written)
            return written.error();
        parts_->buffer.clear();
    }
    return CsvOutcome::Completed;
}

Result<CsvOutcome> writeCsv(const Recordset& records, const CsvOptions& options, CsvSink& sink,
                            ExportProgress* progress)
{
    const Result<int64_t> recordCount = records.recordCount();
    if (!recordCount)
        return recordCount.error();
    const int64_t count = *recordCount;
    CsvRecordWriter writer(records, options);
    const Result<CsvOutcome> written = writer.write(0, count, count, sink, progress);
    if (!written || *written == CsvOutcome::Cancelled)
        return written;
    return writer.finish(count, sink, progress);
}

}  // namespace varnex
