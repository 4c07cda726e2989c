#include "platform/EventLoop.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

// A loop that asks at every one of its quick items gives the windows a turn
// at once, then no more often than every 20 ms.
TEST(WindowTurns, AtMostOneTurnPerInterval) {
    int turns = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++turns; });
    timer.start();
    platform::WindowTurns pacer(20);
    pacer.yieldIfDue();
    EXPECT_EQ(turns, 1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100) pacer.yieldIfDue();
    EXPECT_GE(turns, 4);
    EXPECT_LE(turns, 7);
}
