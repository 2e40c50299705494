// Long-run check of one process: loads a table, sorts it and exports it as CSV, over
// and over, as a user who keeps re-picking the same table would. Prints one line per
// round ("round N: load_s sort_s export_s peak_rss_mb rss_mb sha256") and a summary:
// the peak memory of the first and last rounds and whether every export was identical.
//   soak_main FILE TABLE ROUNDS OUT_FOLDER
// Exit status 1 when an export differs from the first or a round fails.

#include "common/ProcessStatus.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "export/CsvFileExport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace varnex;

using bench::statusMb;

// Starts a new peak: the kernel's high-water mark drops to the current size.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

QByteArray FileHash(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

// The sort key: the first text column, else the first column.
QString SortColumn(const Recordset& rs)
{
    for (int c = 0; c < rs.columnCount(); ++c) {
        if (rs.columnType(c) == FieldType::VarWChar)
            return QLatin1Char('[') + rs.columnName(c) + QStringLiteral("] DESC");
    }
    return QLatin1Char('[') + rs.columnName(0) + QLatin1Char(']');
}

int Fail(const char* what, const Error& error)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(error.description));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FILE TABLE ROUNDS OUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString table = QString::fromLocal8Bit(argv[2]);
    const int rounds = std::atoi(argv[3]);
    const QString csv = QString::fromLocal8Bit(argv[4]) + QStringLiteral("/soak.csv");

    Connection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0"));
    if (const Status opened = connection.open(path, QStringLiteral("Admin"), {}); !opened)
        return Fail("open", opened.error());

    QByteArray firstHash;
    double firstPeak = 0;
    double lastPeak = 0;
    double maxPeak = 0;
    bool identical = true;
    for (int round = 1; round <= rounds; ++round) {
        ResetPeak();
        QElapsedTimer timer;
        timer.start();
        auto rs = std::make_shared<Recordset>();
        if (const Status loaded = rs->open(table, &connection); !loaded)
            return Fail("load", loaded.error());
        const double loadS = timer.nsecsElapsed() / 1e9;

        timer.restart();
        if (const Status sorted = rs->setSort(SortColumn(*rs)); !sorted)
            return Fail("sort", sorted.error());
        const double sortS = timer.nsecsElapsed() / 1e9;

        timer.restart();
        const auto exported = exportCsvFile(*rs, csv, CsvOptions{true});
        if (!exported)
            return Fail("export", exported.error());
        const double exportS = timer.nsecsElapsed() / 1e9;
        (void)rs->close();
        rs.reset();

        const QByteArray hash = FileHash(csv);
        QFile::remove(csv);
        const double peak = statusMb("VmHWM:");
        if (round == 1) {
            firstHash = hash;
            firstPeak = peak;
        }
        lastPeak = peak;
        maxPeak = std::max(maxPeak, peak);
        identical = identical && !hash.isEmpty() && hash == firstHash;
        std::printf("round %d: load_s %.2f sort_s %.2f export_s %.2f peak_rss_mb %.1f rss_mb %.1f sha256 %s\n", round,
                    loadS, sortS, exportS, peak, statusMb("VmRSS:"), hash.constData());
        std::fflush(stdout);
    }
    std::printf("rounds: %d\n", rounds);
    std::printf("peak_rss_mb_first: %.1f\n", firstPeak);
    std::printf("peak_rss_mb_last: %.1f\n", lastPeak);
    std::printf("peak_rss_mb_max: %.1f\n", maxPeak);
    std::printf("exports_identical: %s\n", identical ? "yes" : "no");
    return identical ? 0 : 1;
}
