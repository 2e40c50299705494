#include "core/Clock.h"

namespace varnex {
namespace {

std::function<QDateTime()>& clockSlot()
{
    static std::function<QDateTime()> clock;
    return clock;
}

}  // namespace

QDateTime currentDateTime()
{
    if (const auto& clock = clockSlot())
        return clock();
    return QDateTime::currentDateTime();
}

void setClockForTesting(std::function<QDateTime()> clock) { clockSlot() = std::move(clock); }

}  // namespace varnex
