#pragma once
// The one source of the current date and time. Tests fix it so that backup
// folder names and log lines are predictable.
#include <QDateTime>
#include <functional>

namespace platform {

QDateTime Now();

// The current local date and time in fields (month and day from 1, 24-hour
// hour). Without a test clock they come from the C library, which reads the
// time zone once instead of on every call: log lines are written per file.
struct ClockFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
ClockFields NowFields();

// Replaces the clock; an empty function restores the system clock.
void SetClock(std::function<QDateTime()> clock);

}  // namespace platform
