#include "foundation/PathHelpers.h"

#include <gtest/gtest.h>

TEST(PathHelpers, SplitAndJoin) {
    EXPECT_EQ(GetFileNameFromPath("/a/b.txt"), "b.txt");
    EXPECT_EQ(GetFileNameFromPath("b.txt"), "");
    EXPECT_EQ(GetFileNameFromPath("/a/"), "");
    EXPECT_EQ(GetFolderFromPath("/a/b.txt"), "/a/");
    EXPECT_EQ(GetFolderFromPath("b.txt"), "");
    QString folder;
    EXPECT_EQ(JoinPath(folder, "x.txt"), "/x.txt");
    EXPECT_EQ(folder, "/");
    QString f2 = "/data/";
    EXPECT_EQ(JoinPath(f2, "x.txt"), "/data/x.txt");
    EXPECT_EQ(f2, "/data/");
}

TEST(PathHelpers, TrimNullAndPadRight) {
    EXPECT_EQ(TrimNull(QString("abc") + QChar(0) + "def"), "abc");
    EXPECT_EQ(TrimNull("abc"), "abc");
    QString s = "abc";
    EXPECT_EQ(PadRight(s, 5), "abc   ");
    EXPECT_EQ(s, "abc   ");
    QString longer = "abcdefg";
    EXPECT_EQ(PadRight(longer, 5), "abcdefg");
    QString empty;
    EXPECT_EQ(PadRight(empty, 0), " ");
}
