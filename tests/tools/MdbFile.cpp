#include "MdbFile.h"

#include <mdbtools.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace jetwriter::test {
namespace {

std::string hex(const unsigned char* data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xF];
    }
    return out;
}

MdbHandle* mdb(void* handle) { return static_cast<MdbHandle*>(handle); }

}  // namespace

MdbFile::MdbFile(const std::string& path, size_t bindSize) : bindSize_(bindSize)
{
    handle_ = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!handle_)
        return;
    mdb_set_bind_size(mdb(handle_), bindSize);
    mdb_set_date_fmt(mdb(handle_), "%Y-%m-%d %H:%M:%S");
    if (!mdb_read_catalog(mdb(handle_), MDB_TABLE)) {
        mdb_close(mdb(handle_));
        handle_ = nullptr;
    }
}

MdbFile::~MdbFile()
{
    if (handle_)
        mdb_close(mdb(handle_));
}

std::vector<std::string> MdbFile::tables(bool system) const
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < mdb(handle_)->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb(handle_)->catalog, i));
        if (entry->object_type == MDB_TABLE && (mdb_is_system_table(entry) != 0) == system)
            names.emplace_back(entry->object_name);
    }
    return names;
}

ReadTable MdbFile::read(const std::string& name) const
{
    std::string mutableName = name;
    MdbTableDef* table = mdb_read_table_by_name(mdb(handle_), mutableName.data(), MDB_TABLE);
    if (!table)
        throw std::runtime_error("libmdb cannot open table " + name);
    std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> owner(table, mdb_free_tabledef);
    mdb_read_columns(table);
    mdb_rewind_table(table);
    ReadTable result;
    result.declaredRows = table->num_rows;
    const unsigned count = table->num_cols;
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<int> lengths(count, 0);
    for (unsigned i = 0; i < count; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        result.columns.push_back({column->name, column->col_type, column->col_size, column->col_prec, column->col_scale});
        buffers.push_back(std::make_unique<char[]>(bindSize_));
        mdb_bind_column(table, static_cast<int>(i + 1), buffers.back().get(), &lengths[i]);
    }
    while (mdb_fetch_row(table)) {
        ReadRow row;
        for (unsigned i = 0; i < count; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            if (lengths[i] == 0) {
                row.emplace_back();
            } else if (column->col_type == MDB_OLE) {
                size_t size = 0;
                void* data = mdb_ole_read_full(mdb(handle_), column, &size);
                row.emplace_back(hex(static_cast<unsigned char*>(data), size));
                free(data);
            } else {
                row.emplace_back(std::string(buffers[i].get()));
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

}  // namespace jetwriter::test
