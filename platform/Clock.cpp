#include "platform/Clock.h"

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

void SetClock(std::function<QDateTime()> clock) { clockFunction() = std::move(clock); }

}  // namespace platform
