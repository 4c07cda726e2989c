#include "platform/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}
// Only the target remains in its folder: no temporary file is left behind.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
}  // namespace

TEST(FileCopy, KeepsDataModificationTimeAndPermissionBits) {
    QTemporaryDir dir;
    const QString source = dir.filePath("src.bin");
    QByteArray data(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = char(i * 31 % 251);
    write(source, data);
    ::chmod(QFile::encodeName(source).constData(), 0640);
    const struct timespec times[2] = {{1000000000, 0}, {1051538700, 123456789}};
    ::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0);

    QDir(dir.path()).mkdir("out");
    const QString target = dir.filePath("out/src.bin");
    const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(source, target);
    ASSERT_TRUE(outcome.ok()) << outcome.description.toStdString();
    EXPECT_EQ(read(target), data);
    const struct stat st = statOf(target);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1051538700);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(entries(dir.filePath("out")), QStringList{"src.bin"});
}

TEST(FileCopy, EmptyFileAndReplacingAnOlderCopy) {
    QTemporaryDir dir;
    write(dir.filePath("empty"), {});
    write(dir.filePath("target"), "an older copy");
    ASSERT_TRUE(platform::CopyFileKeepingTimes(dir.filePath("empty"), dir.filePath("target")).ok());
    EXPECT_EQ(read(dir.filePath("target")), QByteArray());
    EXPECT_EQ(entries(dir.path()), (QStringList{"empty", "target"}));
}

TEST(FileCopy, FailingSourceLeavesTheOlderCopyAlone) {
    QTemporaryDir dir;
    write(dir.filePath("target"), "the last good copy");
    QDir(dir.path()).mkdir("folder");

    platform::CopyOutcome missing = platform::CopyFileKeepingTimes(dir.filePath("missing"), dir.filePath("target"));
    EXPECT_EQ(missing.result, platform::CopyResult::SourceFailed);
    EXPECT_NE(missing.error, 0);
    EXPECT_FALSE(missing.description.isEmpty());

    platform::CopyOutcome folder = platform::CopyFileKeepingTimes(dir.filePath("folder"), dir.filePath("target"));
    EXPECT_EQ(folder.result, platform::CopyResult::SourceFailed);

    EXPECT_EQ(read(dir.filePath("target")), "the last good copy");
    EXPECT_EQ(entries(dir.path()), (QStringList{"folder", "target"}));
}

TEST(FileCopy, TargetThatCannotBeReplacedOrWritten) {
    QTemporaryDir dir;
    write(dir.filePath("src"), "new data");
    // A folder holds the target's name: the data cannot take its place.
    QDir(dir.path()).mkpath("out/src/inside");
    const platform::CopyOutcome blocked = platform::CopyFileKeepingTimes(dir.filePath("src"), dir.filePath("out/src"));
    EXPECT_EQ(blocked.result, platform::CopyResult::ReplaceFailed);
    EXPECT_EQ(entries(dir.filePath("out")), QStringList{"src"});
    EXPECT_TRUE(QFileInfo(dir.filePath("out/src/inside")).isDir());

    // The target folder is missing, or is a regular file.
    EXPECT_EQ(platform::CopyFileKeepingTimes(dir.filePath("src"), dir.filePath("none/src")).result,
              platform::CopyResult::TargetFailed);
    EXPECT_EQ(platform::CopyFileKeepingTimes(dir.filePath("src"), dir.filePath("src/x")).result,
              platform::CopyResult::TargetFailed);
    EXPECT_EQ(read(dir.filePath("src")), "new data");
}

TEST(FileCopy, AFifoSourceFailsAtOnceInsteadOfWaiting) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    write(dir.filePath("target"), "the last good copy");
    // Without a writer, a blocking open of the FIFO would never return.
    const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(fifo, dir.filePath("target"));
    EXPECT_EQ(outcome.result, platform::CopyResult::SourceFailed);
    EXPECT_EQ(read(dir.filePath("target")), "the last good copy");
}

TEST(FileCopy, ATargetThatIsTheSourceItselfIsLeftAlone) {
    QTemporaryDir dir;
    write(dir.filePath("real.txt"), "data");
    ASSERT_EQ(::symlink("real.txt", QFile::encodeName(dir.filePath("link.txt")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("real.txt")).constData(),
                     QFile::encodeName(dir.filePath("hard.txt")).constData()),
              0);
    const ino_t inode = statOf(dir.filePath("real.txt")).st_ino;

    // The same path, a link copied onto its own name, and a second hard link.
    EXPECT_TRUE(platform::CopyFileKeepingTimes(dir.filePath("real.txt"), dir.filePath("real.txt")).ok());
    EXPECT_TRUE(platform::CopyFileKeepingTimes(dir.filePath("link.txt"), dir.filePath("link.txt")).ok());
    EXPECT_TRUE(platform::CopyFileKeepingTimes(dir.filePath("real.txt"), dir.filePath("hard.txt")).ok());

    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink()) << "the link must stay a link";
    EXPECT_EQ(statOf(dir.filePath("real.txt")).st_ino, inode);
    EXPECT_EQ(statOf(dir.filePath("hard.txt")).st_ino, inode);
    EXPECT_EQ(read(dir.filePath("real.txt")), "data");
    EXPECT_EQ(entries(dir.path()), (QStringList{"hard.txt", "link.txt", "real.txt"}));
}
