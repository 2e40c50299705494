#pragma once

#include <cstdint>

namespace varnex {

// Told now and then how far an export has come; returning false cancels it.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual bool keepGoing(int64_t recordsWritten, int64_t recordCount) = 0;
};

}  // namespace varnex
