#include "TerminalProgress.h"

#include "Interruption.h"

#include <cstdio>

#include <unistd.h>

namespace varnex::cli {
namespace {

constexpr std::chrono::milliseconds kLineInterval{200};

void writeToTerminal(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

TerminalProgress::TerminalProgress(const QString& table) : table_(table), shown_(isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress()
{
    if (shown_ && phase_)
        writeToTerminal("\r\033[K");
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
    writeToTerminal(QStringLiteral("\r%1: %2 %3 of %4 rows%5\033[K")
                        .arg(table_, QLatin1StringView(phase), QString::number(done), QString::number(total), rate)
                        .toUtf8());
    return true;
}

}  // namespace varnex::cli
