#pragma once

#include "core/Error.h"
#include "core/OutputFile.h"
#include "export/CsvSink.h"

#include <QString>

namespace varnex {

// Writes the CSV to a file (core/OutputFile.h): a regular file is replaced only on commit(),
// so an unfinished export leaves neither a partial file nor a damaged older one; a device or
// a FIFO is written where it is.
class CsvFileSink : public CsvSink {
public:
    explicit CsvFileSink(const QString& finalName) : file_(finalName) {}

    Status open() { return file_.open(); }
    Status write(std::string_view bytes) override { return file_.write(bytes); }
    Status commit() { return file_.commit(); }

private:
    OutputFile file_;  // discards what was not committed
};

}  // namespace varnex
