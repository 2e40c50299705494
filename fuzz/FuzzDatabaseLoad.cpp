// Fuzz target: arbitrary bytes as an Access file, read the way the program reads it,
// but in this process: the header page, the table list, then every table in turn,
// each through a reader of its own as the program's reader process does.
#include "data/TableData.h"
#include "reader/JetReader.h"
#include "reader/TableSink.h"

#include <QFile>
#include <QString>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using varnex::reader::CollectingSink;
using varnex::reader::JetReader;

// More tables than any seed holds; bounds the time of one input.
constexpr int64_t kMaxTablesPerInput = 40;

QString InputPath()
{
    static const QString path = [] {
        const char* dir = std::getenv("TMPDIR");
        return QString::fromLocal8Bit(dir && *dir ? dir : "/tmp") + QStringLiteral("/varnex-fuzz-db-%1.mdb").arg(getpid());
    }();
    return path;
}

bool WriteInput(const uint8_t* data, size_t size)
{
    QFile file(InputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size);
}

void ReadEveryTable(const QString& path)
{
    auto lister = JetReader::open(path);
    if (!lister)
        return;
    CollectingSink catalogue;
    if (!(*lister)->readCatalogue(catalogue))
        return;
    lister->reset();
    const varnex::TableData& names = catalogue.table();
    for (int64_t row = 0; row < names.rowCount() && row < kMaxTablesPerInput; ++row) {
        const std::string_view utf8 = names.bytesValue(row, varnex::reader::kSchemaNameColumn);
        const QString name = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        auto reader = JetReader::open(path);
        if (!reader)
            return;
        CollectingSink sink;
        (void)(*reader)->readTable(QLatin1Char('[') + name + QLatin1Char(']'), sink);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteInput(data, size)) {
        std::perror("varnex fuzz: cannot write the input file");
        std::abort();
    }
    ReadEveryTable(InputPath());
    return 0;
}
