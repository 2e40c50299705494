#pragma once

#include "core/Error.h"

#include <string_view>

namespace varnex {

// Where the CSV writer puts its bytes; it hands them over in large chunks.
class CsvSink {
public:
    virtual ~CsvSink() = default;
    virtual Status write(std::string_view bytes) = 0;
};

}  // namespace varnex
