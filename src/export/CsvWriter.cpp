#include "export/CsvWriter.h"

#include "core/LocaleCodec.h"
#include "data/Recordset.h"
#include "data/ValueFormatter.h"
#include "export/FieldCategory.h"

#include <QString>

#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace varnex {

namespace {

// Records are formatted and written in blocks of this many.
constexpr int64_t kRecordsPerBlock = 4096;
constexpr std::size_t kBlockBytesHint = std::size_t{1} << 20;

struct ExportColumn {
    int index;
    bool text;
};

bool isRecIdName(const QString& name)
{
    return name.toUpper() == QLatin1String("RECID");
}

std::vector<ExportColumn> exportedColumns(const Recordset& records)
{
    std::vector<ExportColumn> columns;
    const int count = records.columnCount();
    for (int c = 0; c < count; ++c) {
        if (isRecIdName(records.columnName(c)))
            continue;
        columns.push_back({c, fieldCategory(records.columnType(c)) == FieldCategory::Text});
    }
    return columns;
}

bool needsQuotes(std::string_view text)
{
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

// Doubles every double quote in buffer[from..], in place.
void doubleQuotesFrom(std::string& buffer, std::size_t from)
{
    const auto quotes = static_cast<std::size_t>(
        std::count(buffer.begin() + static_cast<std::ptrdiff_t>(from), buffer.end(), '"'));
    if (quotes == 0)
        return;
    const std::size_t oldSize = buffer.size();
    buffer.resize(oldSize + quotes);
    std::size_t to = buffer.size();
    for (std::size_t at = oldSize; at > from;) {
        const char c = buffer[--at];
        buffer[--to] = c;
        if (c == '"')
            buffer[--to] = '"';
    }
}

// Puts buffer[start..] between double quotes and doubles the quotes inside.
void QuoteTail(std::string& buffer, std::size_t start)
{
    buffer.insert(start, 1, '"');
    doubleQuotesFrom(buffer, start + 1);
    buffer += '"';
}

// Turns values and names into bytes of the chosen code set; where that is
// UTF-8 the recordset hands out the bytes directly.
class AnsiAppender {
public:
    AnsiAppender(const Recordset& records, CsvEncoding encoding)
        : records_(records), utf8_(encoding == CsvEncoding::Utf8 || localeIsUtf8()),
          formatter_(ValueFormatter::forDefaultLocale())
    {
    }

    bool writesUtf8() const { return utf8_; }

    void appendCell(int64_t position, int column, std::string& out) const
    {
        if (utf8_) {
            records_.appendCellTextUtf8(position, column, *formatter_, out);
            return;
        }
        appendText(records_.cellText(position, column), out);
    }

    void prefetch(int64_t position, bool bytes) const { records_.prefetch(position, bytes); }

    void appendText(const QString& text, std::string& out) const
    {
        const QByteArray bytes = utf8_ ? text.toUtf8() : toLocaleBytes(text);
        out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

private:
    const Recordset& records_;
    bool utf8_;
    std::shared_ptr<const ValueFormatter> formatter_;  // the locale's formats, resolved once per export
};

void appendHeader(const std::vector<ExportColumn>& columns, const Recordset& records,
                  const AnsiAppender& ansi, std::string& out)
{
    bool first = true;
    for (const ExportColumn& column : columns) {
        if (!first)
            out += ',';
        first = false;
        const std::size_t start = out.size();
        ansi.appendText(records.columnName(column.index), out);
        QuoteTail(out, start);
    }
    out += "\r\n";
}

void appendRecord(int64_t position, const std::vector<ExportColumn>& columns, const AnsiAppender& ansi,
                  std::string& out)
{
    bool first = true;
    for (const ExportColumn& column : columns) {
        if (!first)
            out += ',';
        first = false;
        const std::size_t start = out.size();
        if (column.text) {
            out += '"';
            ansi.appendCell(position, column.index, out);
            doubleQuotesFrom(out, start + 1);
            out += '"';
        } else {
            ansi.appendCell(position, column.index, out);
            if (needsQuotes(std::string_view(out).substr(start)))
                QuoteTail(out, start);
        }
    }
    out += "\r\n";
}

// Rows ahead of the one formatted whose cells are asked for: where they are, then their bytes.
constexpr int64_t kLocateAhead = 16;
constexpr int64_t kBytesAhead = 8;

void appendRecords(int64_t first, int64_t last, const std::vector<ExportColumn>& columns, const AnsiAppender& ansi,
                   std::string& out)
{
    for (int64_t position = first; position < last; ++position) {
        ansi.prefetch(position + kLocateAhead, false);
        ansi.prefetch(position + kBytesAhead, true);
        appendRecord(position, columns, ansi, out);
    }
}

// Formats records [first, last) on a helper thread where there is a second
// core, else at once; reading the recordset is safe from several threads.
std::future<std::string> formatAside(int64_t first, int64_t last, const std::vector<ExportColumn>& columns,
                                     const AnsiAppender& ansi)
{
    auto format = [first, last, &columns, &ansi] {
        std::string out;
        out.reserve(kBlockBytesHint);
        appendRecords(first, last, columns, ansi, out);
        return out;
    };
    if (std::thread::hardware_concurrency() > 1) {
        try {
            return std::async(std::launch::async, format);
        } catch (const std::system_error&) {
            // No thread to be had: format here instead.
        }
    }
    return std::async(std::launch::deferred, format);
}

}  // namespace

struct CsvRecordWriter::Parts {
    Parts(const Recordset& records, const CsvOptions& options)
        : columns(exportedColumns(records)), ansi(records, options.encoding)
    {
    }
    std::vector<ExportColumn> columns;
    AnsiAppender ansi;
    std::string buffer;  // the header, until the first records go out with it
};

CsvRecordWriter::CsvRecordWriter(const Recordset& records, const CsvOptions& options)
    : parts_(std::make_unique<Parts>(records, options))
{
    parts_->buffer.reserve(kBlockBytesHint);
    if (options.byteOrderMark && parts_->ansi.writesUtf8())
        parts_->buffer += "\xEF\xBB\xBF";
    if (options.includeHeader)
        appendHeader(parts_->columns, records, parts_->ansi, parts_->buffer);
}

CsvRecordWriter::~CsvRecordWriter() = default;

Result<CsvOutcome> CsvRecordWriter::write(int64_t first, int64_t last, int64_t total, CsvSink& sink,
                                          ExportProgress* progress)
{
    const std::vector<ExportColumn>& columns = parts_->columns;
    const AnsiAppender& ansi = parts_->ansi;
    std::string& buffer = parts_->buffer;
    // Two blocks of records at a time: the second formatted aside while this
    // thread formats the first, both written in record order.
    for (int64_t from = first; from < last; from += 2 * kRecordsPerBlock) {
        if (progress && !progress->keepGoing(from, total))
            return CsvOutcome::Cancelled;
        const int64_t middle = std::min(from + kRecordsPerBlock, last);
        const int64_t to = std::min(middle + kRecordsPerBlock, last);
        std::future<std::string> second;
        if (middle < to)
            second = formatAside(middle, to, columns, ansi);
        appendRecords(from, middle, columns, ansi, buffer);
        Status written = sink.write(buffer);
        buffer.clear();
        if (second.valid()) {
            const std::string secondBlock = second.get();
            if (written)
                written = sink.write(secondBlock);
        }
        if (!written)
            return written.error();
    }
    return CsvOutcome::Completed;
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
