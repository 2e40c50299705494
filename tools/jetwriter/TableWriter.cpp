#include "jetwriter/TableWriter.h"

namespace jetwriter {

TableWriter::TableWriter(const FormatInfo& info, PageFile& file, const TableLayout& layout, uint32_t definitionPage)
    : longValues_(info, file), encoder_(info, layout, longValues_), data_(info, file, definitionPage)
{
}

void TableWriter::add(const Row& row)
{
    data_.add(encoder_.encode(row));
    ++rows_;
}

void TableWriter::finish()
{
    data_.flush();
    longValues_.flush();
}

}  // namespace jetwriter
