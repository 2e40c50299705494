#include "TableExport.h"

#include "CsvWhileLoading.h"
#include "DescriptorSink.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "TerminalProgress.h"
#include "core/FileSystem.h"
#include "data/Connection.h"
#include "data/DatabaseReads.h"
#include "data/Recordset.h"
#include "data/SortOrder.h"
#include "data/TableList.h"
#include "export/CsvFileSink.h"

#include <unistd.h>

namespace varnex::cli {
namespace {

// The first column the sort names that the table does not have; empty where it has them all.
QString missingSortColumn(const Recordset& records, const QString& sort)
{
    const Result<QStringList> names = sortColumnNames(sort);
    for (const QString& name : names ? *names : QStringList()) {
        if (records.columnIndex(name) < 0)
            return name;
    }
    return {};
}

}  // namespace

TableExport::TableExport(Connection& connection, TableRequest request)
    : connection_(connection), request_(std::move(request))
{
}

TableExport::~TableExport() = default;

Ending TableExport::failed(const QString& cause) const
{
    // A read or a write cut short by an interruption fails as a matter of course; that is no news.
    if (interrupted())
        return Ending::Interrupted;
    reportFailure(request_.database, request_.table, cause);
    return Ending::Failed;
}

// Strict, nothing may go out before the whole table has been read without a warning.
CsvWhileLoading* TableExport::streamingFor(CsvWhileLoading& candidate) const
{
    return request_.sort.isEmpty() && !request_.strict ? &candidate : nullptr;
}

Ending TableExport::load(TerminalProgress& progress, CsvWhileLoading* streaming)
{
    if (streaming) {
        std::vector<ReadWarning> warnings;
        const auto read = streamTableRows(databaseFileOf(connection_), request_.table, warnings, progress.reading(),
                                          streaming->receiver());
        if (streaming->failure())
            return Ending::Failed;  // the caller reports the sink's failure
        if (!read)
            return failed(read.error().description);
        if (!*read)
            return Ending::Interrupted;
        if (!reportReadWarnings(request_.database, warnings, request_.strict))
            return Ending::Failed;
        rows_ = streaming->rows();
        return Ending::Completed;
    }
    auto records = std::make_shared<Recordset>();
    if (Status opened = records->open(exactTableSource(request_.table), &connection_, progress.reading()); !opened)
        return failed(opened.error().description);
    if (!records->isOpen())
        return Ending::Interrupted;
    if (!reportReadWarnings(request_.database, records->warnings(), request_.strict))
        return Ending::Failed;
    if (!request_.sort.isEmpty()) {
        if (const QString missing = missingSortColumn(*records, request_.sort); !missing.isEmpty())
            return failed(QStringLiteral("--sort \"%1\": the table has no column '%2'").arg(request_.sort, missing));
        if (Status sorted = records->setSort(request_.sort); !sorted)
            return failed(sorted.error().description + QStringLiteral(" (--sort \"%1\")").arg(request_.sort));
    }
    records_ = std::move(records);
    rows_ = records_->recordCount().value();
    return Ending::Completed;
}

// Written as it loaded, or now, sorted.
Result<CsvOutcome> TableExport::writeLoaded(CsvWhileLoading& streamed, CsvSink& sink, TerminalProgress& progress)
{
    if (!records_)
        return streamed.finish(&progress);
    return writeCsv(*records_, request_.options, sink, &progress);
}

Ending TableExport::toStandardOutput()
{
    TerminalProgress progress(request_.table, isatty(STDOUT_FILENO) == 1);
    DescriptorSink sink(STDOUT_FILENO, QStringLiteral("standard output"));
    CsvWhileLoading csv(request_.options, sink);
    if (const Ending loaded = load(progress, streamingFor(csv)); loaded != Ending::Completed) {
        if (!csv.failure())
            return loaded;
        return interrupted() ? Ending::Interrupted : standardOutputFailed(sink, csv.failure()->description);
    }
    const Result<CsvOutcome> written = writeLoaded(csv, sink, progress);
    if (!written)
        return interrupted() ? Ending::Interrupted : standardOutputFailed(sink, written.error().description);
    return *written == CsvOutcome::Completed ? Ending::Completed : Ending::Interrupted;
}

Ending TableExport::toFile(const QString& path)
{
    if (sameFile(request_.database, path))
        return failed(QStringLiteral("Could not create '%1': it is the database itself").arg(path));
    CsvFileSink sink(path);
    if (Status opened = sink.open(); !opened)
        return failed(opened.error().description);
    TerminalProgress progress(request_.table, false);
    CsvWhileLoading csv(request_.options, sink);
    if (const Ending loaded = load(progress, streamingFor(csv)); loaded != Ending::Completed)
        return csv.failure() ? failed(csv.failure()->description) : loaded;
    const Result<CsvOutcome> written = writeLoaded(csv, sink, progress);
    if (!written)
        return failed(written.error().description);
    if (*written == CsvOutcome::Cancelled)
        return Ending::Interrupted;
    if (Status committed = sink.commit(); !committed)
        return failed(committed.error().description);
    return Ending::Completed;
}

}  // namespace varnex::cli
