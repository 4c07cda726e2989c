// GetFileExtension, GetFileLength, FormatFileDetails, FileDetailsLine, MakeFullPath and CanWriteToFolder.
#include "foundation/FileRoutines.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {
void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}
}  // namespace

TEST(GetFileExtension, TextAfterLastDotOfWholePath) {
    EXPECT_EQ(GetFileExtension("/home/anna/letter.doc"), "doc");
    EXPECT_EQ(GetFileExtension("/home/anna/archive.tar.gz"), "gz");
    EXPECT_EQ(GetFileExtension("/home/anna/Makefile"), "");
    // A dot in a folder name counts when the file name has none.
    EXPECT_EQ(GetFileExtension("/home/anna/v1.2/Makefile"), "2/Makefile");
    EXPECT_EQ(GetFileExtension("/home/anna/.profile"), "profile");
    EXPECT_EQ(GetFileExtension(""), "");
}

TEST(GetFileLength, SizeOfFilesMinusOneOtherwise) {
    TestEnvironment env;
    env.writeFile("empty.txt", "");
    env.writeFile("five.txt", "12345");
    EXPECT_EQ(GetFileLength(env.path("empty.txt")), 0);
    EXPECT_EQ(GetFileLength(env.path("five.txt")), 5);
    EXPECT_EQ(GetFileLength(env.path("missing.txt")), -1);
    EXPECT_EQ(GetFileLength(env.folder()), -1);
    EXPECT_EQ(GetFileLength(""), -1);
    // Sizes beyond 32 bits come through whole (a sparse file takes no space).
    QFile big(env.path("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(5) * 1024 * 1024 * 1024 + 3));
    big.close();
    EXPECT_EQ(GetFileLength(env.path("big.bin")), qint64(5) * 1024 * 1024 * 1024 + 3);
    // A link to a file has the file's size.
    ASSERT_EQ(::symlink(QFile::encodeName(env.path("five.txt")).constData(),
                        QFile::encodeName(env.path("link.txt")).constData()),
              0);
    EXPECT_EQ(GetFileLength(env.path("link.txt")), 5);
}

TEST(FormatFileDetails, FieldsInFixedOrderEachFollowedBySeparator) {
    TestEnvironment env;
    env.writeFile("sub.d/notes.txt", "hello");
    const QString file = env.path("sub.d/notes.txt");
    setModified(file, QDateTime(QDate(2024, 3, 9), QTime(21, 5, 7)));
    const QString folder = env.path("sub.d/");
    EXPECT_EQ(FormatFileDetails(file, ",", false, true, true, false, true, true),
              "notes.txt," + folder + ",5,2024/03/09 21:05:07,");
    EXPECT_EQ(FormatFileDetails(file, "|", true, true, true, true, true, true),
              file + "|notes.txt|" + folder + "|txt|5|2024/03/09 21:05:07|");
    EXPECT_EQ(FormatFileDetails(file, ",", false, false, false, false, false, false), "");
}

TEST(FormatFileDetails, MissingFile) {
    TestEnvironment env;
    const QString file = env.path("gone.TXT");
    // Without the date the line is made, with the size -1.
    EXPECT_EQ(FormatFileDetails(file, ",", false, true, false, true, true, false), "gone.TXT,TXT,-1,");
    // The date cannot be read: no line at all.
    EXPECT_EQ(FormatFileDetails(file, ",", false, true, true, false, true, true), "");
}

// The copy loop writes the detail line from values it already has: it must be
// the line the file's own status gives.
TEST(FileDetailsLine, IsTheDetailLineOfTheFilesStatus) {
    TestEnvironment env;
    const QList<QDateTime> times = {
        QDateTime(QDate(2024, 3, 9), QTime(21, 5, 7)), QDateTime(QDate(2024, 7, 1), QTime(0, 0, 59)),
        QDateTime(QDate(1969, 12, 31), QTime(23, 59, 58)), QDateTime(QDate(1601, 1, 1), QTime(0, 0)),
        QDateTime(QDate(2200, 12, 31), QTime(12, 30))};
    for (const QDateTime& when : times) {
        env.writeFile("d,1/a b.txt", "12345678");
        const QString file = env.path("d,1/a b.txt");
        setModified(file, when);
        const QFileInfo info(file);
        EXPECT_EQ(FileDetailsLine(file, info.size(), info.lastModified().toSecsSinceEpoch()),
                  FormatFileDetails(file, ",", false, true, true, false, true, true))
            << when.toString().toStdString();
        EXPECT_EQ(FileDetailsLine(file, 8, when.toSecsSinceEpoch()),
                  "a b.txt," + env.path("d,1/") + ",8," + when.toString("yyyy/MM/dd hh:mm:ss") + ",");
    }
}

TEST(MakeFullPath, CreatesMissingLevelsAndLeavesTheRestAlone) {
    TestEnvironment env;
    const QString before = QDir::currentPath();
    EXPECT_TRUE(MakeFullPath(env.path("a/b/c")));
    EXPECT_TRUE(QFileInfo(env.path("a/b/c")).isDir());
    EXPECT_TRUE(MakeFullPath(env.path("a/b/c/d/")));
    EXPECT_TRUE(QFileInfo(env.path("a/b/c/d")).isDir());
    env.writeFile("a/keep.txt", "x");
    EXPECT_TRUE(MakeFullPath(env.path("a/b")));
    EXPECT_EQ(env.readFile("a/keep.txt"), "x");
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST(MakeFullPath, FailuresAreIgnored) {
    TestEnvironment env;
    env.writeFile("plain", "file in the way");
    EXPECT_TRUE(MakeFullPath(env.path("plain/sub/deeper")));
    EXPECT_FALSE(QFileInfo(env.path("plain/sub")).exists());
    EXPECT_EQ(env.readFile("plain"), "file in the way");
}

TEST(CanWriteToFolder, WritesTheTestFileAndAddsTheSeparator) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    QString folder = env.folder();
    EXPECT_TRUE(CanWriteToFolder(folder));
    EXPECT_EQ(folder, env.folder() + "/");
    EXPECT_EQ(env.readFile("corvex.tmp"),
              "this is a temp file to check the datapath   \r\n"
              "You can delete it to save space (wow - 100 bytes!)\r\n\r\n");
    QString blank = "   ";
    EXPECT_FALSE(CanWriteToFolder(blank));
    EXPECT_EQ(boxes.count(), 0);
}

TEST(CanWriteToFolder, FailureIsLoggedAndShown) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    env.writeFile("afile", "x");
    QString folder = env.path("afile");  // a path under a regular file cannot hold files
    EXPECT_FALSE(CanWriteToFolder(folder));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Problem writing to Directory");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Critical);
    EXPECT_EQ(boxes.last().text, "There was an error writing to the directory '" + folder +
                                     "' \r\nIt may not exist, or you may not have write permissions to it.\r\n"
                                     "Another reason could be that the temporary file \r\n(" +
                                     folder + "corvex.tmp)\r\n is in use by another application.");
    EXPECT_TRUE(
        env.readFile("corvex.log").contains("There was an error creating the file in the directory '" + folder + "' "));
}
