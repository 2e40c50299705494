#pragma once
// Writes a database into a temporary folder and reads it back through libmdb.

#include "MdbFile.h"
#include "jetwriter/JetWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace jetwriter::test {

inline std::string formatName(Format format) { return format == Format::Jet3 ? "Jet3" : "Jet4"; }

class WriterTest : public ::testing::Test {
protected:
    std::string write(const Database& database, const std::string& name = "test.mdb")
    {
        const std::string path = dir_.file(QString::fromStdString(name)).toStdString();
        writeDatabase(database, path);
        return path;
    }

    // Writes and opens; the file must open.
    std::unique_ptr<MdbFile> writeAndOpen(const Database& database, size_t bindSize = 64 * 1024)
    {
        auto file = std::make_unique<MdbFile>(write(database), bindSize);
        EXPECT_TRUE(file->isOpen());
        return file;
    }

    varnex::test::TempDir dir_;
};

inline Database singleTable(Format format, Table table)
{
    Database database;
    database.format = format;
    database.created = 45000.25;
    database.tables.push_back(std::move(table));
    return database;
}

}  // namespace jetwriter::test
