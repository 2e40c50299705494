#include "Diagnostics.h"

#include "TerminalLine.h"

#include <cstdio>

namespace varnex::cli {
namespace {

void writeLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    takeTerminalLineAway();
    const QByteArray bytes = QStringLiteral("varnex: %1\n").arg(line).toUtf8();
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
    writeLine(problem + QStringLiteral(" (see 'varnex --help')"));
}

bool reportReadWarnings(const QString& database, const std::vector<ReadWarning>& warnings, bool strict)
{
    const QString prefix = strict ? QString() : QStringLiteral("warning: ");
    for (const ReadWarning& warning : warnings)
        writeLine(prefix + QStringLiteral("%1: %2").arg(database, warning.text()));
    return !strict || warnings.empty();
}

}  // namespace varnex::cli
