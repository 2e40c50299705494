#pragma once
// Writer-made databases damaged on purpose, and files read back whole.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

namespace varnex::test {

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// Overwrites every occurrence of the bytes in the file with as many zero bytes.
inline void zeroBytes(const QString& path, const QByteArray& bytes)
{
    QByteArray contents = readFile(path);
    for (qsizetype at = contents.indexOf(bytes); at >= 0; at = contents.indexOf(bytes, at))
        contents.replace(at, bytes.size(), QByteArray(bytes.size(), '\0'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

// The definition page of the table with a column of this name continues on itself. Returns the page.
inline uint32_t loopDefinition(const QString& path, const QString& column)
{
    constexpr qsizetype kPage = 4096;
    QByteArray contents = readFile(path);
    const QByteArray name(reinterpret_cast<const char*>(column.utf16()), column.size() * 2);
    for (qsizetype page = 1; page < contents.size() / kPage; ++page) {
        if (contents[page * kPage] == 2 && contents.mid(page * kPage, kPage).contains(name)) {
            const auto number = static_cast<uint32_t>(page);
            contents.replace(page * kPage + 4, 4, QByteArray(reinterpret_cast<const char*>(&number), 4));
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(contents);
            return number;
        }
    }
    ADD_FAILURE() << "no definition with " << column.toStdString();
    return 0;
}

}  // namespace varnex::test
