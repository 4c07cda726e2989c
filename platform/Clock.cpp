#include "platform/Clock.h"

#include <ctime>

namespace platform {
namespace {
std::function<QDateTime()>& clockFunction() {
    static std::function<QDateTime()> f;
    return f;
}
}  // namespace

QDateTime Now() {
    auto& f = clockFunction();
    return f ? f() : QDateTime::currentDateTime();
}

ClockFields NowFields() {
    ClockFields fields;
    if (!clockFunction()) {
        const time_t now = ::time(nullptr);
        struct tm local {};
        if (::localtime_r(&now, &local)) {
            fields = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
            return fields;
        }
    }
    const QDateTime now = Now();
    const QDate date = now.date();
    const QTime time = now.time();
    fields = {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
    return fields;
}

void SetClock(std::function<QDateTime()> clock) { clockFunction() = std::move(clock); }

}  // namespace platform
