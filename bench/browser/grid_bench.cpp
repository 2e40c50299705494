// Times picking a large table in the main window until the grid has painted
// its first rows, and the peak memory then, beside loading the same table
// into a recordset alone; then typing into the find bar and copying every cell. Each mode runs in its own process so that the peak
// memory figures stay apart.
//
//   grid_bench make <file.mdb> [rows]   writes the database (default 1,000,000 rows)
//   grid_bench load <file.mdb>          the recordset alone
//   grid_bench grid <file.mdb>          the main window, then scrolling through the grid
//   grid_bench first <file.mdb> <table> from picking the table to its first rows in the grid's
//                                       model (first_rows_s) and to its last (window_load_s)

#include "app/AppSettings.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "jetwriter/JetWriter.h"
#include "shell/FindBar.h"
#include "shell/MainWindow.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using namespace varnex;

const QString kTable = QStringLiteral("Big Table");

long PeakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

int MakeDatabase(const char* file, int64_t rows)
{
    jetwriter::Table table;
    table.name = kTable.toStdString();
    table.columns = {{"ID", jetwriter::ColumnType::Long},
                     {"Name", jetwriter::ColumnType::Text, 40},
                     {"Amount", jetwriter::ColumnType::Double},
                     {"Placed", jetwriter::ColumnType::DateTime},
                     {"Paid", jetwriter::ColumnType::YesNo}};
    int64_t next = 0;
    table.rowSource = [&next, rows](jetwriter::Row& row) {
        if (next == rows)
            return false;
        row = {next, "customer " + std::to_string(next % 9973), static_cast<double>(next % 100000) / 7.0,
               jetwriter::DateValue{40000.0 + static_cast<double>(next % 3650)}, next % 3 == 0};
        ++next;
        return true;
    };
    jetwriter::Database database;
    database.tables.push_back(std::move(table));
    jetwriter::writeDatabase(database, file);
    std::printf("wrote %lld rows to %s\n", static_cast<long long>(rows), file);
    return 0;
}

bool OpenConnection(const QString& file)
{
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
    if (Status opened = connection->open(file, QStringLiteral("Admin"), QString()); !opened) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(opened.error().description));
        return false;
    }
    appSettings().dataPath = file;
    appSettings().connection = connection;
    return true;
}

int LoadOnly()
{
    const long rssBefore = PeakRssKb();
    QElapsedTimer timer;
    timer.start();
    Recordset recordset;
    if (Status opened = recordset.open(kTable, appSettings().connection.get());
        !opened) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(opened.error().description));
        return 1;
    }
    const qint64 ms = timer.elapsed();
    std::printf("load only: %lld rows in %lld ms, peak RSS %ld kB (before the load %ld kB)\n",
                static_cast<long long>(recordset.recordCount().ok() ? *recordset.recordCount() : -1),
                static_cast<long long>(ms), PeakRssKb(), rssBefore);
    return 0;
}

// How long the window's event loop went without turning while work ran: a timer
// due every few milliseconds notes the longest gap between its turns.
class StallWatch {
public:
    StallWatch()
    {
        ticker_.setInterval(5);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, since_.restart());
        });
        since_.start();
        ticker_.start();
    }
    qint64 longestMs() const { return longest_; }

private:
    QTimer ticker_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

// Runs the event loop until the grid's background work is done.
void WaitForGrid(const DataGrid& grid)
{
    while (grid.isBusy() || grid.isCopying())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Typing into the find bar and copying every cell, as a user would, with the
// longest time the window did not answer meanwhile.
void WindowWork(MainWindow& window)
{
    DataGrid& grid = *window.grid;
    WaitForGrid(grid);  // the profile of the rows that the filter uses
    const QString typed = QStringLiteral("customer 99");
    QElapsedTimer timer;
    qint64 first = 0;
    qint64 slowest = 0;
    StallWatch filterStalls;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        timer.restart();
        window.findBar->edit->setText(typed.left(length));
        WaitForGrid(grid);
        const qint64 took = timer.elapsed();
        if (length == 1)
            first = took;
        else
            slowest = std::max(slowest, took);
    }
    std::printf("find bar: first keystroke %lld ms, slowest further one %lld ms, %d rows left, window unanswered "
                "at most %lld ms\n",
                static_cast<long long>(first), static_cast<long long>(slowest), grid.model()->rowCount(),
                static_cast<long long>(filterStalls.longestMs()));
    window.findBar->edit->clear();

    StallWatch copyStalls;
    grid.selectAll();
    timer.restart();
    grid.copySelection();
    WaitForGrid(grid);
    const qint64 copyMs = timer.elapsed();
    const long copyPeak = PeakRssKb();
    const qsizetype bytes = QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")).size();
    std::printf("copy of every cell: %lld ms, %lld bytes, peak RSS %ld kB, window unanswered at most %lld ms\n",
                static_cast<long long>(copyMs), static_cast<long long>(bytes), copyPeak,
                static_cast<long long>(copyStalls.longestMs()));
    grid.clearSelection();
}

// The main window with its table list filled, shown; false where the list cannot be read.
bool ShowWindow(MainWindow& window)
{
    window.setLoadProgressDelay(60 * 60 * 1000);  // measure the load, not the dialog
    if (Status loaded = window.fillTableList(); !loaded)
        return false;
    window.show();
    QApplication::processEvents();
    return true;
}

int PickInWindow()
{
    MainWindow window;
    if (!ShowWindow(window))
        return 1;
    const long rssBefore = PeakRssKb();

    QElapsedTimer timer;
    timer.start();
    const int index = window.tableList->findText(kTable);
    window.tableList->setCurrentIndex(index);
    emit window.tableList->activated(index);
    window.grid->viewport()->repaint();  // the first rows on screen
    const qint64 shownMs = timer.elapsed();
    const long rssShown = PeakRssKb();
    std::printf("pick to first rows: %lld ms, %d rows, peak RSS %ld kB (window alone %ld kB)\n",
                static_cast<long long>(shownMs), window.grid->model()->rowCount(), rssShown, rssBefore);

    // Page through the grid: the model reads cells on demand and keeps nothing per row.
    QScrollBar* bar = window.grid->verticalScrollBar();
    timer.restart();
    const int pages = 2000;
    for (int page = 0; page < pages; ++page) {
        bar->setValue(static_cast<int>(static_cast<int64_t>(bar->maximum()) * page / pages));
        window.grid->viewport()->repaint();
    }
    std::printf("scrolling: %d screenfuls in %lld ms (%.2f ms each), peak RSS %ld kB\n", pages,
                static_cast<long long>(timer.elapsed()), static_cast<double>(timer.elapsed()) / pages, PeakRssKb());

    WindowWork(window);

    // The grid's own share: binding a recordset that is already loaded and painting it.
    window.grid->setRecordset(nullptr);
    auto loaded = std::make_shared<Recordset>();
    timer.restart();
    if (!loaded->open(kTable, appSettings().connection.get()).ok())
        return 1;
    std::printf("the same load alone in this process: %lld ms\n", static_cast<long long>(timer.elapsed()));
    timer.restart();
    window.grid->setRecordset(loaded);
    window.grid->viewport()->repaint();
    std::printf("bind and first paint of a loaded recordset: %lld ms\n", static_cast<long long>(timer.elapsed()));
    return 0;
}

// The table picked as a user picks it: the time until the grid's model first holds rows,
// through the window's own load path, and until the load is done.
int FirstRows(const QString& table)
{
    MainWindow window;
    if (!ShowWindow(window))
        return 1;
    QElapsedTimer timer;
    qint64 firstRowsNs = -1;
    QAbstractItemModel* model = window.grid->model();
    const auto noteFirstRows = [&] {
        if (firstRowsNs < 0 && model->rowCount() > 0)
            firstRowsNs = timer.nsecsElapsed();
    };
    QObject::connect(model, &QAbstractItemModel::modelReset, noteFirstRows);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, noteFirstRows);
    const int index = window.tableList->findText(table);
    if (index < 0) {
        std::fprintf(stderr, "no table %s\n", qPrintable(table));
        return 1;
    }
    timer.start();
    window.tableList->setCurrentIndex(index);
    emit window.tableList->activated(index);
    const qint64 loadedNs = timer.nsecsElapsed();
    std::printf("first_rows_s: %.3f\nwindow_load_s: %.3f\nwindow_rows: %d\n", static_cast<double>(firstRowsNs) / 1e9,
                static_cast<double>(loadedNs) / 1e9, model->rowCount());
    return firstRowsNs < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s make|load|grid|first <file.mdb> [rows|table]\n", argv[0]);
        return 2;
    }
    if (std::strcmp(argv[1], "make") == 0)
        return MakeDatabase(argv[2], argc > 3 ? std::stoll(argv[3]) : 1000000);

    QApplication app(argc, argv);
    if (!OpenConnection(QString::fromLocal8Bit(argv[2])))
        return 1;
    const int result = std::strcmp(argv[1], "load") == 0    ? LoadOnly()
                       : std::strcmp(argv[1], "first") == 0 ? FirstRows(QString::fromUtf8(argc > 3 ? argv[3] : ""))
                                                            : PickInWindow();
    (void)appSettings().connection->close();
    appSettings().connection.reset();
    return result;
}
