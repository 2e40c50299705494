#pragma once
// The local date and time, replaceable in tests.

#include <QDateTime>

#include <functional>

namespace varnex {

QDateTime Now();
// An empty function restores the real clock.
void SetClockForTesting(std::function<QDateTime()> clock);

}  // namespace varnex
