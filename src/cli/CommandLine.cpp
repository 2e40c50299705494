#include "cli/CommandLine.h"

#include "Arguments.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "HelpText.h"
#include "Interruption.h"
#include "StandardOutput.h"

#include <QCoreApplication>

namespace varnex::cli {
namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

Ending run(const Invocation& invocation)
{
    switch (invocation.command) {
    case Command::Tables: return listTables(invocation);
    case Command::Export: return exportTable(invocation);
    case Command::ExportAll: return exportAllTables(invocation);
    case Command::Help: return writeStandardOutput(helpText(), QString());
    case Command::Version: return writeStandardOutput(versionText(), QString());
    }
    return Ending::Failed;
}

int exitStatus(Ending ending)
{
    switch (ending) {
    case Ending::Completed: return kSucceeded;
    case Ending::Failed: return kFailed;
    case Ending::Interrupted: endAsInterrupted();
    case Ending::PipeClosed: endAsClosedPipe();
    }
    return kFailed;
}

}  // namespace

std::optional<int> runCommandLine(int argc, char** argv)
{
    if (argc < 2 || !isCommandWord(QString::fromLocal8Bit(argv[1])))
        return std::nullopt;
    int count = argc;
    const QCoreApplication application(count, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const Result<Invocation> invocation = parseArguments(arguments);
    if (!invocation) {
        reportUsageError(invocation.error().description);
        return kUsageError;
    }
    return exitStatus(run(*invocation));
}

}  // namespace varnex::cli
