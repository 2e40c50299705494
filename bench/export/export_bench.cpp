// Times the CSV export of one table beside mdb-export's, in one run:
//   export_bench FILE TABLE
// Prints "name: value" lines: mdb_export_file_s, export_s, export_ratio,
// load_export_s, load_export_ratio, export_rss_growth_mb, export_cpu_s.

#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "export/CsvFileExport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace {

using namespace varnex;

long StatusKiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Starts a fresh peak-RSS measurement (VmHWM falls back to the current RSS).
void ResetPeakRss()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

double MdbExportSeconds(const QString& file, const QString& table, const QString& out)
{
    QProcess process;
    process.setStandardOutputFile(out);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("mdb-export"), {file, table});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "mdb-export failed: %s\n", qPrintable(process.readAllStandardError()));
        return -1;
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Processor time of every thread of the process so far, user and system.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Print(const char* name, double value)
{
    std::printf("%s: %.3f\n", name, value);
}

int Fail(const char* what, const Error& error)
{
    std::fprintf(stderr, "%s: %d %s\n", what, error.number(), qPrintable(error.description));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: export_bench FILE TABLE\n");
        return 2;
    }
    const QString file = args[1];
    const QString table = args[2];
    QTemporaryDir scratch;

    const double mdbSeconds = MdbExportSeconds(file, table, scratch.filePath(QStringLiteral("mdb.csv")));
    if (mdbSeconds < 0)
        return 1;

    QElapsedTimer clock;
    clock.start();
    Connection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
    if (Status opened = connection.open(file, QStringLiteral("Admin"), QString()); !opened)
        return Fail("open", opened.error());
    auto records = std::make_shared<Recordset>();
    if (Status loaded = records->open(table, &connection);
        !loaded)
        return Fail("load", loaded.error());
    const double loadSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    const long rssBeforeKiB = StatusKiB("VmRSS:");
    ResetPeakRss();
    const double cpuBefore = CpuSeconds();
    clock.restart();
    const Result<CsvOutcome> exported =
        exportCsvFile(*records, scratch.filePath(QStringLiteral("out.CSV")), CsvOptions{.includeHeader = true});
    const double exportSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double exportCpuSeconds = CpuSeconds() - cpuBefore;
    if (!exported)
        return Fail("export", exported.error());
    const long peakKiB = StatusKiB("VmHWM:");

    Print("mdb_export_file_s", mdbSeconds);
    Print("export_s", exportSeconds);
    Print("export_ratio", exportSeconds / mdbSeconds);
    Print("load_export_s", loadSeconds + exportSeconds);
    Print("load_export_ratio", (loadSeconds + exportSeconds) / mdbSeconds);
    Print("export_rss_growth_mb", static_cast<double>(peakKiB - rssBeforeKiB) / 1024.0);
    // Processor time of the export over all its threads: a check on a busy machine.
    Print("export_cpu_s", exportCpuSeconds);
    return 0;
}
