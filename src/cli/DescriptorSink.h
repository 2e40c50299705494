#pragma once

#include "export/CsvSink.h"

#include <QString>

namespace varnex::cli {

// Writes straight to an open file descriptor (standard output), without a
// buffer of its own: the writer hands over large blocks.
class DescriptorSink : public CsvSink {
public:
    DescriptorSink(int fd, const QString& name) : fd_(fd), name_(name) {}

    // A failure describes itself as "NAME: <cause>".
    Status write(std::string_view bytes) override;
    // True once a write found the reading end of a pipe closed.
    bool pipeClosed() const { return pipeClosed_; }

private:
    int fd_;
    QString name_;
    bool pipeClosed_ = false;
};

}  // namespace varnex::cli
