#include "platform/AppendFile.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <cerrno>

namespace {
QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
}  // namespace

TEST(AppendFile, LinesAreInTheFileAtOnceAndTruncateStartsAfresh) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    platform::AppendFile file;
    ASSERT_TRUE(file.open(path));
    EXPECT_TRUE(file.append("one\r\n"));
    EXPECT_EQ(read(path), "one\r\n");
    // Another writer's line in between is kept: every line goes to the end.
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::Append));
    other.write("other\r\n");
    other.close();
    EXPECT_TRUE(file.append("two\r\n"));
    EXPECT_EQ(read(path), "one\r\nother\r\ntwo\r\n");
    ASSERT_TRUE(file.open(path, true));
    EXPECT_EQ(read(path), "");
}

TEST(AppendFile, FailuresAreReported) {
    QTemporaryDir dir;
    platform::AppendFile file;
    EXPECT_FALSE(file.open(dir.path()));  // a folder
    EXPECT_EQ(file.error(), EISDIR);
    EXPECT_EQ(file.errorString(), "Is a directory");
    EXPECT_FALSE(file.append("x"));
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no small file system to fill";
    ASSERT_TRUE(file.open(disk.path("list.txt")));
    disk.fill();
    EXPECT_FALSE(file.append(QByteArray(8192, 'x')));
    EXPECT_EQ(file.error(), ENOSPC);
}

TEST(AppendFile, KnowsWhenItsNameNoLongerLeadsToIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    platform::AppendFile file;
    ASSERT_TRUE(file.open(path));
    EXPECT_TRUE(file.stillAtPath());
    ASSERT_TRUE(QFile::rename(path, dir.filePath("log.old")));
    EXPECT_FALSE(file.stillAtPath());
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(file.stillAtPath());
}
