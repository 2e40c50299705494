#pragma once
// Reads a database back through libmdb, the reader the writer's files must satisfy.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace jetwriter::test {

struct ReadColumn {
    std::string name;
    int type = 0;
    int size = 0;
    int precision = 0;
    int scale = 0;
};

// Cells as libmdb renders them (UTF-8; dates "YYYY-MM-DD HH:MM:SS"); nullopt for Null.
// libmdb cannot tell Null from empty text, so empty text reads as nullopt too.
using ReadRow = std::vector<std::optional<std::string>>;

struct ReadTable {
    std::vector<ReadColumn> columns;
    unsigned declaredRows = 0;     // the row count in the table definition
    std::vector<ReadRow> rows;
};

class MdbFile {
public:
    explicit MdbFile(const std::string& path, size_t bindSize = 64 * 1024);
    ~MdbFile();
    MdbFile(const MdbFile&) = delete;
    MdbFile& operator=(const MdbFile&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    std::vector<std::string> tables(bool system) const;
    ReadTable read(const std::string& table) const;

private:
    void* handle_ = nullptr;   // MdbHandle*, kept out of this header
    size_t bindSize_;
};

// Runs a command and returns its standard output ("" when it fails to start).
std::string commandOutput(const std::string& command);

}  // namespace jetwriter::test
