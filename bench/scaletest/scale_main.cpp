// One step of the scale run: loads a table as the window does, with its progress dialog over
// a shown window (offscreen), sorts it by its first text column and exports it as CSV. Prints
// "name: value": rows, load_s, sort_s, export_s, export_null_s (the same export written to
// /dev/null: the program's part of it, without the disk), csv_mb, base_rss_mb (this process, the
// window's, before the load), peak_rss_mb (after load, sort and export), table_peak_mb (what
// the table added at its peak), memory_csv_ratio (that over the CSV's size), and of the
// progress callback: progress_calls, progress_max_gap_ms (the longest the
// window's thread went without it), progress_final_step (of the dialog's 1000) and
// dialog_shown.
//   scale_main FILE TABLE OUT_CSV

#include "common/ProcessStatus.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "export/CsvFileExport.h"
#include "shell/LoadProgressDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>
#include <cstdio>

namespace {

using namespace varnex;

using bench::statusMb;

double PeakRssMb()
{
    return statusMb("VmHWM:");
}

double Seconds(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The progress callback as the window gives it, watched: how often it came and the longest
// stretch without it.
struct ProgressWatch {
    QElapsedTimer clock;
    qint64 lastMs = 0;
    qint64 maxGapMs = 0;
    int64_t calls = 0;
    int64_t lastRead = 0;
    int64_t lastCount = 0;

    LoadProgress around(LoadProgress inner)
    {
        clock.start();
        return [this, inner = std::move(inner)](int64_t read, int64_t count) {
            const qint64 now = clock.elapsed();
            maxGapMs = std::max(maxGapMs, now - lastMs);
            lastMs = now;
            ++calls;
            lastRead = read;
            lastCount = count;
            return inner(read, count);
        };
    }
};

int Fail(const char* what, const Error& error)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(error.description));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: scale_main FILE TABLE OUT_CSV\n");
        return 2;
    }
    const QString table = QString::fromUtf8(argv[2]);
    Connection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
    if (const Status opened = connection.open(QString::fromLocal8Bit(argv[1]), QStringLiteral("Admin"), {}); !opened)
        return Fail("open", opened.error());

    // The window the program shows before any load; its fixed costs are not the table's.
    QLabel window(QStringLiteral("Varnex"));
    window.resize(640, 400);
    window.show();
    QApplication::processEvents();
    const double baseMb = statusMb("VmRSS:");
    Recordset rs;
    ProgressWatch watch;
    bool dialogShown = false;
    QElapsedTimer clock;
    clock.start();
    {
        LoadProgressDialog dialog(&window, table, 500);
        if (const Status loaded = rs.open(table, &connection, watch.around(dialog.callback())); !loaded)
            return Fail("load", loaded.error());
        dialogShown = dialog.shown();
    }
    const double loadSeconds = Seconds(clock);
    const double loadPeakMb = PeakRssMb();

    QString sortKey = QLatin1Char('[') + rs.columnName(0) + QLatin1Char(']');
    for (int c = 0; c < rs.columnCount(); ++c) {
        if (rs.columnType(c) == FieldType::VarWChar) {
            sortKey = QLatin1Char('[') + rs.columnName(c) + QLatin1Char(']');
            break;
        }
    }
    clock.restart();
    if (const Status sorted = rs.setSort(sortKey); !sorted)
        return Fail("sort", sorted.error());
    const double sortSeconds = Seconds(clock);
    const double sortPeakMb = PeakRssMb();

    const QString out = QString::fromLocal8Bit(argv[3]);
    clock.restart();
    if (const auto exported = exportCsvFile(rs, out, CsvOptions{.includeHeader = true}); !exported)
        return Fail("export", exported.error());
    const double exportSeconds = Seconds(clock);
    clock.restart();
    if (const auto exported = exportCsvFile(rs, QStringLiteral("/dev/null"), CsvOptions{.includeHeader = true}); !exported)
        return Fail("export", exported.error());
    const double exportNullSeconds = Seconds(clock);

    const double csvMb = static_cast<double>(QFileInfo(out).size()) / 1048576.0;
    const double peakMb = PeakRssMb();
    std::printf("rows: %lld\n", static_cast<long long>(*rs.recordCount()));
    std::printf("load_s: %.3f\nsort_s: %.3f\nexport_s: %.3f\nexport_null_s: %.3f\n", loadSeconds, sortSeconds,
                exportSeconds, exportNullSeconds);
    std::printf("csv_mb: %.1f\nbase_rss_mb: %.1f\n", csvMb, baseMb);
    std::printf("peak_rss_mb: %.1f (load %.1f, sort %.1f)\n", peakMb, loadPeakMb, sortPeakMb);
    std::printf("table_peak_mb: %.1f\n", peakMb - baseMb);
    std::printf("memory_csv_ratio: %.3f\n", csvMb > 0 ? (peakMb - baseMb) / csvMb : 0.0);
    std::printf("progress_calls: %lld\nprogress_max_gap_ms: %lld\n", static_cast<long long>(watch.calls),
                static_cast<long long>(watch.maxGapMs));
    std::printf("progress_final_step: %lld\n",
                static_cast<long long>(watch.lastCount > 0 ? std::min(watch.lastRead, watch.lastCount) * 1000 / watch.lastCount : 0));
    std::printf("dialog_shown: %s\n", dialogShown ? "yes" : "no");
    return 0;
}
