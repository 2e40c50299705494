// Fuzz target: arbitrary bytes as an Access file, read the way the program reads it,
// but in this process: the header page, the table list, then every table in turn,
// each through a reader of its own as the program's reader process does; then the
// schema and the values of each complex column it names. Encrypted
// and encoded files are decoded with the password the seeds were written with.
#include "crypto/EncryptionHeader.h"
#include "store/JetHeader.h"
#include "store/SchemaRows.h"
#include "store/TableData.h"
#include "reader/JetReader.h"
#include "reader/TableSink.h"

#include <QFile>
#include <QString>

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using varnex::reader::CollectingSink;
using varnex::reader::JetReader;

// More tables than any seed holds; bounds the time of one input.
constexpr int64_t kMaxTablesPerInput = 40;
// The password of the encrypted seeds (see MakeSeeds.cpp).
const QString kSeedPassword = QStringLiteral("fuzz");
// The crypto library allows up to ten million hash rounds before it calls a header damaged; that many
// take seconds of plain hashing, past the fuzzer's time limit, with nothing to find in them.
constexpr uint32_t kMaxSpinCount = 20000;

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

bool HashesTooLongToFuzz(const uint8_t* data, size_t size)
{
    const auto header = varnex::parseJetHeader(QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                                       static_cast<qsizetype>(std::min<size_t>(size, 4096))));
    if (!header || header->firstPage.isEmpty())
        return false;
    const auto encryption = varnex::crypto::readEncryptionHeader(
        std::span(reinterpret_cast<const uint8_t*>(header->firstPage.constData()), static_cast<size_t>(header->firstPage.size())));
    return encryption && encryption->agile && encryption->agile->passwordKey.spinCount > kMaxSpinCount;
}

void ReadEveryTable(const QString& path)
{
    auto lister = JetReader::open(path, kSeedPassword);
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
        auto reader = JetReader::open(path, kSeedPassword);
        if (!reader)
            return;
        CollectingSink sink;
        (void)(*reader)->readTable(QLatin1Char('[') + name + QLatin1Char(']'), sink);
    }
}

// The schema, then the values of each complex column it names, each through a reader of its own.
void ReadSchemaAndComplexValues(const QString& path)
{
    auto reader = JetReader::open(path, kSeedPassword);
    if (!reader)
        return;
    CollectingSink rows;
    if (!(*reader)->readSchema(rows))
        return;
    const auto schema = varnex::schemaFromRows(rows.table());
    if (!schema)
        std::abort();  // the reader's own rows always make a schema
    int64_t tables = 0;
    for (const varnex::SchemaTable& table : schema->tables) {
        if (++tables > kMaxTablesPerInput)
            return;
        for (const varnex::SchemaColumn& column : table.columns) {
            if (column.values == varnex::ValuesKind::None)
                continue;
            auto values = JetReader::open(path, kSeedPassword);
            if (!values)
                return;
            CollectingSink sink;
            (void)(*values)->readComplexValues(QLatin1Char('[') + table.name + QLatin1Char(']'), column.info.name, sink);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (HashesTooLongToFuzz(data, size))
        return 0;
    if (!WriteInput(data, size)) {
        std::perror("varnex fuzz: cannot write the input file");
        std::abort();
    }
    ReadEveryTable(InputPath());
    ReadSchemaAndComplexValues(InputPath());
    return 0;
}
