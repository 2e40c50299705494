#include "TerminalLine.h"

#include <cstdio>

namespace varnex::cli {
namespace {

bool shown = false;

void writeToStandardError(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

void showTerminalLine(const QString& text)
{
    writeToStandardError(("\r" + text + "\033[K").toUtf8());
    shown = true;
}

void takeTerminalLineAway()
{
    if (shown)
        writeToStandardError("\r\033[K");
    shown = false;
}

}  // namespace varnex::cli
