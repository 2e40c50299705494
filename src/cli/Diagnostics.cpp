#include "Diagnostics.h"

#include "TerminalLine.h"
#include "core/ByteText.h"

#include <cstdio>

namespace varnex::cli {
namespace {

void writeLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    takeTerminalLineAway();
    const QByteArray bytes = textToBytes(QStringLiteral("varnex: %1\n").arg(line));
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

void reportFailure(const QString& database, const QString& table, const QString& cause)
{
    writeLine(QStringLiteral("%1: table '%2': %3").arg(database, table, cause));
}

void reportFailure(const QString& database, const QString& cause)
{
    writeLine(database.isEmpty() ? cause : QStringLiteral("%1: %2").arg(database, cause));
}

void reportUsageError(const QString& problem)
{
    writeLine(problem + QStringLiteral(" (see varnex --help)"));
}

void reportWarning(const QString& subject, const QString& cause)
{
    writeLine(QStringLiteral("warning: %1: %2").arg(subject, cause));
}

bool reportReadWarnings(const QString& database, const std::vector<ReadWarning>& warnings, bool strict)
{
    for (const ReadWarning& warning : warnings) {
        if (strict)
            reportFailure(database, warning.text());
        else
            reportWarning(database, warning.text());
    }
    return !strict || warnings.empty();
}

}  // namespace varnex::cli
