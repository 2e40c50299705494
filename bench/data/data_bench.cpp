// Loads one table into a recordset as the program does and sorts it by its first
// integer and its first text column, printing "name: value" lines:
//   data_bench FILE TABLE [VALUES_OUT]
// VALUES_OUT receives the first text column's values, NUL-separated, for a
// comparison with GNU sort.

#include "data/Connection.h"
#include "data/FieldTypes.h"
#include "data/Recordset.h"

#include <QElapsedTimer>
#include <QFile>

#include <clocale>
#include <cstdio>
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

int LastColumn(const Recordset& rs, int16_t type)
{
    for (int c = rs.columnCount() - 1; c >= 0; --c) {
        if (rs.columnType(c) == type)
            return c;
    }
    return -1;
}

int FirstColumn(const Recordset& rs, std::initializer_list<int16_t> types)
{
    for (int c = 0; c < rs.columnCount(); ++c) {
        for (int16_t type : types) {
            if (rs.columnType(c) == type)
                return c;
        }
    }
    return -1;
}

double TimedSort(Recordset& rs, int column)
{
    if (column < 0)
        return 0;
    (void)rs.setSort("");
    QElapsedTimer timer;
    timer.start();
    const Status status = rs.setSort("[" + rs.columnName(column) + "]");
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!status.ok())
        std::fprintf(stderr, "sort failed: %s\n", qPrintable(status.error().description));
    return seconds;
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
    const Status loaded = rs.open(QString::fromUtf8(argv[2]), &connection);
    const double loadSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!loaded) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.error().description));
        return 1;
    }
    rs.disconnect();
    const double peak = PeakRssMb();

    const int integerColumn = FirstColumn(rs, {fieldtype::Integer, fieldtype::SmallInt, fieldtype::UnsignedTinyInt, fieldtype::BigInt});
    const int textColumn = FirstColumn(rs, {fieldtype::VarWChar, fieldtype::LongVarWChar});
    std::printf("rows: %lld\n", static_cast<long long>(*rs.recordCount()));
    std::printf("load_s: %.3f\n", loadSeconds);
    std::printf("peak_rss_mb: %.1f\n", peak);
    std::printf("sort_long_s: %.4f\n", TimedSort(rs, integerColumn));
    std::printf("sort_text_s: %.4f\n", TimedSort(rs, textColumn));
    // The first integer column is often a key already in order; the last Long one usually is not.
    const int lastLong = LastColumn(rs, fieldtype::Integer);
    if (lastLong >= 0 && lastLong != integerColumn)
        std::printf("sort_last_long_s: %.4f\n", TimedSort(rs, lastLong));
    if (argc > 3 && textColumn >= 0) {
        (void)rs.setSort("");
        WriteValues(rs, textColumn, argv[3]);
    }
    return 0;
}
