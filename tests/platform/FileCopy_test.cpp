#include "platform/FileCopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

TEST(FileCopy, ATargetThatIsTheSourceItselfIsAFailedCopyThatLeavesItAlone) {
    QTemporaryDir dir;
    write(dir.filePath("real.txt"), "data");
    ASSERT_EQ(::symlink("real.txt", QFile::encodeName(dir.filePath("link.txt")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("real.txt")).constData(),
                     QFile::encodeName(dir.filePath("hard.txt")).constData()),
              0);
    const ino_t inode = statOf(dir.filePath("real.txt")).st_ino;

    // The same path, a link copied onto its own name, and a second hard link.
    for (const auto& [source, target] :
         {std::pair{"real.txt", "real.txt"}, std::pair{"link.txt", "link.txt"}, std::pair{"real.txt", "hard.txt"}})
        EXPECT_EQ(platform::CopyFileKeepingTimes(dir.filePath(source), dir.filePath(target)).result,
                  platform::CopyResult::SameFile)
            << source << " onto " << target;

    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink()) << "the link must stay a link";
    EXPECT_EQ(statOf(dir.filePath("real.txt")).st_ino, inode);
    EXPECT_EQ(statOf(dir.filePath("hard.txt")).st_ino, inode);
    EXPECT_EQ(read(dir.filePath("real.txt")), "data");
    EXPECT_EQ(entries(dir.path()), (QStringList{"hard.txt", "link.txt", "real.txt"}));
}

TEST(FileCopy, NoLinkInsideTheRootIsFollowedOutOfIt) {
    QTemporaryDir dir;
    write(dir.filePath("src"), "data");
    QDir(dir.path()).mkpath("root/made");
    QDir(dir.path()).mkpath("outside");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.filePath("outside")).constData(),
                        QFile::encodeName(dir.filePath("root/made/link")).constData()),
              0);
    // Missing levels are made; a link or ".." on the way is refused.
    EXPECT_TRUE(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), "made/new/deeper/", "src").ok());
    EXPECT_EQ(read(dir.filePath("root/made/new/deeper/src")), "data");
    for (const char* relative : {"made/link/", "made/link/deeper/", "made/../../outside/"})
        EXPECT_EQ(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), relative, "src").result,
                  platform::CopyResult::LeavesFolder)
            << relative;
    EXPECT_TRUE(entries(dir.filePath("outside")).isEmpty());
    // A regular file where a level should be is a folder failure.
    write(dir.filePath("root/file"), "x");
    EXPECT_EQ(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), "file/sub", "src").result,
              platform::CopyResult::FolderFailed);
}

TEST(FileCopy, TemporaryCopiesLeftByAnInterruptedRunAreRemovedOncePerRun) {
    QTemporaryDir dir;
    write(dir.filePath("src"), "data");
    QDir(dir.path()).mkpath("root/sub");
    write(dir.filePath("root/sub/.corvex-copy-Ab12Cd"), "half a copy");
    write(dir.filePath("root/sub/.corvex-copy"), "a user's file of a similar name");
    write(dir.filePath("root/.corvex-copy-zzzzzz"), "not a folder this run writes into");
    platform::CopyRun run;
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), "sub", "a", &run).ok());
    EXPECT_EQ(entries(dir.filePath("root/sub")), (QStringList{".corvex-copy", "a"}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/.corvex-copy-zzzzzz")));
    // Cleared once: a later leftover in the same folder belongs to nobody in this run's eyes.
    write(dir.filePath("root/sub/.corvex-copy-later1"), "x");
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), "sub", "b", &run).ok());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/sub/.corvex-copy-later1")));
}

TEST(FileCopy, AReadThatWouldWaitFailsInsteadOfHanging) {
    // The kernel's message queue is a regular file whose read waits for new
    // messages. Only tried when it can be opened and holds nothing to read, so
    // that no message is taken from it.
    const int fd = ::open("/proc/kmsg", O_RDONLY | O_NONBLOCK);
    if (fd < 0) GTEST_SKIP() << "/proc/kmsg cannot be opened here";
    struct pollfd p {
        fd, POLLIN, 0
    };
    const int ready = ::poll(&p, 1, 0);
    ::close(fd);
    if (ready != 0) GTEST_SKIP() << "/proc/kmsg holds messages";
    QTemporaryDir dir;
    EXPECT_EQ(platform::CopyFileKeepingTimes("/proc/kmsg", dir.filePath("kmsg")).result,
              platform::CopyResult::SourceFailed);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

// A copy slowed to about 1.5 s (a slow disk) still lets the window events
// through: a 10 ms timer fires throughout, never more than 100 ms apart.
TEST(FileCopy, WindowEventsAreHandledBetweenTheChunksOfOneFile) {
    QTemporaryDir dir;
    QByteArray data(40 * 64 * 1024 + 5, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = char(i * 7 % 253);
    write(dir.filePath("big.bin"), data);
    platform::SetCopyChunkSize(64 * 1024);
    platform::SetCopyChunkPacer([] { QThread::msleep(35); });

    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> ticks;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
    timer.start();
    const platform::CopyOutcome outcome =
        platform::CopyFileKeepingTimes(dir.filePath("big.bin"), dir.filePath("copy.bin"));
    const qint64 finished = clock.elapsed();
    timer.stop();
    platform::SetCopyChunkSize(0);
    platform::SetCopyChunkPacer({});

    ASSERT_TRUE(outcome.ok()) << outcome.description.toStdString();
    EXPECT_EQ(read(dir.filePath("copy.bin")), data);
    EXPECT_EQ(entries(dir.path()), (QStringList{"big.bin", "copy.bin"}));
    ASSERT_GE(finished, 40 * 35);
    ASSERT_FALSE(ticks.empty());
    qint64 previous = 0, longest = 0;
    for (const qint64 tick : ticks) {
        longest = std::max(longest, tick - previous);
        previous = tick;
    }
    longest = std::max(longest, finished - previous);
    EXPECT_LE(longest, 100) << ticks.size() << " turns in " << finished << " ms";
}

TEST(FileCopy, TheOutcomeCarriesTheBytesCopiedAndTheSourcesTime) {
    QTemporaryDir dir;
    write(dir.filePath("src"), QByteArray(70000, 'x'));
    const struct timespec times[2] = {{1000000000, 0}, {1051538700, 5}};
    ::utimensat(AT_FDCWD, QFile::encodeName(dir.filePath("src")).constData(), times, 0);
    platform::SetCopyChunkSize(4096);  // many chunks: every one counts
    const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(dir.filePath("src"), dir.filePath("dst"));
    platform::SetCopyChunkSize(0);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.bytes, 70000);
    EXPECT_EQ(outcome.modifiedSecs, 1051538700);
}

// The run holds the last folder it made; a folder changed behind its back is
// made and entered afresh, so a link put in its place is refused as always.
TEST(FileCopy, TheHeldTargetFolderIsCheckedBeforeEveryCopy) {
    QTemporaryDir dir;
    write(dir.filePath("src"), "data");
    QDir(dir.path()).mkpath("root");
    QDir(dir.path()).mkpath("outside");
    const QString src = dir.filePath("src");
    const QString root = dir.filePath("root");
    const auto toLink = [&](const QString& folder) {
        return ::symlink(QFile::encodeName(dir.filePath("outside")).constData(),
                         QFile::encodeName(folder).constData()) == 0;
    };
    platform::CopyRun run;
    ASSERT_TRUE(platform::CopyFileBelow(src, root, "a/b/", "1", &run).ok());
    ASSERT_TRUE(platform::CopyFileBelow(src, root, "a/b/", "2", &run).ok());
    EXPECT_EQ(entries(dir.filePath("root/a/b")), (QStringList{"1", "2"}));

    // Deleted: made again.
    ASSERT_TRUE(QDir(dir.filePath("root/a/b")).removeRecursively());
    ASSERT_TRUE(platform::CopyFileBelow(src, root, "a/b/", "3", &run).ok());
    EXPECT_EQ(entries(dir.filePath("root/a/b")), QStringList{"3"});

    // Renamed away and replaced by a link: neither the link nor the old folder gets the copy.
    ASSERT_TRUE(QDir().rename(dir.filePath("root/a/b"), dir.filePath("root/a/old")));
    ASSERT_TRUE(toLink(dir.filePath("root/a/b")));
    EXPECT_EQ(platform::CopyFileBelow(src, root, "a/b/", "4", &run).result, platform::CopyResult::LeavesFolder);
    // A level above it replaced by a link.
    ASSERT_TRUE(platform::CopyFileBelow(src, root, "c/d", "5", &run).ok());
    ASSERT_TRUE(QDir().rename(dir.filePath("root/c"), dir.filePath("root/c-old")));
    ASSERT_TRUE(toLink(dir.filePath("root/c")));
    EXPECT_EQ(platform::CopyFileBelow(src, root, "c/d", "6", &run).result, platform::CopyResult::LeavesFolder);
    EXPECT_TRUE(entries(dir.filePath("outside")).isEmpty());
    EXPECT_EQ(entries(dir.filePath("root/a/old")), QStringList{"3"});
    EXPECT_EQ(entries(dir.filePath("root/c-old/d")), QStringList{"5"});

    // The root itself may be reached through a link, and may change to another folder.
    QDir(dir.path()).mkpath("root2");
    ASSERT_EQ(::symlink("root", QFile::encodeName(dir.filePath("dest")).constData()), 0);
    ASSERT_TRUE(platform::CopyFileBelow(src, dir.filePath("dest"), "", "7", &run).ok());
    ASSERT_TRUE(QFile::remove(dir.filePath("dest")));
    ASSERT_EQ(::symlink("root2", QFile::encodeName(dir.filePath("dest")).constData()), 0);
    ASSERT_TRUE(platform::CopyFileBelow(src, dir.filePath("dest"), "", "8", &run).ok());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/7")));
    EXPECT_EQ(entries(dir.filePath("root2")), QStringList{"8"});
}
