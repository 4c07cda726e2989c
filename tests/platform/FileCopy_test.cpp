#include "platform/FileCopy.h"
#include "support/AsOrdinaryUser.h"
#include "support/FullDisk.h"

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
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
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
// The entry itself: a link's own status, not its target's.
struct stat statOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}
// Only the target remains in its folder: no temporary file is left behind.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}
void makeLink(const QByteArray& target, const QString& link) {
    ASSERT_EQ(::symlink(target.constData(), QFile::encodeName(link).constData()), 0);
}
void setTimes(const QString& path, time_t modified, int flags = 0) {
    const struct timespec times[2] = {{1000000000, 0}, {modified, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, flags);
}
// Copies source to target in a child process that is killed after the first
// chunk of data, as a run killed in the middle of a big copy.
void copyKilledMidway(const QString& source, const QString& target, bool unnamed) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::SetUnnamedTemporaryCopies(unnamed);
        platform::SetCopyChunkSize(4096);
        platform::SetCopyChunkPacer([] { ::raise(SIGKILL); });
        platform::CopyFileKeepingTimes(source, target);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the copy was not interrupted";
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

// A killed copy leaves nothing where the file system has unnamed files; where
// it has not, the next run into that folder removes the named leftover, and
// only names of exactly its pattern.
TEST(FileCopy, ACopyKilledMidwayLeavesNothingThatOutlivesTheNextRun) {
    QTemporaryDir dir;
    write(dir.filePath("big"), QByteArray(64 * 1024, 'b'));
    QDir(dir.path()).mkpath("root/sub");
    const int probe = ::open(QFile::encodeName(dir.filePath("root")).constData(), O_WRONLY | O_TMPFILE, 0600);
    if (probe >= 0) {
        ::close(probe);
        copyKilledMidway(dir.filePath("big"), dir.filePath("root/big"), true);
        EXPECT_TRUE(entries(dir.filePath("root")) == QStringList{"sub"});
    }

    copyKilledMidway(dir.filePath("big"), dir.filePath("root/sub/big"), false);
    const QStringList left = entries(dir.filePath("root/sub"));
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(platform::IsTemporaryCopyName(QFile::encodeName(left.first()))) << left.first().toStdString();
    const QStringList usersOwn = {".corvex-copy-", ".corvex-copy-notes", ".corvex-copy-0123456789AB.tmp",
                                  ".corvex-copy-0123456789ab.tmp.bak", ".corvex-copy-0123456789a.tmp"};
    for (const QString& name : usersOwn) write(dir.filePath("root/sub/" + name), "the user's own file");
    QDir(dir.path()).mkpath("root/sub/.corvex-copy-00000000000a.tmp/inside");  // a folder of our pattern
    write(dir.filePath("root/.corvex-copy-00000000000b.tmp"), "not a folder this run writes into");

    platform::CopyRun run;
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("big"), dir.filePath("root"), "sub", "a", &run).ok());
    QStringList expected = usersOwn;
    expected << ".corvex-copy-00000000000a.tmp"
             << "a";
    expected.sort();
    EXPECT_EQ(entries(dir.filePath("root/sub")), expected);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/.corvex-copy-00000000000b.tmp")));
    // Cleared once: a later leftover in the same folder belongs to nobody in this run's eyes.
    write(dir.filePath("root/sub/.corvex-copy-00000000000c.tmp"), "x");
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("big"), dir.filePath("root"), "sub", "b", &run).ok());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/sub/.corvex-copy-00000000000c.tmp")));
}

// A link copy is made under a temporary name too: an interrupted run may
// leave a link of the pattern behind. It goes as the files do, whatever it
// points at (nothing is followed), and a link of any other name stays.
TEST(FileCopy, TemporaryLinksOfAnInterruptedRunAreRemovedAndNotFollowed) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("root/sub");
    QDir(dir.path()).mkpath("elsewhere/folder");
    write(dir.filePath("elsewhere/file"), "not the run's");
    write(dir.filePath("src"), "data");
    const struct {
        const char* name;
        QByteArray target;
        bool leftover;
    } cases[] = {
        {".corvex-copy-0000000000a1.tmp", "nowhere/at/all", true},
        {".corvex-copy-0000000000a2.tmp", QFile::encodeName(dir.filePath("elsewhere/file")), true},
        {".corvex-copy-0000000000a3.tmp", QFile::encodeName(dir.filePath("elsewhere/folder")), true},
        {".corvex-copy-0000000000A4.tmp", "nowhere", false},
        {"link", "nowhere", false},
    };
    for (const auto& c : cases) makeLink(c.target, dir.filePath(QString("root/sub/") + c.name));
    platform::CopyRun run;
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("src"), dir.filePath("root"), "sub", "copy", &run).ok());
    for (const auto& c : cases)
        EXPECT_EQ(QFileInfo(dir.filePath(QString("root/sub/") + c.name)).isSymLink(), !c.leftover) << c.name;
    EXPECT_EQ(read(dir.filePath("elsewhere/file")), "not the run's");
    EXPECT_TRUE(QFileInfo(dir.filePath("elsewhere/folder")).isDir());
}

// The named temporary file takes the older copy's place as the unnamed one does.
TEST(FileCopy, ANamedTemporaryCopyReplacesTheOlderCopyAndIsGone) {
    QTemporaryDir dir;
    write(dir.filePath("src"), "new data");
    write(dir.filePath("dst"), "an older copy");
    platform::SetUnnamedTemporaryCopies(false);
    const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(dir.filePath("src"), dir.filePath("dst"));
    platform::SetUnnamedTemporaryCopies(true);
    ASSERT_TRUE(outcome.ok()) << outcome.description.toStdString();
    EXPECT_EQ(read(dir.filePath("dst")), "new data");
    EXPECT_EQ(entries(dir.path()), (QStringList{"dst", "src"}));
}

// A link is copied as a link with the same target and its own time; it is
// never followed, so a link to a file the user could not read does not bring
// that file's data into the backup.
TEST(FileCopy, ASymbolicLinkIsCopiedAsALink) {
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    QDir(dir.path()).mkpath("private");
    write(dir.filePath("private/secret"), "root's secret");
    ::chmod(QFile::encodeName(dir.filePath("private/secret")).constData(), 0644);
    ::chmod(QFile::encodeName(dir.filePath("private")).constData(), 0700);
    QDir(dir.path()).mkpath("out");
    write(dir.filePath("out/file"), "an older copy that was a file");
    const QByteArray targets[] = {QFile::encodeName(dir.filePath("private/secret")), "private", "nowhere/at/all",
                                  QByteArray(300, 'x')};
    const char* names[] = {"file", "folder", "dangling", "long"};
    for (int i = 0; i < 4; ++i) {
        const QString link = dir.filePath(QString("link-") + names[i]);
        makeLink(targets[i], link);
        setTimes(link, 1051538700 + i, AT_SYMLINK_NOFOLLOW);
        const QString copy = dir.filePath(QString("out/") + names[i]);
        const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(link, copy);
        ASSERT_TRUE(outcome.ok()) << names[i] << ": " << outcome.description.toStdString();
        QByteArray buffer(400, '\0');
        const ssize_t n = ::readlink(QFile::encodeName(copy).constData(), buffer.data(), size_t(buffer.size()));
        EXPECT_EQ(buffer.left(int(n)), targets[i]) << names[i];
        EXPECT_EQ(outcome.bytes, targets[i].size());
        EXPECT_EQ(outcome.modifiedSecs, 1051538700 + i);
        EXPECT_EQ(statOf(copy).st_mtim.tv_sec, 1051538700 + i);
    }
    EXPECT_EQ(entries(dir.filePath("out")), (QStringList{"dangling", "file", "folder", "long"}));
    // Read by another user, the backup gives nothing of the secret away.
    if (::geteuid() != 0) {
        std::printf("the check by another user is left out: it needs root to take another user's identity\n");
        return;
    }
    AsOrdinaryUser user;
    EXPECT_FALSE(QFile(dir.filePath("out/file")).open(QIODevice::ReadOnly));
}

// The folders a copy makes for a kept path are as private as the source
// folders they stand for.
TEST(FileCopy, FoldersMadeForAKeptPathTakeTheSourceFoldersPermissionBits) {
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    QDir(dir.path()).mkpath("home/anna/private/letters");
    write(dir.filePath("home/anna/private/letters/a.txt"), "dear");
    ::chmod(QFile::encodeName(dir.filePath("home/anna/private/letters/a.txt")).constData(), 0644);
    const std::pair<const char*, mode_t> modes[] = {
        {"home", 0755}, {"home/anna", 0751}, {"home/anna/private", 0700}, {"home/anna/private/letters", 02750}};
    for (const auto& [folder, mode] : modes) ::chmod(QFile::encodeName(dir.filePath(folder)).constData(), mode);
    QDir(dir.path()).mkpath("backup");
    const QString relative = dir.filePath("home/anna/private/letters/").mid(1);
    // The first levels (the temporary folder's own path) are made too: they
    // stand for the folders above it, whatever their modes.
    platform::CopyRun run;
    run.mirrorSourceFolders = true;
    const platform::CopyOutcome outcome = platform::CopyFileBelow(dir.filePath("home/anna/private/letters/a.txt"),
                                                                  dir.filePath("backup"), relative, "a.txt", &run);
    ASSERT_TRUE(outcome.ok()) << outcome.description.toStdString();
    // While the run copies, each folder stays open to its owner alone beyond
    // the source's bits; when it is done, the folders take the source's bits.
    EXPECT_EQ(statOf(dir.filePath("backup/") + dir.filePath("home/anna").mid(1)).st_mode & 07777, 0751 | 0700);
    EXPECT_TRUE(run.finishFolders().isEmpty());
    for (const auto& [folder, mode] : modes)
        EXPECT_EQ(statOf(dir.filePath("backup/") + dir.filePath(folder).mid(1)).st_mode & 07777, mode) << folder;
    EXPECT_EQ(statOf(dir.filePath("backup/") + dir.path().mid(1)).st_mode & 07777, statOf(dir.path()).st_mode & 07777);

    // Another user of the machine cannot read the copy, as the original.
    if (::geteuid() == 0) {
        AsOrdinaryUser user;
        EXPECT_FALSE(QFile(dir.filePath("backup/") + relative + "a.txt").open(QIODevice::ReadOnly));
    }
}

// Run as root, a restored file and a restored link keep the owner and group of
// the original they replace.
TEST(FileCopy, ARestoreAsRootKeepsTheOriginalsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
    QTemporaryDir dir;
    write(dir.filePath("copy"), "backed up");
    makeLink("elsewhere", dir.filePath("copy-link"));
    write(dir.filePath("original"), "changed");
    makeLink("changed-target", dir.filePath("original-link"));
    for (const char* name : {"original", "original-link"})
        ASSERT_EQ(::lchown(QFile::encodeName(dir.filePath(name)).constData(), 65534, 65534), 0);

    ASSERT_TRUE(platform::RestoreFileCopy(dir.filePath("copy"), dir.filePath("original")).ok());
    ASSERT_TRUE(platform::RestoreFileCopy(dir.filePath("copy-link"), dir.filePath("original-link")).ok());
    EXPECT_EQ(read(dir.filePath("original")), "backed up");
    EXPECT_EQ(QFile::symLinkTarget(dir.filePath("original-link")), dir.filePath("elsewhere"));
    for (const char* name : {"original", "original-link"}) {
        const struct stat st = statOf(dir.filePath(name));
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(65534u, 65534u)) << name;
    }
}

// Holes stay holes, wherever they are; the data and the size are the source's.
TEST(FileCopy, TheHolesOfASparseFileAreKept) {
    QTemporaryDir dir;
    constexpr off_t kSize = 4 << 20;
    const struct {
        const char* name;
        std::vector<off_t> dataAt;  // 4 KB of data at each offset
    } cases[] = {
        {"holes around", {2 << 20}},
        {"data at both ends", {0, kSize - 4096}},
        {"only a hole", {}},
    };
    for (const auto& c : cases) {
        const QString source = dir.filePath(c.name);
        {
            QFile f(source);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            for (const off_t at : c.dataAt) {
                f.seek(at);
                f.write(QByteArray(4096, 'd'));
            }
            f.resize(kSize);
        }
        if (qint64(statOf(source).st_blocks) * 512 >= kSize) GTEST_SKIP() << "no sparse files here";
        platform::SetCopyChunkSize(1 << 20);
        const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(source, source + ".copy");
        platform::SetCopyChunkSize(0);
        ASSERT_TRUE(outcome.ok()) << c.name << ": " << outcome.description.toStdString();
        EXPECT_EQ(outcome.bytes, kSize) << c.name;
        EXPECT_EQ(read(source + ".copy"), read(source)) << c.name;
        EXPECT_LE(statOf(source + ".copy").st_blocks, statOf(source).st_blocks + 64) << c.name;
    }
}

// Ordinary and sparse files, offloaded to the kernel or read and written, in
// one chunk or many: the same bytes, the same size, a turn of the windows
// after each full chunk of data and none for a file of one short chunk.
TEST(FileCopy, EveryWayOfCopyingGivesTheSameBytesAndTurns) {
    QTemporaryDir dir;
    constexpr qint64 kChunk = 64 * 1024;
    const struct {
        const char* name;
        qint64 size;
        std::vector<qint64> dataAt;  // empty: data throughout; else kChunk of data at each offset
        int turns;                   // window turns expected
    } cases[] = {
        {"small", 1000, {}, 0},
        {"one chunk exactly", kChunk, {}, 1},
        {"ten chunks and a bit", 10 * kChunk + 5, {}, 10},
        {"sparse, three data chunks", 32 * kChunk, {0, 9 * kChunk, 31 * kChunk}, 3},
    };
    for (const auto& c : cases) {
        QByteArray data(c.size, '\0');
        for (qint64 i = 0; i < c.size; ++i)
            if (c.dataAt.empty() ||
                std::any_of(c.dataAt.begin(), c.dataAt.end(), [&](qint64 at) { return i >= at && i < at + kChunk; }))
                data[i] = char(i * 13 % 251 + 1);
        const QString source = dir.filePath(c.name);
        {
            QFile f(source);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            if (c.dataAt.empty()) f.write(data);
            for (const qint64 at : c.dataAt) {
                f.seek(at);
                f.write(data.mid(at, kChunk));
            }
            f.resize(c.size);
        }
        const bool sparse = !c.dataAt.empty();
        if (sparse && qint64(statOf(source).st_blocks) * 512 >= c.size) {
            std::printf("[ SKIPPED  ] %s: no sparse files in this temporary folder\n", c.name);
            continue;
        }
        for (const bool offload : {true, false}) {
            const std::string what = std::string(c.name) + (offload ? ", offloaded" : ", read and written");
            int turns = 0;
            platform::SetCopyOffload(offload);
            platform::SetCopyChunkSize(kChunk);
            platform::SetCopyChunkPacer([&] { ++turns; });
            const QString target = source + (offload ? ".k" : ".rw");
            const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(source, target);
            platform::SetCopyOffload(true);
            platform::SetCopyChunkSize(0);
            platform::SetCopyChunkPacer({});
            ASSERT_TRUE(outcome.ok()) << what << ": " << outcome.description.toStdString();
            EXPECT_EQ(outcome.bytes, c.size) << what;
            EXPECT_EQ(read(target), data) << what;
            EXPECT_EQ(turns, c.turns) << what;
            if (sparse) {
                EXPECT_LT(qint64(statOf(target).st_blocks) * 512, c.size) << what << ": the holes were filled";
            }
        }
    }
}

// Whichever way the bytes go, a target that runs out of space is a failed
// target, and neither a partial copy nor a temporary file is left.
TEST(FileCopy, AFullTargetFailsTheCopyEitherWay) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    QTemporaryDir dir;
    write(dir.filePath("src"), QByteArray(256 * 1024, 'x'));
    write(disk.path("target"), "the last good copy");
    disk.fill();
    for (const bool offload : {true, false}) {
        platform::SetCopyOffload(offload);
        const platform::CopyOutcome outcome = platform::CopyFileKeepingTimes(dir.filePath("src"), disk.path("target"));
        platform::SetCopyOffload(true);
        EXPECT_EQ(outcome.result, platform::CopyResult::TargetFailed) << (offload ? "offloaded" : "read and written");
        EXPECT_EQ(outcome.error, ENOSPC);
        EXPECT_EQ(read(disk.path("target")), "the last good copy");
        EXPECT_EQ(disk.names(), (QStringList{"filler", "target"}));
    }
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
// The target folder of one folder's copies is held across them: renamed or
// replaced by a link meanwhile, it still takes them, and none leaves the
// backup folder; deleted, it is made again; a folder entered afresh is
// never reached through a link.
TEST(FileCopy, TheHeldTargetFolderTakesTheCopiesOfItsFolderAndNeverLeadsOut) {
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

    // Renamed away and replaced by a link: the held folder takes the copy.
    ASSERT_TRUE(QDir().rename(dir.filePath("root/a/b"), dir.filePath("root/a/old")));
    ASSERT_TRUE(toLink(dir.filePath("root/a/b")));
    EXPECT_TRUE(platform::CopyFileBelow(src, root, "a/b/", "4", &run).ok());
    // Entered afresh, a level replaced by a link is refused.
    ASSERT_TRUE(platform::CopyFileBelow(src, root, "c/d", "5", &run).ok());
    ASSERT_TRUE(QDir().rename(dir.filePath("root/c"), dir.filePath("root/c-old")));
    ASSERT_TRUE(toLink(dir.filePath("root/c")));
    EXPECT_EQ(platform::CopyFileBelow(src, root, "c/e", "6", &run).result, platform::CopyResult::LeavesFolder);
    EXPECT_EQ(platform::CopyFileBelow(src, root, "a/b/", "7", &run).result, platform::CopyResult::LeavesFolder);
    EXPECT_TRUE(entries(dir.filePath("outside")).isEmpty());
    EXPECT_EQ(entries(dir.filePath("root/a/old")), (QStringList{"3", "4"}));
    EXPECT_EQ(entries(dir.filePath("root/c-old/d")), QStringList{"5"});

    // The root may be reached through a link; once the run holds it, a link
    // pointed elsewhere later takes no copy there.
    QDir(dir.path()).mkpath("root2");
    ASSERT_EQ(::symlink("root", QFile::encodeName(dir.filePath("dest")).constData()), 0);
    platform::CopyRun linked;
    ASSERT_TRUE(platform::CopyFileBelow(src, dir.filePath("dest"), "", "7", &linked).ok());
    ASSERT_TRUE(QFile::remove(dir.filePath("dest")));
    ASSERT_EQ(::symlink("root2", QFile::encodeName(dir.filePath("dest")).constData()), 0);
    ASSERT_TRUE(platform::CopyFileBelow(src, dir.filePath("dest"), "", "8", &linked).ok());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/7")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("root/8")));
    EXPECT_TRUE(entries(dir.filePath("root2")).isEmpty());
}

namespace {
// The file's owner, group and permission bits.
struct Owned {
    uid_t uid;
    gid_t gid;
    mode_t bits;
    bool operator==(const Owned&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Owned& o) {
    return out << o.uid << ':' << o.gid << " 0" << std::oct << o.bits << std::dec;
}
Owned ownedOf(const QString& path) {
    const struct stat st = statOf(path);
    return {st.st_uid, st.st_gid, st.st_mode & 07777};
}
void chownTo(const QString& path, uid_t uid, gid_t gid) {
    ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), uid, gid), 0) << path.toStdString();
}
void chmodTo(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}
// Runs step before the copies of the test, and no longer once it ends.
struct BeforeEachCopy {
    explicit BeforeEachCopy(std::function<void(const QString&)> step) { platform::SetBeforeCopyStep(std::move(step)); }
    ~BeforeEachCopy() { platform::SetBeforeCopyStep({}); }
};
}  // namespace

// Run as root, every copy keeps its original's owner and group, and so its
// set-ID bits; a copy that cannot be given them keeps no set-ID bit, so no
// program becomes root's (or the destination group's) by being backed up.
TEST(FileCopy, ACopyKeepsItsOwnerAndGroupOrLosesItsSetIdBits) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own files of another user and to lose that power";
    QTemporaryDir dir;
    chmodTo(dir.path(), 0755);
    QDir(dir.path()).mkpath("src");
    QDir(dir.path()).mkpath("dest");
    // The destination hands its group to whatever is made in it.
    chownTo(dir.filePath("dest"), 0, 65534);
    chmodTo(dir.filePath("dest"), 02777);
    struct Case {
        const char* name;
        uid_t uid;
        gid_t gid;
        mode_t mode;
        bool asOrdinaryUser;  // the copy cannot be given another owner
        Owned copy;
    } const cases[] = {
        {"setuid-program", 65534, 65534, 04755, false, {65534, 65534, 04755}},
        {"setgid-program", 65534, 65534, 02755, false, {65534, 65534, 02755}},
        {"group-readable", 0, 0, 0640, false, {0, 0, 0640}},
        {"roots-setuid", 0, 0, 04755, true, {65534, 65534, 0755}},
        {"roots-setgid", 0, 0, 02755, true, {65534, 65534, 0755}},
        {"sticky-kept", 0, 0, 01755, true, {65534, 65534, 01755}},
    };
    for (const Case& c : cases) {
        const QString source = dir.filePath("src/") + c.name;
        write(source, "program");
        chownTo(source, c.uid, c.gid);
        chmodTo(source, c.mode);
        platform::CopyOutcome outcome;
        {
            std::optional<AsOrdinaryUser> user;
            if (c.asOrdinaryUser) user.emplace();
            platform::CopyRun run;
            outcome = platform::CopyFileBelow(source, dir.filePath("dest"), "", c.name, &run);
        }
        ASSERT_TRUE(outcome.ok()) << c.name << ": " << outcome.description.toStdString();
        // The ordinary user's copy is hers, with the destination's group.
        EXPECT_EQ(ownedOf(dir.filePath("dest/") + c.name), c.copy) << c.name;
    }
    // A link keeps its owner too.
    makeLink("src/setuid-program", dir.filePath("src/link"));
    chownTo(dir.filePath("src/link"), 65534, 65534);
    platform::CopyRun run;
    ASSERT_TRUE(platform::CopyFileBelow(dir.filePath("src/link"), dir.filePath("dest"), "", "link", &run).ok());
    const struct stat link = statOf(dir.filePath("dest/link"));
    EXPECT_EQ(std::pair(link.st_uid, link.st_gid), std::pair(65534u, 65534u));
}

// Below a listed folder no link is followed on the way to a source, however
// the path is resolved: a folder swapped for a link between the scan and the
// copy is a failed copy that names it. The listed folder itself may be a
// link, and a source that is a link is copied as one.
TEST(FileCopy, NoLinkBelowAListedFolderIsFollowedToASource) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("home/anna/letters");
    QDir(dir.path()).mkpath("secret/letters");
    QDir(dir.path()).mkpath("backup");
    write(dir.filePath("home/anna/letters/a.txt"), "anna's");
    write(dir.filePath("secret/letters/a.txt"), "root's");
    write(dir.filePath("secret/b.txt"), "root's");
    makeLink("a.txt", dir.filePath("home/anna/letters/link.txt"));
    makeLink(QFile::encodeName(dir.filePath("home/anna")), dir.filePath("listed-link"));
    const QString swapped = dir.filePath("home/anna/letters");
    const auto swap = [&](const QString&) {
        if (statOf(swapped).st_mode & S_IFDIR && !S_ISLNK(statOf(swapped).st_mode)) {
            QDir().rename(swapped, dir.filePath("home/anna/letters-real"));
            makeLink(QFile::encodeName(dir.filePath("secret/letters")), swapped);
        }
    };
    const auto unswap = [&] {
        if (S_ISLNK(statOf(swapped).st_mode)) {
            QFile::remove(swapped);
            QDir().rename(dir.filePath("home/anna/letters-real"), swapped);
        }
    };
    struct Case {
        const char* what;
        QString source;
        QString listed;  // the listed folder that holds the source
        bool swapFirst;
        platform::CopyResult result;
        QByteArray copy;  // the copy's data, or its link target
    } const cases[] = {
        {"plain", dir.filePath("home/anna/letters/a.txt"), dir.filePath("home/anna/"), false,
         platform::CopyResult::Copied, "anna's"},
        {"swapped level",
         dir.filePath("home/anna/letters/a.txt"),
         dir.filePath("home/anna/"),
         true,
         platform::CopyResult::SourceLeavesFolder,
         {}},
        {"swapped level, a shorter listed folder",
         dir.filePath("home/anna/letters/a.txt"),
         dir.filePath("home/"),
         true,
         platform::CopyResult::SourceLeavesFolder,
         {}},
        {"listed folder is a link", dir.filePath("listed-link/letters/a.txt"), dir.filePath("listed-link/"), false,
         platform::CopyResult::Copied, "anna's"},
        {"the source is a link", dir.filePath("home/anna/letters/link.txt"), dir.filePath("home/anna/"), false,
         platform::CopyResult::Copied, "a.txt"},
        {"listed nowhere: from the root, no link followed",
         dir.filePath("home/anna/letters/a.txt"),
         {},
         false,
         platform::CopyResult::Copied,
         "anna's"},
        {"listed nowhere, swapped level",
         dir.filePath("home/anna/letters/a.txt"),
         {},
         true,
         platform::CopyResult::SourceLeavesFolder,
         {}},
        {"listed nowhere, a link on the way",
         dir.filePath("listed-link/letters/a.txt"),
         {},
         false,
         platform::CopyResult::SourceLeavesFolder,
         {}},
    };
    for (const bool levelByLevel : {false, true}) {
        platform::SetSourceOpenedLevelByLevel(levelByLevel);
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + (levelByLevel ? " (level by level)" : "");
            QDir(dir.filePath("backup")).removeRecursively();
            QDir(dir.path()).mkpath("backup");
            platform::CopyOutcome outcome;
            {
                BeforeEachCopy step(c.swapFirst ? std::function<void(const QString&)>(swap) : nullptr);
                platform::CopyRun run;
                outcome = platform::CopyFileBelow(c.source, dir.filePath("backup"), "", "copy", &run, c.listed);
            }
            unswap();
            EXPECT_EQ(outcome.result, c.result) << what;
            const QString copy = dir.filePath("backup/copy");
            if (c.result != platform::CopyResult::Copied) {
                const QString link = c.swapFirst ? swapped : dir.filePath("listed-link");
                EXPECT_EQ(outcome.description, link + " is a link now") << what;
                EXPECT_TRUE(entries(dir.filePath("backup")).isEmpty()) << what;
            } else if (S_ISLNK(statOf(copy).st_mode)) {
                EXPECT_EQ(QFile::symLinkTarget(copy), dir.filePath("backup/") + c.copy) << what;
            } else {
                EXPECT_EQ(read(copy), c.copy) << what;
            }
        }
    }
    platform::SetSourceOpenedLevelByLevel(false);
}

// The backup folder is opened once: a name in the destination held by
// anything but a folder is refused, and a folder swapped for a link while the
// run copies takes none of the later copies to where the link points.
TEST(FileCopy, TheBackupFolderIsHeldAndNeverReachedThroughALink) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("dest/taken-by-folder");
    QDir(dir.path()).mkpath("rootonly");
    write(dir.filePath("dest/taken-by-file"), "x");
    makeLink(QFile::encodeName(dir.filePath("rootonly")), dir.filePath("dest/taken-by-link"));
    makeLink(QFile::encodeName(dir.filePath("dest")), dir.filePath("dest-link"));
    struct Case {
        const char* destination;
        const char* level;
        int error;
    } const cases[] = {
        {"dest", "20240101", 0},
        {"dest", "taken-by-folder", 0},
        {"dest-link", "20240102", 0},
        {"dest", "", 0},
        {"dest", "taken-by-link", ENOTDIR},
        {"dest", "taken-by-file", ENOTDIR},
        {"missing", "20240101", ENOENT},
        {"dest", "../rootonly", EINVAL},
    };
    for (const Case& c : cases) {
        platform::CopyRun run;
        int error = -1;
        EXPECT_EQ(run.openBackupFolder(dir.filePath(c.destination), c.level, error), c.error == 0)
            << c.destination << '/' << c.level;
        EXPECT_EQ(error, c.error) << c.destination << '/' << c.level;
        if (QByteArray(c.level) == "taken-by-link") {
            EXPECT_EQ(run.backupFolderReason,
                      dir.filePath("dest/taken-by-link") + " is a link, which the run does not follow");
        }
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("dest/20240102")).isDir()) << "the destination may be a link";
    if (::geteuid() == 0) {
        EXPECT_EQ(statOf(dir.filePath("dest/20240101")).st_mode & 07777, 0700u);
    }

    // The dated folder becomes a link to a root-only folder after the first copy.
    write(dir.filePath("a.txt"), "a");
    write(dir.filePath("b.txt"), "b");
    int copies = 0;
    BeforeEachCopy step([&](const QString&) {
        if (++copies != 2) return;
        QDir().rename(dir.filePath("dest/20240101"), dir.filePath("dest/moved"));
        makeLink(QFile::encodeName(dir.filePath("rootonly")), dir.filePath("dest/20240101"));
    });
    platform::CopyRun run;
    int error = 0;
    ASSERT_TRUE(run.openBackupFolder(dir.filePath("dest"), "20240101", error));
    for (const char* name : {"a.txt", "b.txt"})
        EXPECT_TRUE(platform::CopyFileBelow(dir.filePath(name), dir.filePath("dest/20240101"), "sub", name, &run).ok());
    EXPECT_TRUE(entries(dir.filePath("rootonly")).isEmpty());
    EXPECT_EQ(entries(dir.filePath("dest/moved/sub")), (QStringList{"a.txt", "b.txt"}));
}

// A folder kept for a source folder that is read-only, or private, stays
// open to the run's user while the run copies into it, on every run, and
// takes the source folder's bits once the run is done with it.
TEST(FileCopy, FolderBitsFollowTheSourceFolderOnceTheRunIsDone) {
    QTemporaryDir dir;
    chmodTo(dir.path(), 0755);
    QDir(dir.path()).mkpath("src");
    QDir(dir.path()).mkpath("backup");
    const bool asRoot = ::geteuid() == 0;
    // Root ignores the bits: the copies run as an ordinary user who owns the folders.
    if (asRoot)
        for (const char* folder : {"src", "backup"}) chownTo(dir.filePath(folder), 65534, 65534);
    const QString relative = dir.filePath("src/kept").mid(1);
    const auto runOnce = [&](mode_t sourceBits, const std::vector<const char*>& names) {
        for (const char* name : names) {
            const QString file = dir.filePath("src/kept/") + name;
            if (!QFileInfo::exists(file)) {
                chmodTo(dir.filePath("src/kept"), 0755);
                write(file, name);
                if (asRoot) chownTo(file, 65534, 65534);
            }
        }
        chmodTo(dir.filePath("src/kept"), sourceBits);
        std::optional<AsOrdinaryUser> user;
        if (asRoot) user.emplace();
        platform::CopyRun run;
        run.mirrorSourceFolders = true;
        for (const char* name : names) {
            const platform::CopyOutcome outcome =
                platform::CopyFileBelow(dir.filePath("src/kept/") + name, dir.filePath("backup"), relative, name, &run);
            EXPECT_TRUE(outcome.ok()) << name << ": " << outcome.description.toStdString();
        }
        EXPECT_TRUE(run.finishFolders().isEmpty());
    };
    QDir(dir.path()).mkpath("src/kept");
    if (asRoot) chownTo(dir.filePath("src/kept"), 65534, 65534);
    const QString kept = dir.filePath("backup/") + relative;
    struct Step {
        mode_t source;
        std::vector<const char*> names;
    } const steps[] = {
        {0555, {"a", "b"}}, {0555, {"c"}}, {0500, {"d"}}, {0755, {"e"}}, {0700, {"f"}},
    };
    for (const Step& step : steps) {
        runOnce(step.source, step.names);
        EXPECT_EQ(statOf(kept).st_mode & 07777, step.source) << std::oct << step.source;
        for (const char* name : step.names) EXPECT_EQ(read(kept + '/' + name), name);
    }
    chmodTo(kept, 0755);
}

// Run as root, a link that root does not own is never followed on the way to
// the destination or a listed folder, and a source below no listed folder is
// reached through no link at all; root's own links are followed, and an
// ordinary user follows every link to the destination and listed folders.
TEST(FileCopy, RootFollowsNoLinkAnotherUserOwnsToADestinationOrASource) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule is root's, and links are given to other users";
    QTemporaryDir dir;
    chmodTo(dir.path(), 0755);
    for (const char* folder : {"dest", "src/sub", "secret", "media"}) QDir(dir.path()).mkpath(folder);
    chmodTo(dir.filePath("dest"), 0777);
    write(dir.filePath("src/sub/a.txt"), "a");
    chmodTo(dir.filePath("src/sub/a.txt"), 0644);
    enum class Place { Destination, ListedFolder, RetryRow };
    enum class Owner { Root, RunningUser, SomeoneElse };
    struct Case {
        Place place;
        Owner owner;
        bool followed;
    } const cases[] = {
        {Place::Destination, Owner::Root, true},         {Place::Destination, Owner::RunningUser, true},
        {Place::Destination, Owner::SomeoneElse, false}, {Place::ListedFolder, Owner::Root, true},
        {Place::ListedFolder, Owner::RunningUser, true}, {Place::ListedFolder, Owner::SomeoneElse, false},
        {Place::RetryRow, Owner::Root, false},           {Place::RetryRow, Owner::RunningUser, false},
        {Place::RetryRow, Owner::SomeoneElse, false},
    };
    const QString link = dir.filePath("media/link");
    for (const Case& c : cases) {
        const std::string what = std::to_string(int(c.place)) + "/" + std::to_string(int(c.owner));
        QFile::remove(link);
        QDir(dir.filePath("dest")).removeRecursively();
        QDir(dir.path()).mkpath("dest");
        chmodTo(dir.filePath("dest"), 0777);
        makeLink(QFile::encodeName(dir.filePath(c.place == Place::Destination ? "dest" : "src")), link);
        // As root, the running user is root; as an ordinary user, Anna runs
        // the copy over Ben's link.
        chownTo(link, c.owner == Owner::SomeoneElse ? kBert : 0, c.owner == Owner::SomeoneElse ? kBert : 0);
        const auto copy = [&]() -> bool {
            platform::CopyRun run;
            const QString destination = c.place == Place::Destination ? link : dir.filePath("dest");
            const QString source = c.place == Place::Destination ? dir.filePath("src/sub/a.txt") : link + "/sub/a.txt";
            const QString listed = c.place == Place::RetryRow       ? QString()
                                   : c.place == Place::ListedFolder ? link + '/'
                                                                    : dir.filePath("src/");
            return platform::CopyFileBelow(source, destination, "", "a.txt", &run, listed).ok();
        };
        if (c.owner == Owner::RunningUser) {
            chownTo(link, kBert, kBert);
            EXPECT_EQ(ExitStatusAs(kAnna, kAnna, [&] { return copy() ? 0 : 1; }), c.followed ? 0 : 1) << what;
        } else {
            EXPECT_EQ(copy(), c.followed) << what;
        }
        EXPECT_EQ(QFileInfo::exists(dir.filePath("dest/a.txt")), c.followed) << what;
    }
    // The refusal names the link and its owner.
    QFile::remove(link);
    makeLink(QFile::encodeName(dir.filePath("dest")), link);
    chownTo(link, kBert, kBert);
    platform::CopyRun run;
    int error = 0;
    EXPECT_FALSE(run.openBackupFolder(link, "20240101", error));
    EXPECT_EQ(run.backupFolderReason, link + " is a link owned by " + QString::number(kBert));
}

// Run as root, a backup folder or kept folder that exists is used only when
// it belongs to root or to the source folder's owner and lets nobody else
// write in it more than the source folder does: a folder another user made
// in a destination open to all takes no copy.
TEST(FileCopy, RootCopiesIntoNoFolderAnotherUserMadeOrMayWrite) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule is root's, and folders are given to other users";
    QTemporaryDir dir;
    chmodTo(dir.path(), 0755);
    QDir(dir.path()).mkpath("dest");
    chmodTo(dir.filePath("dest"), 01777);
    QDir(dir.path()).mkpath("src/anna");
    chownTo(dir.filePath("src/anna"), kAnna, kAnna);
    chmodTo(dir.filePath("src/anna"), 0750);
    write(dir.filePath("src/anna/a.txt"), "a");
    const QString kept = dir.filePath("src/anna").mid(1);  // the kept path of src/anna
    struct Case {
        const char* name;
        const char* level;  // the backup folder made before the run
        uid_t owner;
        mode_t mode;
        bool used;
    } const backupFolders[] = {
        {"root's", "20240101", 0, 0700, true},
        {"root's, others may read", "20240102", 0, 0755, true},
        {"Anna's", "20240103", kAnna, 0700, false},
        {"root's, open to all", "20240104", 0, 0777, false},
        {"root's, group may write", "20240105", 0, 0770, false},
    };
    for (const Case& c : backupFolders) {
        QDir(dir.filePath("dest")).mkdir(c.level);
        chownTo(dir.filePath("dest/") + c.level, c.owner, c.owner);
        chmodTo(dir.filePath("dest/") + c.level, c.mode);
        platform::CopyRun run;
        int error = 0;
        EXPECT_EQ(run.openBackupFolder(dir.filePath("dest"), c.level, error), c.used) << c.name;
        if (!c.used) {
            EXPECT_TRUE(run.backupFolderReason.contains(" is not used - ")) << c.name;
        }
    }
    // Kept folders: the level for src/anna may be Anna's own (an earlier
    // run gave it to her) or root's, never Ben's, and never open to others
    // more than src/anna is.
    const struct {
        const char* name;
        uid_t owner;
        mode_t mode;
        bool used;
    } keptFolders[] = {
        {"the source folder's owner", kAnna, 0750, true},
        {"root, while the run copies", 0, 0700, true},
        {"another user", kBert, 0750, false},
        {"the owner, open to all", kAnna, 0777, false},
    };
    for (const auto& c : keptFolders) {
        QDir(dir.filePath("dest/20240101")).removeRecursively();
        QDir(dir.filePath("dest")).mkpath(QStringLiteral("20240101/") + kept);
        chownTo(dir.filePath("dest/20240101/") + kept, c.owner, c.owner);
        chmodTo(dir.filePath("dest/20240101/") + kept, c.mode);
        platform::CopyRun run;
        run.mirrorSourceFolders = true;
        int error = 0;
        ASSERT_TRUE(run.openBackupFolder(dir.filePath("dest"), "20240101", error));
        const platform::CopyOutcome outcome =
            platform::CopyFileBelow(dir.filePath("src/anna/a.txt"), "", kept, "a.txt", &run, dir.filePath("src/"));
        EXPECT_EQ(outcome.ok(), c.used) << c.name << ": " << outcome.description.toStdString();
        if (!c.used) {
            EXPECT_EQ(outcome.result, platform::CopyResult::FolderRefused) << c.name;
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("dest/20240101/") + kept + "/a.txt")) << c.name;
        }
    }
}

// Kept folders take the owner and bits of the source folder the run held
// when it copied into it: a private folder swapped for a link to an open
// one while the run is busy elsewhere leaves its backup private and its
// owner's.
TEST(FileCopy, KeptFoldersFollowTheSourceFolderTheRunHeld) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give folders to other users";
    QTemporaryDir dir;
    chmodTo(dir.path(), 0755);
    for (const char* folder : {"dest", "src/ben", "src/anna-open", "src/other"}) QDir(dir.path()).mkpath(folder);
    chownTo(dir.filePath("src/ben"), kBert, kBert);
    chmodTo(dir.filePath("src/ben"), 0700);
    chownTo(dir.filePath("src/anna-open"), kAnna, kAnna);
    chmodTo(dir.filePath("src/anna-open"), 0777);
    write(dir.filePath("src/ben/private.txt"), "ben's");
    write(dir.filePath("src/other/b.txt"), "b");
    BeforeEachCopy step([&](const QString& source) {
        if (!source.endsWith("b.txt")) return;
        QDir().rename(dir.filePath("src/ben"), dir.filePath("src/ben-moved"));
        makeLink("anna-open", dir.filePath("src/ben"));
        chownTo(dir.filePath("src/ben"), kAnna, kAnna);
    });
    const QString kept = dir.filePath("src/ben").mid(1);
    {
        platform::CopyRun run;
        run.mirrorSourceFolders = true;
        int error = 0;
        ASSERT_TRUE(run.openBackupFolder(dir.filePath("dest"), "", error));
        for (const char* file : {"src/ben/private.txt", "src/other/b.txt"}) {
            const QString source = dir.filePath(file);
            EXPECT_TRUE(platform::CopyFileBelow(source, "", source.mid(1, source.lastIndexOf('/')),
                                                QFileInfo(source).fileName(), &run, dir.filePath("src/"))
                            .ok())
                << file;
        }
        EXPECT_TRUE(run.finishFolders().isEmpty());
    }
    const struct stat st = statOf(dir.filePath("dest/") + kept);
    EXPECT_EQ(st.st_uid, kBert);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}
