#pragma once

#include "data/ReaderProcess.h"
#include "export/ExportProgress.h"

#include <QString>

#include <chrono>

namespace varnex::cli {

// Follows the read and the writing of one table: ends both early once an
// interruption is noted, and, where standard error is a terminal, keeps one
// line there up to date with the rows done, the total and the rate.
class TerminalProgress : public ExportProgress {
public:
    // quiet: no line at all (the records themselves go to the terminal).
    TerminalProgress(const QString& table, bool quiet);
    ~TerminalProgress() override;  // takes the line away
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    LoadProgress reading();
    bool keepGoing(int64_t recordsWritten, int64_t recordCount) override;

private:
    using Clock = std::chrono::steady_clock;
    bool follow(const char* phase, int64_t done, int64_t total);

    QString table_;
    bool shown_;
    const char* phase_ = nullptr;
    Clock::time_point phaseStart_;
    Clock::time_point lastLine_;
};

}  // namespace varnex::cli
