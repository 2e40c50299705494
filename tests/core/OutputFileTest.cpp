// A file written under a temporary name and put in place on commit: many MiB written in pieces
// of every size (the disk is asked to write them as they come) arrive whole, and until the
// commit the older file stays as it was.

#include "core/OutputFile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace varnex {
namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Bytes that differ from piece to piece, so that a piece lost, doubled or moved shows.
std::string piece(size_t index, size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (index * 7 + i) % 26);
    return bytes;
}

TEST(OutputFile, ManyMegabytesInPiecesReplaceTheOldFileOnlyOnCommit)
{
    const struct {
        const char* name;
        std::vector<size_t> pieceSizes;  // repeated until total
        size_t total;
        bool committed;
    } cases[] = {
        {"small pieces past several hand-overs to the disk", {4093, 1, 65536, 777}, size_t{27} << 20, true},
        {"one piece larger than a hand-over", {size_t{9} << 20, 100}, size_t{20} << 20, true},
        {"given up part way", {1 << 20}, size_t{17} << 20, false},
        {"nothing", {}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const QString path = dir.file(QStringLiteral("out.csv"));
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("older content\n");
        }
        QByteArray expected;
        {
            OutputFile file(path);
            ASSERT_TRUE(file.open());
            for (size_t index = 0; expected.size() < static_cast<qsizetype>(c.total); ++index) {
                const size_t size = std::min(c.pieceSizes[index % c.pieceSizes.size()], c.total - static_cast<size_t>(expected.size()));
                const std::string bytes = piece(index, size);
                ASSERT_TRUE(file.write(bytes));
                expected.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
            }
            EXPECT_EQ(contentOf(path), "older content\n");
            if (c.committed) {
                ASSERT_TRUE(file.commit());
            }
        }
        const QByteArray written = contentOf(path);
        const QByteArray wanted = c.committed ? expected : QByteArray("older content\n");
        EXPECT_EQ(written.size(), wanted.size());
        EXPECT_TRUE(written == wanted) << "the file's bytes differ from those written";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.csv")});
    }
}

}  // namespace
}  // namespace varnex
