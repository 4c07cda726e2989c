#include "platform/AppendFile.h"
#include "platform/SaveFile.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <functional>

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
    const QString moved = dir.filePath("log.old");
    // What happens to the name after the file was opened.
    struct Case {
        const char* what;
        std::function<bool()> change;
        bool stillThere;
    } const cases[] = {
        {"left alone", [] { return true; }, true},
        {"renamed away", [&] { return QFile::rename(path, moved); }, false},
        {"deleted", [&] { return QFile::remove(path); }, false},
        // The name leads to the file again, but through a link: not the file itself.
        {"renamed and a link to it put in its place",
         [&] { return QFile::rename(path, moved) && QFile::link(moved, path); }, false},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        QFile::remove(moved);
        platform::AppendFile file;
        ASSERT_TRUE(file.open(path)) << c.what;
        ASSERT_TRUE(c.change()) << c.what;
        EXPECT_EQ(file.stillAtPath(), c.stillThere) << c.what;
    }
}

// A list made afresh in an open folder: a regular file in its place is
// replaced by a new one (another name of the old file, and whoever holds it
// open, keeps the old lines and sees none of the new); anything else in its
// place is refused and left as it is.
TEST(AppendFile, OpenNewMakesTheFileAfreshOrRefusesWhatIsInItsPlace) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("folder");
    QDir(dir.path()).mkpath("target");
    QFile old(dir.filePath("old"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old lines\n");
    old.close();
    ASSERT_EQ(
        ::link(QFile::encodeName(dir.filePath("old")).constData(), QFile::encodeName(dir.filePath("hard")).constData()),
        0);
    ASSERT_TRUE(QFile::link(dir.filePath("target/x"), dir.filePath("link")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    struct Case {
        const char* name;
        int error;
    } const cases[] = {
        {"absent", 0}, {"hard", 0}, {"link", ELOOP}, {"folder", EISDIR}, {"fifo", platform::kNotARegularFile}};
    for (const Case& c : cases) {
        platform::AppendFile file;
        EXPECT_EQ(file.openNew(folder, c.name, dir.filePath(c.name)), c.error == 0) << c.name;
        EXPECT_EQ(file.error(), c.error) << c.name;
        if (c.error != 0) continue;
        EXPECT_TRUE(file.append("new\n"));
        EXPECT_EQ(read(dir.filePath(c.name)), "new\n") << c.name;
        struct stat st {};
        ::stat(QFile::encodeName(dir.filePath(c.name)).constData(), &st);
        if (::geteuid() == 0) {
            EXPECT_EQ(st.st_mode & 07777, 0600u) << c.name;
        }
    }
    ::close(folder);
    EXPECT_EQ(read(dir.filePath("old")), "old lines\n");
    EXPECT_TRUE(QDir(dir.filePath("target")).isEmpty());
}

// Run as root, the files and folders the programs make for themselves are
// private, however they are written; a file replaced whole keeps its mode.
TEST(AppendFile, AsRootWhatTheProgramsMakeIsPrivate) {
    if (::geteuid() != 0) GTEST_SKIP() << "the files the programs make are private only when they run as root";
    QTemporaryDir dir;
    const auto modeOf = [&](const char* name) {
        struct stat st {};
        ::lstat(QFile::encodeName(dir.filePath(name)).constData(), &st);
        return st.st_mode & 07777;
    };
    EXPECT_TRUE(platform::AppendToFile(dir.filePath("log"), "line\n"));
    EXPECT_TRUE(platform::ReplaceFile(dir.filePath("list"), "line\n", nullptr));
    EXPECT_EQ(modeOf("log"), 0600u);
    EXPECT_EQ(modeOf("list"), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("list")).constData(), 0644), 0);
    EXPECT_TRUE(platform::ReplaceFile(dir.filePath("list"), "again\n", nullptr));
    EXPECT_EQ(modeOf("list"), 0644u);
}
