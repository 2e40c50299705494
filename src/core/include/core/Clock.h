#pragma once
// The local date and time, replaceable in tests.

#include <QDateTime>

#include <functional>

namespace varnex {

QDateTime currentDateTime();
// An empty function restores the real clock.
void setClockForTesting(std::function<QDateTime()> clock);

}  // namespace varnex
