// Times the reader's walk over one table's pages, each row cracked and no value decoded,
// in this process: the part of a load that libmdb does and nothing here can go below.
//   walk_bench FILE TABLE
// Prints "walk_s: <seconds>" and "walk_rows: <rows>".

#include "reader/JetReader.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: walk_bench FILE TABLE\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    auto reader = varnex::reader::JetReader::open(QString::fromLocal8Bit(argv[1]));
    if (!reader) {
        std::fprintf(stderr, "%s\n", qPrintable(reader.error().description));
        return 1;
    }
    const varnex::Result<int64_t> rows = (*reader)->walkTable(QString::fromUtf8(argv[2]));
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (!rows) {
        std::fprintf(stderr, "%s\n", qPrintable(rows.error().description));
        return 1;
    }
    std::printf("walk_s: %.3f\nwalk_rows: %lld\n", seconds, static_cast<long long>(*rows));
    return 0;
}
