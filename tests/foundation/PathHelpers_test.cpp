#include "foundation/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

TEST(PathHelpers, ADestinationMustNameAFolderOfItsOwnFromTheRoot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString toRoot = dir.path() + "/to-root";
    ASSERT_TRUE(QFile::link("/", toRoot));
    ASSERT_TRUE(QDir().mkdir(dir.path() + "/sub"));
    const struct {
        QString destination;
        bool missing;
    } cases[] = {// Blanks and separators alone.
                 {"", true},
                 {"   ", true},
                 {"   /", true},
                 {"//", true},
                 // The root folder spelled otherwise, by text or by what the file system says.
                 {"/.", true},
                 {"/./", true},
                 {"/tmp/..", true},
                 {"/no-such-folder/..", true},
                 {toRoot, true},
                 {toRoot + "/", true},
                 {dir.path() + "/sub/../../../../../..", true},
                 // Not from the root: taken from wherever the program was started.
                 {" /. ", true},
                 {"bk", true},
                 {".", true},
                 {"./backup", true},
                 {"~/backup", true},
                 // Folders of their own, the test destination, and a folder still to be made.
                 {"/tmp", false},
                 {"/tmp/../tmp/", false},
                 {dir.path() + "/sub", false},
                 {dir.path() + "/not-yet-made/", false},
                 {"/dev/null", false},
                 {"/dev/null/", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsMissingDestination(c.destination), c.missing) << c.destination.toStdString();
}
