#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "TerminalProgress.h"
#include "data/Connection.h"
#include "export/SqliteConversion.h"

#include <memory>
#include <optional>

namespace varnex::cli {
namespace {

// Says how the conversion goes: a line on standard output for each table written, its failures and
// warnings on standard error, the progress line where standard error is a terminal. A failed write to
// standard output stops the conversion.
class CommandObserver : public ConversionObserver {
public:
    explicit CommandObserver(const Invocation& invocation) : invocation_(invocation) {}

    bool keepGoing() override { return !said_ && !interrupted(); }

    LoadProgress tableStarting(const QString& table, int, int) override
    {
        progress_ = std::make_unique<TerminalProgress>(table, false);
        const LoadProgress reading = progress_->reading();
        return [this, reading](int64_t rowsRead, int64_t rowCount) { return !said_ && reading(rowsRead, rowCount); };
    }

    void tableWritten(const QString& table, int64_t rows) override
    {
        progress_.reset();
        const QString counted = rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
        if (const Ending ending = writeStandardOutput(QStringLiteral("%1 (%2)\n").arg(table, counted)); ending != Ending::Completed)
            said_ = ending;
    }

    void tableFailed(const QString& table, const QString& cause) override
    {
        progress_.reset();
        if (!cause.isEmpty() && !interrupted())
            reportFailure(invocation_.database, table, cause);
    }

    void warned(const ReadWarning& warning) override
    {
        reportReadWarnings(invocation_.database, {warning}, invocation_.strict);
    }

    // How standard output ended, where it failed.
    const std::optional<Ending>& said() const { return said_; }

private:
    const Invocation& invocation_;
    std::unique_ptr<TerminalProgress> progress_;
    std::optional<Ending> said_;
};

Ending failed(const Invocation& invocation, const Error& error)
{
    if (error.description.isEmpty())
        return Ending::Failed;  // the warnings that made it fail have said why
    QString cause = error.description;
    if (error.code == ErrorCode::PathFileAccess && !invocation.replace)
        cause += QStringLiteral(" (--replace replaces it)");
    reportFailure(invocation.database, cause);
    return Ending::Failed;
}

}  // namespace

Ending convertDatabase(const Invocation& invocation)
{
    catchInterruptions();
    Connection connection;
    if (const Ending opened = openForCommand(connection, invocation); opened != Ending::Completed)
        return opened;
    CommandObserver observer(invocation);
    const ConversionRequest request{databaseFileOf(connection), invocation.output, invocation.replace, invocation.tables,
                                    invocation.strict};
    const ConversionResult result = convertToSqlite(request, observer);
    if (interrupted())
        return Ending::Interrupted;
    switch (result.outcome) {
    case ConversionOutcome::Completed: return Ending::Completed;
    case ConversionOutcome::TablesFailed: return Ending::Failed;
    case ConversionOutcome::Failed: return failed(invocation, result.error);
    case ConversionOutcome::Cancelled: break;
    }
    return observer.said().value_or(Ending::Interrupted);
}

}  // namespace varnex::cli
