#include "backup/BackupRun.h"
#include "BackupTestSupport.h"
#include "backup/BackupList.h"
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "backup/RunLock.h"
#include "backup/StatusControls.h"
#include "backup/frmProgress.h"
#include "foundation/FileListModel.h"
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "platform/FileCopy.h"
#include "support/PlantedFile.h"
#include "support/ScopedTimeZone.h"
#include "support/ScopedWorkingFolder.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLockFile>
#include <QProgressBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <functional>
#include <memory>
#include <vector>

namespace {
class RunBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        RunningSilently = true;
        env.writeFile("MyPaths.txt", env.path("src/*") + "\r\n");
        env.writeFile("ExcludedPaths.txt", "/skip\r\n");
        source("work/a.txt", "aaaa", QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
        source("skip/b.txt", "bb", QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
        source("old.txt", "old", QDateTime(QDate(2003, 1, 1), QTime(9, 0)));
    }
    void TearDown() override { RunningSilently = false; }
    void source(const QString& relative, const QByteArray& data, const QDateTime& modified) {
        const QString path = env.path("src/" + relative);
        WriteBytes(path, data);
        const struct timespec times[2] = {{modified.toSecsSinceEpoch(), 0}, {modified.toSecsSinceEpoch(), 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    void writeIni(const QString& general) {
        env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") +
                                        "\r\ndateOfLastBackup=2003-04-01 08:00:00\r\n" + general +
                                        "[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    }
    frmProgress& window() {
        form = std::make_unique<frmProgress>();
        form->Form_Load();
        return *form;
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    std::unique_ptr<frmProgress> form;
};
}  // namespace

TEST_F(RunBackupTest, SilentRunWithKeepPathsIntoTheYearAndMonthFolder) {
    writeIni("backupType=5\r\nkeepPaths= 1\r\n");
    RunBackup(window().backupParameters(), nullptr);
    const QString folder = env.path("dest/2003-" + QLocale::system().monthName(4, QLocale::ShortFormat) + "/");
    EXPECT_EQ(ReadBytes(folder + env.path("src/work/a.txt")), "aaaa");
    EXPECT_EQ(QFileInfo(folder + env.path("src/work/a.txt")).lastModified(),
              QFileInfo(env.path("src/work/a.txt")).lastModified());
    EXPECT_FALSE(QFileInfo::exists(folder + env.path("src/skip/b.txt")));
    EXPECT_FALSE(QFileInfo::exists(folder + env.path("src/old.txt")));
    EXPECT_EQ(env.readLines("copied.txt"), QStringList{env.path("src/work/a.txt")});
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_EQ(BackupType, 5);
    EXPECT_EQ(KeepPaths, 1);
    EXPECT_EQ(BackupTo, env.path("dest"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(boxes.count(), 0);
}

// The settings file kept elsewhere behind a link takes the run's date, and
// the next run lists from it; a date that cannot be stored is an error of
// the run, which ends with status 1.
TEST_F(RunBackupTest, TheDateIsStoredThroughALinkAndADateNotStoredIsAnError) {
    writeIni("backupType=0\r\n");
    const QString kept = env.path("kept/corvex.ini");
    ASSERT_TRUE(QDir().mkpath(env.path("kept")));
    ASSERT_TRUE(QFile::rename(env.ini(), kept));
    ASSERT_TRUE(QFile::link(kept, env.ini()));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
    EXPECT_TRUE(QFileInfo(env.ini()).isSymLink());
    EXPECT_EQ(ReadIni(kept, "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_EQ(RunExitStatus(), 0);

    // A read-only settings file is never replaced, whoever runs the program.
    ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), 0444), 0);
    env.setNow(BackupTestNow().addDays(1));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 1);
    EXPECT_EQ(ReadIni(kept, "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_TRUE(env.readLines("events.log").last().endsWith(" with 1 errors"));
    EXPECT_TRUE(
        env.readFile("corvex.log").contains(",WriteIniValues : Cant write the settings file '" + env.ini() + "' - "));
    EXPECT_EQ(RunExitStatus(), 1);
    EXPECT_EQ(boxes.count(), 0);
}

// A silent run that has to show a box has said why in the program log
// before: with a link or a FIFO in place of folders.lis the run stops at the
// save's box, and nothing waits on the FIFO.
TEST_F(RunBackupTest, EveryBoxOfARunHasItsLogLineBeforeItAppears) {
    writeIni("backupType=0\r\n");
    for (const Planted kind : {Planted::LinkToOutside, Planted::Fifo}) {
        SCOPED_TRACE(PlantedName(kind));
        const QString lis = env.path("folders.lis");
        QFile::remove(lis);
        QFile::remove(env.path("corvex.log"));
        const PlantedFile planted(lis, kind);
        ASSERT_TRUE(planted.made());
        QStringList boxTexts;
        QStringList logAtBox;
        platform::SetBoxResponder([&](const platform::BoxRequest& box) {
            boxTexts << box.text;
            logAtBox << env.readFile("corvex.log");
            return platform::BoxReply{platform::Answer::OK, {}};
        });
        {
            FifoGuard guard(lis);
            RunBackup(window().backupParameters(), nullptr);
            EXPECT_FALSE(guard.fired()) << "the run waited on the FIFO";
        }
        platform::SetBoxResponder({});
        ASSERT_EQ(boxTexts.size(), 1);
        EXPECT_TRUE(boxTexts[0].startsWith("An Error occurred in SaveListboxToFile: ")) << boxTexts[0].toStdString();
        EXPECT_TRUE(logAtBox[0].contains(",ErrorSaveListboxToFile: ") && logAtBox[0].contains(lis))
            << logAtBox[0].toStdString();
        EXPECT_TRUE(planted.untouched());
    }
}

TEST_F(RunBackupTest, ADestinationInsideTheBackedUpTreeIsNotBackedUpAgainHoweverItIsWritten) {
    // The backups live below a scanned folder, reached through a link, and
    // three runs happen on one day with a backup folder per minute.
    ASSERT_TRUE(QDir().mkpath(env.path("src/Backup")));
    ASSERT_TRUE(QFile::link(env.path("src/Backup"), env.path("dest")));
    writeIni("backupType=7\r\nkeepPaths=1\r\n");
    for (int minute = 0; minute < 3; ++minute) {
        env.setNow(BackupTestNow().addSecs(60 * minute));
        EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
        EXPECT_EQ(env.readLines("copied.txt"), QStringList{env.path("src/work/a.txt")});
    }
    int copies = 0;
    for (QDirIterator it(env.path("src/Backup"), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++copies;
    EXPECT_EQ(copies, 3 * 3);  // a.txt and the two lists, per run
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(RunBackupTest, FilesThatFailedAreTriedAgainByTheNextRun) {
    writeIni("backupType=0\r\nIgnoreFailedFileCopies=1\r\n");
    // A folder takes the copy's place in the first run.
    ASSERT_TRUE(QDir().mkpath(env.path("dest/a.txt")));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 1);
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("src/work/a.txt")});
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:30");

    // A day later a.txt is older than the date window: failed.txt brings it
    // back, with a file listed there that has gone since.
    AppendLineToFile(env.path("failed.txt"), env.path("src/gone.txt"));
    ASSERT_TRUE(QDir().rmdir(env.path("dest/a.txt")));
    env.setNow(BackupTestNow().addDays(1));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_EQ(env.readLines("copied.txt"), QStringList{env.path("src/work/a.txt")});
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
    EXPECT_TRUE(env.readLines("events.log")
                    .last()
                    .endsWith(" copied 1 files (4 bytes) to " + env.path("dest/") + " with 0 errors"));
}

TEST_F(RunBackupTest, FoldersAndListsThatCannotBeReadAreErrorsOfTheRun) {
    writeIni("backupType=0\r\n");
    env.writeFile("MyPaths.txt", env.path("src/*") + "\r\n" + env.path("unplugged/*") + "\r\n");
    // A missing excluded list leaves nothing out; one that cannot be read is an error.
    ASSERT_TRUE(QFile::remove(env.path("ExcludedPaths.txt")));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 1);
    ASSERT_TRUE(QDir().mkpath(env.path("ExcludedPaths.txt")));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 2);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_TRUE(env.readLines("events.log").last().endsWith(" with 2 errors"));
    const QString log = env.readFile("corvex.log");
    EXPECT_EQ(log.count(",Form_Load : cant read list file " + env.path("ExcludedPaths.txt") + "\r\n"), 1);
    EXPECT_TRUE(log.contains(",BuildFolderList : cant find folder " + env.path("unplugged/") + "\r\n"));
    // Without its path list a run backs up nothing: an error, and the date
    // stays, so the next run with its list lists those changes again.
    const QString stored = ReadIni(env.ini(), "general", "dateOfLastBackup");
    ASSERT_TRUE(QFile::remove(env.path("MyPaths.txt")));
    EXPECT_GE(RunBackup(window().backupParameters(), nullptr), 1);
    const QString withoutList = env.readFile("corvex.log");
    EXPECT_TRUE(withoutList.contains(",Form_Load : cant read list file " + env.path("MyPaths.txt")));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), stored);
    EXPECT_TRUE(withoutList.contains(",The folder list " + env.path("MyPaths.txt") +
                                     " could not be read - the date of the last backup stays " + stored + "\r\n"));
}

// A listed folder on a disk that is unplugged for one run: the date stays, a
// file of it waiting for a retry waits on, both are errors of the run, and
// once the disk is back its changes made before that run are copied.
TEST_F(RunBackupTest, AListedFolderAwayForOneRunHasItsChangesCopiedWhenBack) {
    writeIni("backupType=0\r\n");
    env.writeFile("MyPaths.txt", env.path("src/*") + "\r\n" + env.path("usb/*") + "\r\n");
    WriteBytes(env.path("usb/photo.jpg"), "jpg");
    WriteBytes(env.path("usb/album/waiting.jpg"), "waiting");
    env.writeFile("failed.txt", env.path("usb/album/waiting.jpg") + "\r\n");
    const struct timespec times[2] = {{QDateTime(QDate(2003, 4, 20), QTime(9, 0)).toSecsSinceEpoch(), 0},
                                      {QDateTime(QDate(2003, 4, 20), QTime(9, 0)).toSecsSinceEpoch(), 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(env.path("usb/photo.jpg")).constData(), times, 0);
    ASSERT_TRUE(QDir().rename(env.path("usb"), env.path("usb-away")));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 2);
    EXPECT_TRUE(env.readLines("events.log").last().endsWith(" with 2 errors"));
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("usb/album/waiting.jpg")});
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",The listed folder " + env.path("usb/*") +
                              " was missing or could not be read - the date of the last backup stays "
                              "2003-04-01 08:00:00\r\n"));

    ASSERT_TRUE(QDir().rename(env.path("usb-away"), env.path("usb")));
    env.setNow(BackupTestNow().addDays(1));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
    EXPECT_EQ(ReadBytes(env.path("dest/photo.jpg")), "jpg");
    EXPECT_EQ(ReadBytes(env.path("dest/waiting.jpg")), "waiting");
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-29 14:05:30");
}

// A laptop taken west between two runs: the second run's window starts at
// the first run's moment, so a file changed that evening, after the first
// run but on the day before the stored one in the new zone, is copied.
TEST_F(RunBackupTest, AChangeOfZoneBetweenTwoRunsLosesNoChange) {
    writeIni("backupType=0\r\n");
    {
        const ScopedTimeZone utc("UTC0");
        env.setNow(QDateTime(QDate(2024, 1, 11), QTime(2, 30)));
        EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2024-01-11 02:30:00");
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackupUtcOffset"), "0");
    }
    const ScopedTimeZone losAngeles("PST8PDT,M3.2.0,M11.1.0");
    // 19:00 on the 10th there is half an hour after the first run.
    source("trip/evening.txt", "evening", QDateTime(QDate(2024, 1, 10), QTime(19, 0)));
    env.setNow(QDateTime(QDate(2024, 1, 11), QTime(8, 0)));
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
    EXPECT_EQ(ReadBytes(env.path("dest/evening.txt")), "evening");
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2024-01-11 08:00:00");
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackupUtcOffset"), "-28800");
}

// A dated folder that cannot be made, or is held by anything but a folder,
// stops the run as a destination that cannot be written does: its box, its
// program-log and failed.log lines with the reason, an error, the retry list
// kept, nothing written through a link in its place.
TEST_F(RunBackupTest, ADatedFolderThatCannotBeMadeLeavesTheTraceOfAnUnwritableDestination) {
    writeIni("backupType=1\r\n");
    env.writeFile("failed.txt", env.path("src/old.txt") + "\r\n");
    QDir().mkpath(env.path("elsewhere"));
    const std::vector<std::pair<std::function<void(const QString&)>, QString>> inTheWay = {
        {[](const QString& place) { WriteBytes(place, "a file where the folder goes"); }, "Not a directory"},
        // A link is not followed, so no folder is there.
        {[this](const QString& place) { ASSERT_TRUE(QFile::link(env.path("elsewhere"), place)); },
         env.path("dest/20030428") + " is a link, which the run does not follow"},
    };
    for (const auto& [putInTheWay, reason] : inTheWay) {
        const QString dated = env.path("dest/20030428");
        QDir().mkpath(env.path("dest"));
        putInTheWay(dated);
        boxes.answer(platform::Answer::OK);
        const int boxesBefore = boxes.count();
        const qsizetype failedLines = env.readLines("failed.log").size();
        EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 1);
        EXPECT_EQ(RunExitStatus(), 1);
        ASSERT_EQ(boxes.count(), boxesBefore + 1);
        EXPECT_EQ(boxes.last().title, "Cant write to the Destination folder");
        EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
        const QStringList failed = env.readLines("failed.log");
        ASSERT_EQ(failed.size(), failedLines + 1);
        EXPECT_TRUE(failed.last().endsWith(",Cant write to the destination folder " + dated + "/ - " + reason))
            << failed.last().toStdString();
        EXPECT_TRUE(env.readFile("corvex.log")
                        .contains(",Cant write to the destination folder " + dated + "/ - " + reason + "\r\n"));
        EXPECT_FALSE(env.readFile("corvex.log").contains("Cant create backup directory"));
        EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("src/old.txt")});
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
        EXPECT_TRUE(QDir(env.path("elsewhere")).isEmpty());
        QFile::remove(dated);
        RunErrors = 0;
    }
}

namespace {
// Runs step before each copy of the test's runs, and no longer once it ends.
struct BeforeEachCopy {
    explicit BeforeEachCopy(std::function<void(const QString&)> step) { platform::SetBeforeCopyStep(std::move(step)); }
    ~BeforeEachCopy() { platform::SetBeforeCopyStep({}); }
};
}  // namespace

// The dated folder is opened once: swapped for a link to another folder once
// the run has begun to copy, it takes the copies and lists all the same, and
// the folder the link points to gets nothing.
TEST_F(RunBackupTest, ADatedFolderSwappedForALinkWhileTheRunCopiesTakesNoCopyElsewhere) {
    writeIni("backupType=1\r\n");
    source("work/c.txt", "cc", QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
    QDir().mkpath(env.path("rootonly"));
    int copies = 0;
    BeforeEachCopy step([&](const QString&) {
        if (++copies != 2) return;
        ASSERT_TRUE(QDir().rename(env.path("dest/20030428"), env.path("dest/moved")));
        ASSERT_TRUE(QFile::link(env.path("rootonly"), env.path("dest/20030428")));
    });
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 0);
    EXPECT_EQ(copies, 2);
    EXPECT_TRUE(QDir(env.path("rootonly")).isEmpty());
    EXPECT_EQ(QDir(env.path("dest/moved")).entryList(QDir::Files, QDir::Name),
              (QStringList{"_fileDetails.txt", "_files.txt", "a.txt", "c.txt"}));
}

// Below a listed folder no link is followed: a subfolder swapped for a link
// between the scan and the copy is a failed copy with a line that names it,
// and nothing of the folder it points to is backed up.
TEST_F(RunBackupTest, ASourceFolderSwappedForALinkAfterTheScanIsAFailedCopy) {
    writeIni("backupType=0\r\nIgnoreFailedFileCopies=1\r\n");
    WriteBytes(env.path("secret/a.txt"), "root's own");
    BeforeEachCopy step([&](const QString&) {
        if (QFileInfo(env.path("src/work")).isSymLink()) return;
        ASSERT_TRUE(QDir().rename(env.path("src/work"), env.path("src/work-real")));
        ASSERT_TRUE(QFile::link(env.path("secret"), env.path("src/work")));
    });
    EXPECT_EQ(RunBackup(window().backupParameters(), nullptr), 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("dest/a.txt")));
    const QString source = env.path("src/work/a.txt");
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{source});
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",Cant copy file '" + source + "' - " + env.path("src/work") + " is a link now\r\n"));
    EXPECT_TRUE(env.readLines("events.log").last().endsWith(" with 1 errors"));
}

// Run as root, what the run makes for itself is private: the dated folder,
// its lists, the logs and the program folder's lists name every file of every
// user.
TEST_F(RunBackupTest, AsRootTheRunsOwnFoldersAndListsArePrivate) {
    if (::geteuid() != 0) GTEST_SKIP() << "the run's files are private only when it runs as root";
    writeIni("backupType=1\r\n");
    source("work/gone.txt", "x", QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
    // A file that fails: the list of failures and failed.log are made too.
    BeforeEachCopy step([&](const QString& source) {
        if (source.endsWith("gone.txt")) QFile::remove(source);
    });
    boxes.answerAllWith(platform::Answer::Yes);
    RunBackup(window().backupParameters(), nullptr);
    const std::pair<const char*, mode_t> made[] = {
        {"dest/20030428", 0700},
        {"dest/20030428/_files.txt", 0600},
        {"dest/20030428/_fileDetails.txt", 0600},
        {"corvex.log", 0600},
        {"events.log", 0600},
        {"failed.log", 0600},
        {"copied.txt", 0600},
        {"failed.txt", 0600},
        {"folders.lis", 0600},
    };
    for (const auto& [name, mode] : made) {
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(env.path(name)).constData(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 07777, mode) << name;
    }
}

TEST_F(RunBackupTest, StatusWindowShowsTheSteps) {
    writeIni("backupType=0\r\n");
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* frame = new QGroupBox(&window);
    frame->hide();
    auto* lblFile = new QLabel(frame);
    auto* current = new QProgressBar(frame);
    auto* total = new QProgressBar(&window);
    layout->addWidget(frame);
    layout->addWidget(total);
    const StatusControls status{frame, lblFile, current, total};
    RunBackup(this->window().backupParameters(), &status);
    EXPECT_TRUE(frame->isVisibleTo(&window));
    EXPECT_EQ(lblFile->text(), "Done!");
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    // Keep-paths off: everything straight into the base folder.
    EXPECT_EQ(env.readLines("dest/_files.txt"), QStringList{env.path("src/work/a.txt")});
}

TEST_F(RunBackupTest, AnUnknownTypeCopiesAndWritesNothing) {
    writeIni("backupType=8\r\n");
    RunBackup(window().backupParameters(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(env.path("dest")));
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
    EXPECT_EQ(boxes.count(), 0);
    // The silent run that did nothing says so in the program log.
    EXPECT_TRUE(env.readFile("corvex.log").contains(",Backup type 8 - Unknown Backup type - nothing backed up\r\n"));
}

TEST_F(RunBackupTest, EmptyOrBlankRootOrRelativeDestinationStartsNoBackupAndEndsWithStatusOne) {
    const std::vector<const char*> refused{"", "  ", "   /", "/.", "/tmp/..", "bk", "."};
    // Started from an empty folder of its own: a relative destination taken
    // as it stands would be made there.
    const ScopedWorkingFolder startedIn;
    ASSERT_TRUE(startedIn.isValid());
    for (const char* destination : refused) {
        env.writeFile("corvex.ini", QString("[general]\r\nbackupTo=") + destination +
                                        "\r\ndateOfLastBackup=2003-04-01 08:00:00\r\nbackupType=1\r\n[Plandel]\r\n"
                                        "dataPath=" +
                                        env.folder() + "\r\n");
        RunBackup(window().backupParameters(), nullptr);
    }
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
    // A blank one is missing; any other is named with what is wrong.
    const QString log = env.readFile("corvex.log");
    // "   /", a blank entry saved with its separator, is read back as "/".
    EXPECT_EQ(log.count(",There is no destination directory specified - nothing backed up\r\n"), 2);
    for (const QString wrong : {"/", "/.", "/tmp/..", "bk", "."})
        EXPECT_TRUE(log.contains(",The destination directory '" + wrong +
                                 "' must be a full path, beginning with /, to a folder other than the root folder - "
                                 "nothing backed up\r\n"))
            << wrong.toStdString();
    EXPECT_TRUE(startedIn.entries().isEmpty())
        << "nothing is made in the folder the program was started in: " << qPrintable(startedIn.entries().join(", "));
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_EQ(RunExitStatus(), 1);
}

TEST_F(RunBackupTest, ARunHeldByAnotherLeavesItsListsAlone) {
    writeIni("backupType=0\r\n");
    env.writeFile("copied.txt", "/the/other/run.txt\r\n");
    QLockFile other(RunLock::path());
    ASSERT_TRUE(other.tryLock(0));
    // Silent: a level-0 line and a run error, no box.
    RunBackup(window().backupParameters(), nullptr);
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",Another backup run holds " + RunLock::path() + " - nothing backed up\r\n"));
    EXPECT_EQ(RunExitStatus(), 1);
    EXPECT_EQ(boxes.count(), 0);
    // With windows (the main window's start goes straight to the copy loop): a box.
    FileListModel rows;
    QString destination = env.path("dest");
    const StatusControls status{};
    boxes.answer(platform::Answer::OK);
    EXPECT_FALSE(BackupList(&rows, destination, &status, 0).ran);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Backup already running");
    EXPECT_EQ(env.readFile("copied.txt"), "/the/other/run.txt\r\n");
    EXPECT_FALSE(QFileInfo::exists(env.path("dest")));
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));

    // Once the other run has ended, the next one backs up.
    other.unlock();
    RunBackup(window().backupParameters(), nullptr);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_FALSE(QFileInfo::exists(RunLock::path()));
}

TEST_F(RunBackupTest, ALockThatNamesNoHolderIsTakenOverAsStale) {
    // Left empty or cut short by a power cut.
    for (const QByteArray& content : {QByteArray(), QByteArray("\n\n"), QByteArray("garbage")}) {
        SCOPED_TRACE(content.toStdString());
        writeIni("backupType=0\r\n");
        WriteBytes(RunLock::path(), content);
        QFile::remove(env.path("dest/a.txt"));
        RunBackup(window().backupParameters(), nullptr);
        EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
        EXPECT_TRUE(env.readFile("corvex.log")
                        .contains(",The lock file " + RunLock::path() + " names no holder - taken over as stale\r\n"));
        EXPECT_FALSE(QFileInfo::exists(RunLock::path()));
    }
}

TEST_F(RunBackupTest, ALinkOrFifoInPlaceOfTheLockIsAnErrorAndTheRunGoesOn) {
    writeIni("backupType=0\r\n");
    for (const Planted kind : {Planted::LinkToOutside, Planted::Fifo}) {
        SCOPED_TRACE(PlantedName(kind));
        const PlantedFile planted(RunLock::path(), kind);
        ASSERT_TRUE(planted.made());
        RunErrors = 0;
        {
            FifoGuard guard(RunLock::path());
            RunLock lock;
            EXPECT_TRUE(lock.take(false));
            EXPECT_FALSE(guard.fired()) << "the lock waited on the FIFO";
        }
        EXPECT_EQ(RunErrors, 1);
        EXPECT_TRUE(planted.untouched());
        const QString reason = kind == Planted::Fifo ? "Not a regular file" : "Is a symbolic link";
        EXPECT_TRUE(env.readFile("corvex.log")
                        .contains(",Cant use the lock file " + RunLock::path() + " - " + reason +
                                  " - the run goes on without it\r\n"));
        QFile::remove(RunLock::path());
    }
}

TEST_F(RunBackupTest, ALinkInPlaceOfTheRunsListIsRefusedAndItsTargetKept) {
    writeIni("backupType=0\r\n");
    QDir().mkpath(env.path("dest"));
    const PlantedFile planted(env.path("dest/_files.txt"), Planted::LinkToOutside);
    ASSERT_TRUE(planted.made());
    boxes.answerAllWith(platform::Answer::OK);
    RunBackup(window().backupParameters(), nullptr);
    EXPECT_TRUE(planted.untouched());
    EXPECT_FALSE(QFileInfo::exists(env.path("dest/a.txt")));
    EXPECT_TRUE(env.readFile("failed.log")
                    .contains(",Cant write to the destination folder " + env.path("dest/") +
                              " - _files.txt: Is a symbolic link\r\n"));
    EXPECT_EQ(RunExitStatus(), 1);
}

TEST_F(RunBackupTest, ANameBeginningWithZeroWidthNoBreakSpaceIsBackedUp) {
    writeIni("backupType=0\r\n");
    const QString name = QString(QChar(0xFEFF)) + "bom";
    source("work/" + name + "/" + name + ".txt", "feff", QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
    RunBackup(window().backupParameters(), nullptr);
    EXPECT_EQ(ReadBytes(env.path("dest/" + name + ".txt")), "feff");
}
