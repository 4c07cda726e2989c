#include "foundation/SettingValue.h"

#include <gtest/gtest.h>

TEST(NumericValue, LeadingNumberRoundedHalfToEven) {
    EXPECT_EQ(NumericValue("22"), 22);
    EXPECT_EQ(NumericValue("  7"), 7);
    EXPECT_EQ(NumericValue("2.5"), 2);
    EXPECT_EQ(NumericValue("3.5"), 4);
    EXPECT_EQ(NumericValue("5.5"), 6);
    EXPECT_EQ(NumericValue("7.5"), 8);
    EXPECT_EQ(NumericValue("-5"), -5);
    EXPECT_EQ(NumericValue("12abc"), 12);
    EXPECT_EQ(NumericValue(".6"), 1);
}

TEST(NumericValue, NoNumberGivesZero) {
    EXPECT_EQ(NumericValue(""), 0);
    EXPECT_EQ(NumericValue("abc"), 0);
    EXPECT_EQ(NumericValue("-"), 0);
    EXPECT_EQ(NumericValue("."), 0);
}

TEST(NumericValue, LargeValuesSaturateIn16Bits) {
    EXPECT_GT(NumericValue("99999999999999999999"), 1e19);
    EXPECT_EQ(NumericValue16("70000"), 32767);
    EXPECT_EQ(NumericValue16("-70000"), -32768);
    EXPECT_EQ(NumericValue16(QString(400, '9')), 32767);
}
