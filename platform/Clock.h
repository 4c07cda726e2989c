#pragma once
// The one source of the current date and time. Tests fix it so that backup
// folder names and log lines are predictable.
#include <QDateTime>
#include <functional>

namespace platform {

QDateTime Now();

// Replaces the clock; an empty function restores the system clock.
void SetClock(std::function<QDateTime()> clock);

}  // namespace platform
