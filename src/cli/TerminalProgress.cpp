#include "TerminalProgress.h"

#include "Interruption.h"
#include "TerminalLine.h"

#include <unistd.h>

namespace varnex::cli {
namespace {

constexpr std::chrono::milliseconds kLineInterval{200};

}  // namespace

TerminalProgress::TerminalProgress(const QString& table, bool quiet)
    : table_(table), shown_(!quiet && isatty(STDERR_FILENO) == 1)
{
}

TerminalProgress::~TerminalProgress()
{
    takeTerminalLineAway();
}

LoadProgress TerminalProgress::reading()
{
    return [this](int64_t rowsRead, int64_t rowCount) { return follow("reading", rowsRead, rowCount); };
}

bool TerminalProgress::keepGoing(int64_t recordsWritten, int64_t recordCount)
{
    return follow("writing", recordsWritten, recordCount);
}

bool TerminalProgress::follow(const char* phase, int64_t done, int64_t total)
{
    if (interrupted())
        return false;
    if (!shown_)
        return true;
    const Clock::time_point now = Clock::now();
    if (phase != phase_) {
        phase_ = phase;
        phaseStart_ = now;
    } else if (now - lastLine_ < kLineInterval) {
        return true;
    }
    lastLine_ = now;
    const double seconds = std::chrono::duration<double>(now - phaseStart_).count();
    const QString rate = seconds > 0.05 ? QStringLiteral(", %1 rows/s").arg(qRound64(static_cast<double>(done) / seconds))
                                        : QString();
    showTerminalLine(QStringLiteral("%1: %2 %3 of %4 rows%5")
                         .arg(table_, QLatin1StringView(phase), QString::number(done), QString::number(total), rate));
    return true;
}

}  // namespace varnex::cli
