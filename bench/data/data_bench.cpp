// Loads one table into a recordset as the program does, sorts it by its first
// integer and its first text column and filters it as the find bar does,
// printing "name: value" lines (load_cpu_s: the processor time of the load, of
// this process and of the reader it ran, all threads):
//   data_bench FILE TABLE [VALUES_OUT]
// VALUES_OUT receives the first text column's values, NUL-separated, for a
// comparison with GNU sort. With VARNEX_BENCH_LOAD_ONLY set in the environment it
// stops after the load's figures, for a profile of the load alone.

#include "data/ColumnTextProfile.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "store/TableData.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <numeric>
#include <vector>
#include <fstream>
#include <string>

namespace {

using namespace varnex;

double PeakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

int LastColumn(const Recordset& rs, FieldType type)
{
    for (int c = rs.columnCount() - 1; c >= 0; --c) {
        if (rs.columnType(c) == type)
            return c;
    }
    return -1;
}

int FirstColumn(const Recordset& rs, std::initializer_list<FieldType> types)
{
    for (int c = 0; c < rs.columnCount(); ++c) {
        for (FieldType type : types) {
            if (rs.columnType(c) == type)
                return c;
        }
    }
    return -1;
}

// Processor time of every thread of the process so far.
double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Processor time of this process and of its waited-for children (the reader), in seconds.
double ProcessAndChildrenCpuSeconds()
{
    auto seconds = [](const rusage& usage) {
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self) + seconds(children);
}

struct Timing {
    double wall = 0;
    double cpu = 0;  // of every thread
};

// Wall and processor time (of every thread) of a sort by one column.
Timing TimedSort(Recordset& rs, int column)
{
    if (column < 0)
        return {};
    (void)rs.setSort("");
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = ProcessCpuSeconds();
    const Status status = rs.setSort("[" + rs.columnName(column) + "]");
    const Timing timing{static_cast<double>(timer.nsecsElapsed()) / 1e9, ProcessCpuSeconds() - cpuBefore};
    if (!status.ok())
        std::fprintf(stderr, "sort failed: %s\n", qPrintable(status.error().description));
    return timing;
}

Timing TimedFilter(Recordset& rs, const QString& text, const std::vector<int>& columns)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = ProcessCpuSeconds();
    const Status status = rs.setFilter(text, columns);
    const Timing timing{static_cast<double>(timer.nsecsElapsed()) / 1e9, ProcessCpuSeconds() - cpuBefore};
    if (!status.ok())
        std::fprintf(stderr, "filter failed: %s\n", qPrintable(status.error().description));
    return timing;
}

void PrintTiming(const char* name, const Timing& timing)
{
    std::printf("%s_s: %.4f\n%s_cpu_s: %.4f\n", name, timing.wall, name, timing.cpu);
}

// What the grid gathers in the background after a load: the texts of the shown
// columns, profiled for column widths and for the filter.
void ProfileColumns(Recordset& rs, const std::vector<int>& columns)
{
    QElapsedTimer timer;
    timer.start();
    auto profiles = profileColumnTexts(rs.loadedRows(), ValueFormatter::forDefaultLocale(), columns);
    std::printf("profile_s: %.4f\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
    if (profiles)
        rs.setTextProfiles(std::make_shared<const ColumnTextProfiles>(std::move(*profiles)));
}

// A user typing a value of the table into the find bar over every column: the
// first character looks at every row, each further one at the rows left (the
// slowest of those is printed); then a text that no row holds, for which every
// cell is read. Processor time beside each, as the machine may be shared.
void PrintFilterFigures(Recordset& rs, int textColumn)
{
    std::vector<int> columns(static_cast<size_t>(rs.columnCount()));
    std::iota(columns.begin(), columns.end(), 0);
    ProfileColumns(rs, columns);
    const int64_t rows = *rs.recordCount();
    const QString value = rows > 0 ? rs.cellText(rows * 2 / 3, textColumn >= 0 ? textColumn : 0) : QString();
    const QString typed = value.trimmed().left(6).isEmpty() ? QStringLiteral("7") : value.trimmed().left(6);
    std::printf("filter_text: %s\n", typed.toUtf8().constData());
    PrintTiming("filter", TimedFilter(rs, typed.left(1), columns));
    std::printf("filter_first_rows: %lld\n", static_cast<long long>(*rs.recordCount()));
    Timing slowest;
    for (qsizetype length = 2; length <= typed.size(); ++length) {
        const Timing timing = TimedFilter(rs, typed.left(length), columns);
        if (timing.wall > slowest.wall)
            slowest = timing;
    }
    PrintTiming("filter_narrow", slowest);
    std::printf("filter_rows: %lld\n", static_cast<long long>(*rs.recordCount()));
    (void)rs.setFilter(QString(), columns);
    PrintTiming("filter_miss", TimedFilter(rs, QStringLiteral("#~no such text~#"), columns));
    (void)rs.setFilter(QString(), columns);
}

void WriteValues(const Recordset& rs, int column, const char* path)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return;
    std::string buffer;
    for (int64_t position = 0; position < *rs.recordCount(); ++position) {
        rs.appendCellTextUtf8(position, column, buffer);
        buffer.push_back('\0');
        if (buffer.size() > (1u << 20)) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    if (argc < 3) {
        std::fprintf(stderr, "usage: data_bench FILE TABLE [VALUES_OUT]\n");
        return 2;
    }
    Connection connection;
    connection.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0");
    if (const Status opened = connection.open(QString::fromLocal8Bit(argv[1]), "Admin", ""); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error().description));
        return 1;
    }
    Recordset rs;
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = ProcessAndChildrenCpuSeconds();
    const Status loaded = rs.open(QString::fromUtf8(argv[2]), &connection);
    const double loadSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double loadCpuSeconds = ProcessAndChildrenCpuSeconds() - cpuBefore;
    if (!loaded) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.error().description));
        return 1;
    }
    const double peak = PeakRssMb();

    const int integerColumn = FirstColumn(rs, {FieldType::Integer, FieldType::SmallInt, FieldType::UnsignedTinyInt, FieldType::BigInt});
    const int textColumn = FirstColumn(rs, {FieldType::VarWChar, FieldType::LongVarWChar});
    std::printf("rows: %lld\n", static_cast<long long>(*rs.recordCount()));
    std::printf("load_s: %.3f\n", loadSeconds);
    std::printf("load_cpu_s: %.3f\n", loadCpuSeconds);
    std::printf("peak_rss_mb: %.1f\n", peak);
    std::printf("table_mb: %.1f\n", static_cast<double>(rs.loadedRows()->byteSize()) / 1048576.0);
    // For a profile of the load alone.
    if (std::getenv("VARNEX_BENCH_LOAD_ONLY"))
        return 0;
    std::printf("sort_long_s: %.4f\n", TimedSort(rs, integerColumn).wall);
    // The best of three, as GNU sort's time beside it: one sort takes a tenth of a second, about
    // what another process on the machine may take from it.
    Timing textSort = TimedSort(rs, textColumn);
    for (int again = 1; again < 3; ++again) {
        const Timing next = TimedSort(rs, textColumn);
        if (next.wall < textSort.wall)
            textSort = next;
    }
    std::printf("sort_text_s: %.4f\nsort_text_cpu_s: %.4f\n", textSort.wall, textSort.cpu);
    // The first integer column is often a key already in order; the last Long one usually is not.
    const int lastLong = LastColumn(rs, FieldType::Integer);
    if (lastLong >= 0 && lastLong != integerColumn)
        std::printf("sort_last_long_s: %.4f\n", TimedSort(rs, lastLong).wall);
    (void)rs.setSort("");
    PrintFilterFigures(rs, textColumn);
    if (argc > 3 && textColumn >= 0) {
        (void)rs.setSort("");
        WriteValues(rs, textColumn, argv[3]);
    }
    return 0;
}
