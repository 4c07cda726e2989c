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
    // A blank one is said to be missing; any other refused one is named, with
    // what a destination must be.
    enum Refusal { Blank, NotAFolderOfItsOwn, None };
    const struct {
        QString destination;
        Refusal refusal;
    } cases[] = {// Blanks, alone or with separators.
                 {"", Blank},
                 {"   ", Blank},
                 {"   /", Blank},
                 {" / ", Blank},
                 // The root folder spelled out, otherwise, or by what the file system says.
                 {"/", NotAFolderOfItsOwn},
                 {"//", NotAFolderOfItsOwn},
                 {"/.", NotAFolderOfItsOwn},
                 {"/./", NotAFolderOfItsOwn},
                 {"/tmp/..", NotAFolderOfItsOwn},
                 {"/no-such-folder/..", NotAFolderOfItsOwn},
                 {toRoot, NotAFolderOfItsOwn},
                 {toRoot + "/", NotAFolderOfItsOwn},
                 {dir.path() + "/sub/../../../../../..", NotAFolderOfItsOwn},
                 // Not from the root: taken from wherever the program was started.
                 {" /. ", NotAFolderOfItsOwn},
                 {"bk", NotAFolderOfItsOwn},
                 {"Backup", NotAFolderOfItsOwn},
                 {".", NotAFolderOfItsOwn},
                 {"./backup", NotAFolderOfItsOwn},
                 {"~/Backup", NotAFolderOfItsOwn},
                 // Folders of their own, the test destination, and a folder still to be made.
                 {"/tmp", None},
                 {"/tmp/../tmp/", None},
                 {dir.path() + "/sub", None},
                 {dir.path() + "/not-yet-made/", None},
                 {"/dev/null", None},
                 {"/dev/null/", None}};
    for (const auto& c : cases) {
        const QString expected =
            c.refusal == Blank ? QStringLiteral("There is no destination directory specified")
            : c.refusal == NotAFolderOfItsOwn
                ? "The destination directory '" + c.destination +
                      "' must be a full path, beginning with /, to a folder other than the root folder"
                : QString();
        EXPECT_EQ(MissingDestinationReason(c.destination), expected) << c.destination.toStdString();
        EXPECT_EQ(IsMissingDestination(c.destination), c.refusal != None) << c.destination.toStdString();
    }
}
