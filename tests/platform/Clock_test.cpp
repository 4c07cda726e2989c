#include "platform/Clock.h"

#include <gtest/gtest.h>
#include <vector>

TEST(Clock, FieldsComeFromTheTestClockOrTheSystemsLocalTime) {
    platform::SetClock([] { return QDateTime(QDate(2024, 3, 8), QTime(7, 5, 9)); });
    platform::ClockFields f = platform::NowFields();
    EXPECT_EQ((std::vector<int>{f.year, f.month, f.day, f.hour, f.minute, f.second}),
              (std::vector<int>{2024, 3, 8, 7, 5, 9}));
    platform::SetClock({});
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    f = platform::NowFields();
    const QDateTime read(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second));
    EXPECT_LE(before.secsTo(read), 2) << read.toString().toStdString();
    EXPECT_GE(before.secsTo(read), 0) << read.toString().toStdString();
}
