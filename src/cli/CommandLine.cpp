#include "cli/CommandLine.h"

#include "Arguments.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "HelpText.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "WindowStart.h"
#include "core/ByteText.h"

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
    case Command::Convert: return convertDatabase(invocation);
    case Command::Schema: return printSchema(invocation);
    case Command::Help: return writeStandardOutput(helpText());
    case Command::Version: return writeStandardOutput(versionText());
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

// The words after the program's name, each with its bytes (core/ByteText.h).
QStringList wordsOf(int argc, char** argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << bytesToText(argv[i]);
    return words;
}

// Qt's own warnings (about a file name, a plug-in) are no message of this program's: the line
// it writes on standard error stands alone.
void keepQtMessagesOut(QtMsgType, const QMessageLogContext&, const QString&) {}

int runCommand(int argc, char** argv, const QStringList& words)
{
    qInstallMessageHandler(keepQtMessagesOut);
    int count = argc;
    const QCoreApplication application(count, argv);
    const Result<Invocation> invocation = parseArguments(words);
    if (!invocation) {
        reportUsageError(invocation.error().description);
        return kUsageError;
    }
    return exitStatus(run(*invocation));
}

}  // namespace

std::optional<int> runCommandLine(int argc, char** argv)
{
    const QStringList words = wordsOf(argc, argv);
    if (!words.isEmpty() && isCommandWord(words.first()))
        return runCommand(argc, argv, words);
    if (const QString problem = windowStartProblem(words); !problem.isEmpty()) {
        reportUsageError(problem);
        return kUsageError;
    }
    return std::nullopt;
}

}  // namespace varnex::cli
