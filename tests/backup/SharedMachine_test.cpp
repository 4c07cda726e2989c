// A run as root on a machine other users share: folder-list entries however
// written, listed folders behind other users' links, and backup folders
// other users made are never a way to root's or other users' files.
#include "BackupTestSupport.h"
#include "backup/BackupRun.h"
#include "backup/frmProgress.h"
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "platform/FileCopy.h"
#include "support/AsOrdinaryUser.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace {
class SharedMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        RunningSilently = true;
        ::chmod(QFile::encodeName(env.folder()).constData(), 0755);
        env.writeFile("ExcludedPaths.txt", "");
        source("src/sub/a.txt", "a");
        source("src/sub2/b.txt", "b");
        source("secret/b.txt", "root's");
    }
    void TearDown() override {
        RunningSilently = false;
        platform::SetBeforeCopyStep({});
    }
    void source(const QString& relative, const QByteArray& data) {
        const QString path = env.path(relative);
        WriteBytes(path, data);
        const qint64 at = QDateTime(QDate(2003, 4, 28), QTime(9, 0)).toSecsSinceEpoch();
        const struct timespec times[2] = {{at, 0}, {at, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    void writeIni(int type) {
        env.writeFile("corvex.ini",
                      "[general]\r\nbackupTo=" + env.path("dest") + "\r\nbackupType=" + QString::number(type) +
                          "\r\ndateOfLastBackup=2003-04-01 08:00:00\r\n[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    }
    int run() {
        form = std::make_unique<frmProgress>();
        form->Form_Load();
        return RunBackup(form->backupParameters(), nullptr);
    }
    static void giveTo(const QString& path, uid_t uid, mode_t mode) {
        ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), uid, uid), 0);
        if (mode) {
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        }
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    std::unique_ptr<frmProgress> form;
};
}  // namespace

// A folder is the listed folder however the entry writes it: a subfolder
// swapped for a link during the run is a failed copy for each spelling.
TEST_F(SharedMachineTest, AListedFolderIsTheSameFolderHoweverItIsWritten) {
    writeIni(0);
    boxes.answerAllWith(platform::Answer::Yes);
    const QString root = env.folder();
    const QString parent = root.left(root.lastIndexOf('/'));
    const QString last = root.mid(root.lastIndexOf('/') + 1);
    const QString spellings[] = {root + "//src/*", root + "/./src/*",
                                 parent + "/../" + parent.mid(1) + '/' + last + "/src/*", root + "/src//*"};
    for (const QString& entry : spellings) {
        SCOPED_TRACE(entry.toStdString());
        env.writeFile("MyPaths.txt", entry + "\r\n");
        QDir(env.path("dest")).removeRecursively();
        QDir().mkpath(env.path("dest"));
        QFile::remove(env.path("failed.txt"));
        platform::SetBeforeCopyStep([&](const QString& path) {
            if (!path.contains("/sub2/") || QFileInfo(env.path("src/sub2")).isSymLink()) return;
            QDir().rename(env.path("src/sub2"), env.path("src/sub2-real"));
            QFile::link(env.path("secret"), env.path("src/sub2"));
        });
        EXPECT_GE(run(), 1);
        platform::SetBeforeCopyStep({});
        EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "a");
        EXPECT_FALSE(QFileInfo::exists(env.path("dest/b.txt")));
        EXPECT_TRUE(env.readFile("corvex.log").contains(env.path("src/sub2") + " is a link now"));
        QFile::remove(env.path("src/sub2"));
        QDir().rename(env.path("src/sub2-real"), env.path("src/sub2"));
    }
}

// Run as root, a listed folder behind a link another user owns is not
// scanned: nothing is copied from it, the run has an error that names the
// link and its owner, and the date of the last backup stays. Root's own
// link is followed.
TEST_F(SharedMachineTest, RootScansNoListedFolderBehindAnotherUsersLink) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule is root's, and the link is given to another user";
    writeIni(0);
    const QString link = env.path("home-link");
    ASSERT_TRUE(QFile::link(env.path("src"), link));
    env.writeFile("MyPaths.txt", link + "/*\r\n");
    for (const uid_t owner : {kAnna, uid_t(0)}) {
        SCOPED_TRACE(owner);
        giveTo(link, owner, 0);
        const int errors = run();
        EXPECT_EQ(QFileInfo::exists(env.path("dest/a.txt")), owner == 0);
        if (owner == 0) {
            EXPECT_EQ(errors, 0);
            EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
        } else {
            EXPECT_GE(errors, 1);
            EXPECT_TRUE(env.readFile("corvex.log").contains(link + " is a link owned by " + QString::number(kAnna)));
            EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
        }
    }
}

// Run as root into a destination every user may write, a dated folder that
// another user made before the run takes none of root's copies: the run
// stops at the unwritable-destination box, with its error.
TEST_F(SharedMachineTest, RootCopiesNothingIntoABackupFolderAnotherUserMade) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the folder is given to another user";
    writeIni(1);
    env.writeFile("MyPaths.txt", env.path("src/*") + "\r\n");
    const QString dated = env.path("dest/20030428");
    ASSERT_TRUE(QDir().mkpath(dated));
    giveTo(env.path("dest"), 0, 01777);
    giveTo(dated, kAnna, 0777);
    boxes.answerAllWith(platform::Answer::OK);
    EXPECT_GE(run(), 1);
    EXPECT_TRUE(QDir(dated).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Cant write to the Destination folder");
}
