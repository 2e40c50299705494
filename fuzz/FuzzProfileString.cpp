// Fuzz target: arbitrary bytes as Setup.ini. Reads the keys the program reads, then
// writes one and checks the profile functions' promises: the value written reads back,
// a key of another section keeps its value, and the file is still readable.
#include "core/ProfileString.h"

#include <QFile>
#include <QString>

#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Entry {
    const char* section;
    const char* key;
};

constexpr std::array<Entry, 6> kEntries = {{{"General", "LogDir"},
                                            {"DataConnection", "Path"},
                                            {"DataConnection", "User"},
                                            {"DataConnection", "Password"},
                                            {"DataConnection", "ConnectionString"},
                                            {"Export", "IncHeader"}}};

QString InputPath()
{
    static const QString path = [] {
        const char* dir = std::getenv("TMPDIR");
        return QString::fromLocal8Bit(dir && *dir ? dir : "/tmp") + QStringLiteral("/varnex-fuzz-ini-%1.ini").arg(getpid());
    }();
    return path;
}

void Fail(const char* what, const Entry& entry)
{
    std::fprintf(stderr, "varnex fuzz: %s ([%s] %s)\n", what, entry.section, entry.key);
    std::abort();
}

// A plain value: no blanks or quotes at its ends, no line breaks, within the read limit.
QString PlainValue(const uint8_t* data, size_t size)
{
    static const char kAlphabet[] = "abcXYZ019._-/";
    QString value = QStringLiteral("v");
    for (size_t i = 0; i < size && i < 40; ++i)
        value += QLatin1Char(kAlphabet[data[i] % (sizeof kAlphabet - 1)]);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = InputPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
            std::abort();
    }
    std::array<QString, kEntries.size()> before;
    for (size_t i = 0; i < kEntries.size(); ++i)
        before[i] = varnex::readProfileString(kEntries[i].section, kEntries[i].key, QStringLiteral("-"), path);

    // Which entry to write, and its value, come from the input's first bytes.
    const size_t target = size == 0 ? 0 : data[0] % kEntries.size();
    const QString value = PlainValue(data, size);
    const Entry& written = kEntries[target];
    if (!varnex::writeProfileString(written.section, written.key, value, path))
        Fail("cannot write", written);
    if (varnex::readProfileString(written.section, written.key, {}, path) != value)
        Fail("the value written does not read back", written);
    for (size_t i = 0; i < kEntries.size(); ++i) {
        const bool otherSection = QLatin1String(kEntries[i].section) != QLatin1String(written.section);
        if (otherSection && varnex::readProfileString(kEntries[i].section, kEntries[i].key, QStringLiteral("-"), path) != before[i])
            Fail("a key of another section changed", kEntries[i]);
    }
    return 0;
}
