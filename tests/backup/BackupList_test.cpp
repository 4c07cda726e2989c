#include "backup/BackupList.h"
#include "BackupTestSupport.h"
#include "backup/BackupRun.h"
#include "backup/PlannerRecords.h"
#include "backup/StatusControls.h"
#include "foundation/FileListModel.h"
#include "foundation/IniFile.h"
#include "foundation/Logging.h"
#include "platform/Dialogs.h"
#include "platform/FileCopy.h"
#include "platform/FileStatus.h"
#include "support/AsOrdinaryUser.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <functional>
#include <iostream>
#include <optional>

namespace {
const QString S = QString(QChar(31));

class CopyLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        QDir().mkpath(env.path("plan"));
        QDir().mkpath(env.path("dest"));
        dest = env.path("dest");
        entries = {env.path("src/*")};
        writeIni({});
        auto* layout = new QVBoxLayout(&statusWindow);
        lblFile = new QLabel(&statusWindow);
        progress = new QProgressBar(&statusWindow);
        layout->addWidget(lblFile);
        layout->addWidget(progress);
        status = StatusControls{nullptr, lblFile, nullptr, progress};
    }
    void writeIni(const QString& extra) {
        env.writeFile("corvex.ini", "[general]\r\ndateOfLastBackup=2003-01-01 00:00:00\r\n" + extra +
                                        "[Plandel]\r\ndataPath=" + env.path("plan") + "\r\n");
    }
    // A source file with a fixed modification time, and its row in the list.
    QString source(const QString& relative, const QByteArray& data, bool ticked = true) {
        const QString path = env.path("src/" + relative);
        WriteBytes(path, data);
        const struct timespec times[2] = {{1051520100, 0}, {1051520100, 0}};  // 2003-04-28 08:55:00 UTC
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
        addRow(path, ticked);
        return path;
    }
    void addRow(const QString& path, bool ticked = true) {
        const QFileInfo fi(path);
        rows.addFullRow(fi.path() + '/', fi.fileName(), platform::GetFileStatus(path), ticked);
    }
    void run(int keep = 0, bool withStatus = true) {
        QString d = dest;
        BackupList(&rows, d, withStatus ? &status : nullptr, keep, 0, QDateTime(), nullptr, {}, true, entries);
        EXPECT_TRUE(d.endsWith('/'));
    }
    QString eventsLine() {
        const QStringList lines = env.readLines("events.log");
        return lines.isEmpty() ? QString() : lines.last();
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    FileListModel rows;
    QWidget statusWindow;
    StatusControls status;
    QLabel* lblFile = nullptr;
    QProgressBar* progress = nullptr;
    QString dest;
    QStringList entries;  // the folder list the runs back up
};
}  // namespace

TEST_F(CopyLoopTest, ThreeTickedRowsAreCopiedAndListed) {
    const QString a = source("a.txt", "aaaa");
    const QString b = source("b.txt", "bb", false);
    const QString c = source("sub/c.bin", QByteArray(1500, 'c'));
    const QString d = source("d", "");
    ::chmod(QFile::encodeName(c).constData(), 0751);
    run();

    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_EQ(ReadBytes(env.path("dest/c.bin")), QByteArray(1500, 'c'));
    EXPECT_TRUE(QFileInfo(env.path("dest/d")).isFile());
    EXPECT_FALSE(QFileInfo::exists(env.path("dest/b.txt")));
    EXPECT_EQ(QFileInfo(env.path("dest/c.bin")).lastModified(), QFileInfo(c).lastModified());
    EXPECT_EQ(QFileInfo(env.path("dest/c.bin")).permissions(), QFileInfo(c).permissions());

    EXPECT_EQ(env.readLines("copied.txt"), (QStringList{a, c, d}));
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
    EXPECT_EQ(env.readLines("dest/_files.txt"), (QStringList{a, c, d}));
    const QStringList details = env.readLines("dest/_fileDetails.txt");
    ASSERT_EQ(details.size(), 3);
    EXPECT_EQ(details[1], "c.bin," + env.path("src/sub/") + ",1500," +
                              QFileInfo(c).lastModified().toString("yyyy/MM/dd HH:mm:ss") + ",");
    EXPECT_TRUE(ReadBytes(env.path("dest/_files.txt")).endsWith("\r\n"));

    EXPECT_TRUE(eventsLine().endsWith("," + GetLoginName() + "," + GetMachineName() + ",Corvex-Pro " +
                                      GetVersionString() + " copied 3 files (1,504 bytes) to " + dest +
                                      "/ with 0 errors"));
    EXPECT_TRUE(eventsLine().startsWith("20030428,14:05:30,"));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_EQ(lblFile->text(), "Done!");
    EXPECT_EQ(progress->value(), 0);

    const QString log = env.readFile("corvex.log");
    EXPECT_TRUE(log.contains(",STARTING BACKUP to " + dest + "/\r\n"));
    EXPECT_TRUE(log.contains(",Backed up " + a + "\r\n"));
    EXPECT_FALSE(log.contains("was unchecked")) << "a level-3 line";
    // Recording is off: only the run record reaches the planner.
    const QStringList planner = env.readLines("plan/D200304.dat");
    ASSERT_EQ(planner.size(), 2);
    EXPECT_TRUE(planner[1].endsWith(S + "Corvex copied 1,504 bytes in 3 files to the folder " + dest + "/" + S));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(CopyLoopTest, FailedCopiesAreListedLoggedAndAskedAbout) {
    source("a.txt", "a");
    const QString gone1 = env.path("src/gone1.txt");
    const QString gone2 = env.path("src/gone2.txt");
    addRow(gone1);
    source("b.txt", "b");
    addRow(gone2);
    boxes.answer(platform::Answer::No);  // no more warnings in this run
    run();

    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "File cannot be copied");
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::YesNo);
    EXPECT_EQ(boxes.last().icon, platform::Icon::None);
    EXPECT_EQ(boxes.last().text,
              "Cant copy this file : gone1.txt\r\n\r\nDo you want to continue getting warnings "
              "when\r\na file cannot be copied?");
    EXPECT_EQ(env.readLines("failed.txt"), (QStringList{gone1, gone2}));
    const QStringList failedLog = env.readLines("failed.log");
    ASSERT_EQ(failedLog.size(), 2);
    EXPECT_TRUE(failedLog[0].endsWith(",Cant Copy '" + gone1 + "' to " + dest + "/ - Original File is in use"));
    EXPECT_TRUE(eventsLine().endsWith(" copied 4 files (2 bytes) to " + dest + "/ with 2 errors"));
    EXPECT_EQ(lblFile->text(), "ERROR - 2 files could not be copied - see FAILED.TXT");
    // The program log says why; failed.log keeps its own text.
    EXPECT_TRUE(env.readFile("corvex.log").contains(",Cant copy file '" + gone2 + "' - No such file or directory\r\n"));
    EXPECT_EQ(env.readLines("copied.txt").size(), 2);
    // The setting itself is not changed by the answer.
    EXPECT_EQ(ReadIni(env.ini(), "general", "IgnoreFailedFileCopies"), "");
}

TEST_F(CopyLoopTest, AFailedCopyLeavesItsTraceBeforeTheQuestion) {
    const QString a = source("a.txt", "a");
    const QString stuck = source("stuck.txt", "s");
    source("c.txt", "c");
    QDir().mkpath(env.path("dest/stuck.txt"));  // a folder where the copy should go
    // At the question the run has left its lines: a killed or waiting run keeps them.
    QStringList filesAtQuestion, failedLogAtQuestion;
    platform::SetBoxResponder([&](const platform::BoxRequest&) {
        filesAtQuestion = env.readLines("dest/_files.txt");
        failedLogAtQuestion = env.readLines("failed.log");
        return platform::BoxReply{platform::Answer::Yes, {}};
    });
    run();
    platform::SetBoxResponder({});
    EXPECT_EQ(filesAtQuestion, (QStringList{a, stuck}));
    ASSERT_FALSE(failedLogAtQuestion.isEmpty());
    EXPECT_TRUE(
        failedLogAtQuestion.last().endsWith(",Cant Copy '" + stuck + "' to " + dest + "/ - Original File is in use"));
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{stuck});
    // The files that failed come round again through failed.txt, not through the date.
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:30");
}

// The lists and the log stay open for the run, yet each file's lines are in
// them while the next file is being copied: a killed run leaves them.
TEST_F(CopyLoopTest, EachFilesLinesAreInTheFilesWhileTheNextIsCopied) {
    const QString a = source("a.txt", "a");
    const QString b = source("b.txt", QByteArray(64, 'b'));
    QStringList copiedMeanwhile;
    QString logMeanwhile;
    platform::SetCopyChunkSize(16);
    platform::SetCopyChunkPacer([&] {
        copiedMeanwhile = env.readLines("copied.txt");
        logMeanwhile = env.readFile("corvex.log");
    });
    run();
    platform::SetCopyChunkPacer({});
    platform::SetCopyChunkSize(0);
    EXPECT_EQ(copiedMeanwhile, QStringList{a});
    EXPECT_TRUE(logMeanwhile.endsWith(",Backed up " + a + "\r\n"));
    EXPECT_EQ(env.readLines("copied.txt"), (QStringList{a, b}));
    EXPECT_TRUE(eventsLine().endsWith(" copied 2 files (65 bytes) to " + dest + "/ with 0 errors"));
}

TEST_F(CopyLoopTest, AListThatCannotBeWrittenIsLoggedOnce) {
    const QString a = source("a.txt", "a");
    source("b.txt", "b");
    QDir().mkpath(env.path("copied.txt"));  // a folder where the list should go
    run();
    const QStringList lines = env.readLines("corvex.log").filter(",Cant write to " + env.path("copied.txt") + " - ");
    EXPECT_EQ(lines.size(), 1);
    EXPECT_EQ(ReadBytes(env.path("dest/b.txt")), "b");
    EXPECT_TRUE(eventsLine().endsWith(" copied 2 files (2 bytes) to " + dest + "/ with 0 errors"));
}

TEST_F(CopyLoopTest, ADestinationThatCannotBeWrittenIsLoggedBeforeTheMessage) {
    env.writeFile("file", "x");
    dest = env.path("file/sub");
    bool loggedFirst = false;
    platform::SetBoxResponder([&](const platform::BoxRequest&) {
        const QString line = "Cant write to the destination folder " + dest + "/ - Not a directory";
        loggedFirst = env.readFile("failed.log").contains(line) && env.readFile("corvex.log").contains(line);
        return platform::BoxReply{platform::Answer::OK, {}};
    });
    QString d = dest;
    const BackupOutcome outcome = BackupList(&rows, d, nullptr, 0, 2);
    platform::SetBoxResponder({});
    EXPECT_TRUE(loggedFirst);
    EXPECT_FALSE(outcome.ran);
    EXPECT_EQ(outcome.errors, 3);
}

TEST_F(CopyLoopTest, ErrorsBeforeTheCopyLoopCountInTheRunsLinesAndCaption) {
    source("a.txt", "a");
    addRow(env.path("src/gone.txt"));
    boxes.answer(platform::Answer::Yes);
    QString d = dest;
    const BackupOutcome outcome = BackupList(&rows, d, &status, 0, 2);
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.errors, 3);
    EXPECT_TRUE(eventsLine().endsWith(" copied 2 files (1 bytes) to " + dest + "/ with 3 errors"));
    EXPECT_TRUE(env.readLines("plan/D200304.dat").last().contains("with 3 errors"));
    EXPECT_EQ(lblFile->text(), "Done with 3 errors - see corvex.log and FAILED.TXT");
    rows.clear();
    source("b.txt", "b");
    d = dest;
    EXPECT_EQ(BackupList(&rows, d, &status, 0, 1).errors, 1);
    EXPECT_EQ(lblFile->text(), "Done with 1 errors - see corvex.log");
}
TEST_F(CopyLoopTest, AnswerYesKeepsAskingAndTheSettingSilencesEverything) {
    addRow(env.path("src/x1"));
    addRow(env.path("src/x2"));
    boxes.answer(platform::Answer::Yes).answer(platform::Answer::Yes);
    run(0, false);
    EXPECT_EQ(boxes.count(), 2);

    writeIni("IgnoreFailedFileCopies=1\r\n");
    run(0, false);
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(env.readLines("failed.txt").size(), 2) << "a failure that has gone is not kept twice";
}

TEST_F(CopyLoopTest, TheRunsOwnFailedListIsNoError) {
    addRow(env.path("failed.txt"));
    run();
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_TRUE(eventsLine().endsWith(" with 0 errors"));
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.log")));
    EXPECT_TRUE(env.readFile("corvex.log").contains(",Cant copy file '" + env.path("failed.txt") + "'"));
}

TEST_F(CopyLoopTest, KeepPathsPutsEachCopyBelowItsSourceFolder) {
    const QString a = source("work/docs/a.txt", "A");
    const QString b = source("b.txt", "B");
    run(1);
    EXPECT_EQ(ReadBytes(dest + a), "A");
    EXPECT_EQ(ReadBytes(dest + b), "B");
    EXPECT_FALSE(QFileInfo::exists(env.path("dest/a.txt")));
}

TEST_F(CopyLoopTest, WithoutKeepPathsACopyNeverReplacesOneThisRunMade) {
    const QString first = source("one/same.txt", "first");
    const QString second = source("two/same.txt", "second");
    const QString other = source("two/other.txt", "other");
    addRow(first);  // one file listed twice (two masks) is no clash
    writeIni("IgnoreFailedFileCopies=1\r\n");
    run(0);
    EXPECT_EQ(ReadBytes(env.path("dest/same.txt")), "first");
    EXPECT_EQ(ReadBytes(env.path("dest/other.txt")), "other");
    EXPECT_EQ(env.readLines("copied.txt"), (QStringList{first, other, first}));
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{second});
    EXPECT_TRUE(eventsLine().endsWith(" with 1 errors"));
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",Cant copy file '" + second + "' - this run copied '" + first +
                              "' under the same name into " + dest + "/\r\n"));
    // The next run may replace an earlier run's copy; kept paths never clash.
    rows.clear();
    addRow(second);
    run(0);
    EXPECT_EQ(ReadBytes(env.path("dest/same.txt")), "second");
    rows.clear();
    addRow(first);
    addRow(second);
    run(1);
    EXPECT_EQ(ReadBytes(dest + first), "first");
    EXPECT_EQ(ReadBytes(dest + second), "second");
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
}

TEST_F(CopyLoopTest, TestDestinationCopiesNothingButCountsAndRecords) {
    source("a.txt", "aaaa");
    source("b.txt", "bb");
    dest = "/DEV/NULL";
    run();
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
    EXPECT_TRUE(eventsLine().endsWith(" copied 2 files (0 bytes) to /DEV/NULL/ with 0 errors"));
    // The next real run still lists the changes this one only listed.
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-01-01 00:00:00");
    EXPECT_TRUE(env.readLines("plan/D200304.dat").last().contains("Corvex copied  bytes in 2 files"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(CopyLoopTest, ADestinationThatCannotBeWrittenStopsBeforeCopying) {
    source("a.txt", "a");
    env.writeFile("file", "x");
    dest = env.path("file/sub");
    boxes.answer(platform::Answer::OK);
    run();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Cant write to the Destination folder");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    EXPECT_EQ(boxes.last().text, "Cant write to the destination folder \r\n" + dest +
                                     "/\r\n\r\nMake sure that you have write access to the folder, and that there "
                                     "is enough disk space");
    EXPECT_TRUE(env.readLines("failed.log")
                    .value(0)
                    .endsWith(",Cant write to the destination folder " + dest + "/ - Not a directory"));
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-01-01 00:00:00");
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
}

// Whatever keeps the run from writing into the backup folder, the program
// log and failed.log say why, before the box.
TEST_F(CopyLoopTest, ADestinationThatCannotBeWrittenIsLoggedWithTheReason) {
    source("a.txt", "a");
    // The ordinary user writes the program folder's files.
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0777), 0);
    const auto files = [this] { return env.path("dest/_files.txt"); };
    const auto details = [this] { return env.path("dest/_fileDetails.txt"); };
    const struct {
        const char* what;
        std::function<bool()> plant;
        const char* reason;
        bool asOrdinaryUser;
    } cases[] = {
        {"a file in place of the folder",
         [&] {
             dest = env.path("file/sub");
             WriteBytes(env.path("file"), "x");
             return true;
         },
         "Not a directory", false},
        {"a read-only folder", [&] { return ::chmod(QFile::encodeName(dest).constData(), 0555) == 0; },
         "_files.txt: Permission denied", true},
        {"a link in place of _files.txt", [&] { return QFile::link(env.path("src/a.txt"), files()); },
         "_files.txt: Is a symbolic link", false},
        {"a FIFO in place of _fileDetails.txt",
         [&] { return ::mkfifo(QFile::encodeName(details()).constData(), 0666) == 0; },
         "_fileDetails.txt: Not a regular file", false},
        {"a device in place of _files.txt",
         [&] { return ::mknod(QFile::encodeName(files()).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
         "_files.txt: Not a regular file", false},
    };
    for (const auto& c : cases) {
        RemoveTree(env.path("dest"));
        QFile::remove(env.path("file"));
        QDir().mkpath(env.path("dest"));
        dest = env.path("dest");
        for (const char* log : {"corvex.log", "failed.log"}) QFile::remove(env.path(log));
        if (!c.plant()) {
            std::cout << "skipped " << c.what << ": it cannot be made here\n";
            continue;
        }
        QString seen;
        platform::SetBoxResponder([&](const platform::BoxRequest&) {
            seen = env.readFile("corvex.log");
            return platform::BoxReply{platform::Answer::OK, {}};
        });
        {
            std::optional<AsOrdinaryUser> user;
            if (c.asOrdinaryUser) user.emplace();
            run();
        }
        platform::SetBoxResponder({});
        ::chmod(QFile::encodeName(env.path("dest")).constData(), 0755);
        const QString line = "Cant write to the destination folder " + dest + "/ - " + c.reason;
        EXPECT_TRUE(seen.endsWith("," + line + "\r\n")) << c.what << ": " << seen.toStdString();
        EXPECT_TRUE(env.readLines("failed.log").value(0).endsWith("," + line)) << c.what;
        EXPECT_FALSE(QFileInfo::exists(env.path("dest/a.txt"))) << c.what;
    }
}

TEST_F(CopyLoopTest, AFailingCopyLeavesTheOlderBackupCopyUnchanged) {
    WriteBytes(env.path("dest/a.txt"), "the last good copy");
    addRow(env.path("src/a.txt"));  // the original has gone since the scan
    // A folder in place of the older copy cannot be replaced.
    source("b.txt", "new b");
    QDir().mkpath(env.path("dest/b.txt/inside"));
    boxes.answerAllWith(platform::Answer::Yes);
    run();
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "the last good copy");
    EXPECT_TRUE(QFileInfo(env.path("dest/b.txt/inside")).isDir());
    const QStringList failedLog = env.readLines("failed.log");
    ASSERT_EQ(failedLog.size(), 3);
    EXPECT_TRUE(failedLog[1].endsWith(",Cant Copy '" + env.path("src/b.txt") + "' to " + dest +
                                      "/ - There is already a backup File , which is in use by another application"));
    EXPECT_TRUE(failedLog[2].endsWith(" - Original File is in use"));
    EXPECT_TRUE(eventsLine().endsWith(" with 2 errors"));
    // No temporary copy is left behind.
    EXPECT_EQ(QDir(env.path("dest")).entryList(QDir::Files | QDir::Hidden).size(), 3);  // a.txt + two lists
}

TEST_F(CopyLoopTest, RecordingAddsOneRecordPerCopiedFile) {
    writeIni("RecordToPlandel= 1 \r\n");
    source("a.txt", "aaaa");
    source("b.txt", "bb");
    addRow(env.path("src/missing.txt"));
    boxes.answerAllWith(platform::Answer::Yes);
    run();
    const QStringList planner = env.readLines("plan/D200304.dat");
    ASSERT_EQ(planner.size(), 4);
    EXPECT_TRUE(planner[1].contains(S + "PCFile" + S + S + env.path("src/a.txt") + S));
    EXPECT_TRUE(planner[1].endsWith(S + "a.txt (4 bytes)" + S));
    EXPECT_TRUE(planner[3].contains("with 1 errors"));
}

TEST_F(CopyLoopTest, AnEmptyListStillWritesTheRunsFiles) {
    run();
    EXPECT_TRUE(QFileInfo(env.path("dest/_files.txt")).isFile());
    EXPECT_EQ(QFileInfo(env.path("dest/_files.txt")).size(), 0);
    EXPECT_TRUE(QFileInfo(env.path("dest/_fileDetails.txt")).isFile());
    EXPECT_TRUE(eventsLine().endsWith(" copied 0 files (0 bytes) to " + dest + "/ with 0 errors"));
}

TEST_F(CopyLoopTest, ATargetFolderThatCannotBeMadeIsAnErrorLogLineAndAFailedCopy) {
    const QString a = source("a.txt", "a");
    // The first level of the kept source path is taken by a regular file.
    const QString firstLevel = a.section('/', 1, 1);
    WriteBytes(env.path("dest/" + firstLevel), "in the way");
    boxes.answer(platform::Answer::Yes);
    run(1);
    const QStringList errors = env.readLines("error.log");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(",An error occurred in the BackupList function : ")) << errors[0].toStdString();
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{a});
    EXPECT_EQ(ReadBytes(env.path("dest/" + firstLevel)), "in the way");
}

TEST_F(CopyLoopTest, ABackupFolderLaidOverTheSourceFolderLeavesTheSourcesAloneAndFails) {
    const QString real = source("real.txt", "data");
    const QString link = env.path("src/link.txt");
    ASSERT_TRUE(QFile::link(real, link));
    addRow(link);
    dest = env.path("src");
    boxes.answerAllWith(platform::Answer::Yes);
    run(0);
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "a linked source must stay a link";
    EXPECT_EQ(ReadBytes(real), "data");
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_EQ(env.readLines("failed.txt"), (QStringList{real, link}));
    EXPECT_TRUE(eventsLine().endsWith(" with 2 errors"));
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",Cant Copy '" + real + "' to " + dest + "/ - the backup copy would be the file itself"));
}

TEST_F(CopyLoopTest, ACopyNeverFollowsALinkInsideTheBackupFolder) {
    const QString a = source("a.txt", "a");
    const QString outside = env.path("outside");
    QDir().mkpath(outside);
    // The first level of the kept source path is a link that leads out.
    const QString firstLevel = a.section('/', 1, 1);
    ASSERT_TRUE(QFile::link(outside, env.path("dest/" + firstLevel)));
    boxes.answer(platform::Answer::Yes);
    run(1);
    EXPECT_TRUE(QDir(outside).isEmpty());
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{a});
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",Cant Copy '" + a + "' to " + dest + a.section('/', 0, -2) +
                              "/ - a symbolic link in the backup folder leads out of it\r\n"));
}

TEST_F(CopyLoopTest, TemporaryCopiesOfAKilledRunAreRemovedByTheNextRun) {
    source("a.txt", "a");
    WriteBytes(env.path("dest/.corvex-copy-00000000d1ed.tmp"), "half a copy");
    WriteBytes(env.path("src/.corvex-copy-notours"), "in a folder this run does not write into");
    run();
    EXPECT_FALSE(QFileInfo::exists(env.path("dest/.corvex-copy-00000000d1ed.tmp")));
    EXPECT_TRUE(QFileInfo::exists(env.path("src/.corvex-copy-notours")));
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "a");
}

// failed.txt holds every file still waiting for a copy: it is replaced whole
// at the end of a run that copied, and left alone by any other.
TEST_F(CopyLoopTest, TheRetryListKeepsWhatWasNotCopied) {
    const QString copiedNow = source("now.txt", "n");
    const QString waiting = env.path("src/waiting.txt");  // unticked this time
    WriteBytes(waiting, "w");
    addRow(waiting, false);
    const QString gone = env.path("src/gone.txt");
    const QString failsNow = env.path("src/fails.txt");
    addRow(failsNow);
    const QByteArray earlier = (copiedNow + "\r\n" + waiting + "\r\n" + gone + "\r\n").toUtf8();
    writeIni("IgnoreFailedFileCopies=1\r\n");
    const struct {
        const char* what;
        QString destination;
        QStringList expected;  // empty: failed.txt as it was
    } cases[] = {
        {"a test run", "/DEV/NULL", {}},
        {"a destination that cannot be written", env.path("dest/none/deeper"), {}},
        {"a run that copies", dest, {waiting, failsNow}},
    };
    for (const auto& c : cases) {
        WriteBytes(env.path("failed.txt"), earlier);
        if (c.destination.contains("none")) boxes.answer(platform::Answer::OK);
        QString d = c.destination;
        BackupList(&rows, d, nullptr, 0, 0, QDateTime(), nullptr, {}, true, entries);
        if (c.expected.isEmpty())
            EXPECT_EQ(ReadBytes(env.path("failed.txt")), earlier) << c.what;
        else
            EXPECT_EQ(env.readLines("failed.txt"), c.expected) << c.what;
    }
    // Everything copied at last: no list is left.
    rows.clear();
    addRow(waiting);
    WriteBytes(failsNow, "f");
    addRow(failsNow);
    run();
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
}

TEST_F(CopyLoopTest, AListedFolderThatWasAwayKeepsTheDateOfTheLastBackup) {
    const QString a = source("a.txt", "aaaa");
    const QStringList away{env.path("usb/*"), env.path("share/")};
    const struct {
        const char* what;
        QString stored;  // dateOfLastBackup before the run ("" none)
        QStringList away;
        QString expected;
    } cases[] = {
        {"every listed folder there", "2003-01-01 00:00:00", {}, "2003-04-28 14:05:30"},
        {"two listed folders away", "2003-01-01 00:00:00", away, "2003-01-01 00:00:00"},
        {"away before any backup", "", away, ""},
    };
    for (const auto& c : cases) {
        env.writeFile("corvex.ini", "[general]\r\n" +
                                        (c.stored.isEmpty() ? QString() : "dateOfLastBackup=" + c.stored + "\r\n") +
                                        "[Plandel]\r\ndataPath=" + env.path("plan") + "\r\n");
        env.writeFile("corvex.log", "");
        QString d = dest;
        BackupList(&rows, d, nullptr, 0, 2, BackupTestNow(), nullptr, ScanReport{{}, c.away, {}});
        EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), c.expected) << c.what;
        EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa") << "the rest is copied: " << c.what;
        const QStringList kept =
            env.readLines("corvex.log").filter(" was missing or could not be read - the date of the last backup ");
        ASSERT_EQ(kept.size(), c.away.size()) << c.what;
        for (int i = 0; i < kept.size(); ++i)
            EXPECT_TRUE(kept[i].endsWith(",The listed folder " + c.away[i] +
                                         " was missing or could not be read - the date of the last backup " +
                                         (c.stored.isEmpty() ? "stays unset" : "stays " + c.stored)))
                << kept[i].toStdString();
    }
    EXPECT_EQ(env.readLines("copied.txt"), QStringList{a});
}

// A list that may miss changes for another reason (a folder list not read)
// keeps the date the same way, with its own line.
TEST_F(CopyLoopTest, AListThatMayMissChangesKeepsTheDateOfTheLastBackup) {
    source("a.txt", "aaaa");
    env.writeFile("corvex.ini", "[general]\r\ndateOfLastBackup=2003-01-01 00:00:00\r\n[Plandel]\r\ndataPath=" +
                                    env.path("plan") + "\r\n");
    QString d = dest;
    ScanReport scan;
    NoteUnreadFolderList(scan);
    BackupList(&rows, d, nullptr, 0, 0, BackupTestNow(), nullptr, scan);
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-01-01 00:00:00");
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",The folder list " + PathListFile +
                              " could not be read - the date of the last backup stays 2003-01-01 00:00:00\r\n"));
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
}

// A file waiting for a retry is told from the listed folder that holds it:
// it waits (an error of each run) only while that folder is away; gone from
// a folder that is there, whatever folders between are missing, or below no
// listed folder any more, it is taken out of the list with a level-1 line.
TEST_F(CopyLoopTest, AWaitingFileWaitsOnlyWhileItsListedFolderIsAway) {
    entries = {env.path("src/*"), env.path("usb/*"), env.path("plain")};
    enum Fate { Listed, Waits, Gone, Unlisted };
    const struct {
        QString path;
        bool exists;
        Fate fate;
    } cases[] = {
        {env.path("src/work/there.txt"), true, Listed},
        {env.path("usb/photos/away.jpg"), true, Waits},  // the disk is unplugged below
        {env.path("src/work/gone.txt"), false, Gone},
        {env.path("src/deleted/deeper/old.txt"), false, Gone},  // its folders deleted for good
        {env.path("other/kept.txt"), true, Unlisted},           // its folder taken off the list
        {env.path("plain/sub/deeper.txt"), true, Unlisted},     // a plain entry holds no subfolder
    };
    QByteArray failed;
    for (const auto& c : cases) {
        if (c.exists) WriteBytes(c.path, "x");
        failed += (c.path + "\r\n").toUtf8();
    }
    WriteBytes(env.path("failed.txt"), failed);
    ASSERT_TRUE(QDir().rename(env.path("usb"), env.path("usb-away")));
    const int threshold = LogThreshold;
    LogThreshold = 1;
    EXPECT_EQ(AddEarlierFailures(&rows, entries), 1) << "the file that waits is an error of the run";
    QStringList added;
    for (const FileListModel::Row& row : rows.rows()) added << row.path;
    run();
    LogThreshold = threshold;
    const QString log = env.readFile("corvex.log");
    for (const auto& c : cases) {
        const std::string what = c.path.toStdString();
        EXPECT_EQ(added.contains(c.path), c.fate == Listed) << what;
        EXPECT_EQ(env.readLines("failed.txt").contains(c.path), c.fate == Waits) << what;
        EXPECT_EQ(log.contains(",Cant reach '" + c.path + "' - its listed folder " + env.path("usb/") +
                               " or a folder below it is missing or cannot be read; kept for a retry\r\n"),
                  c.fate == Waits)
            << what;
        EXPECT_EQ(log.contains("," + c.path + " no longer exists - no longer tried again\r\n"), c.fate == Gone) << what;
        EXPECT_EQ(log.contains("," + c.path + " is no longer below a listed folder - no longer tried again\r\n"),
                  c.fate == Unlisted)
            << what;
    }
    EXPECT_EQ(ReadBytes(env.path("dest/there.txt")), "x");

    // The disk back, the file is listed and copied, and nothing waits.
    ASSERT_TRUE(QDir().rename(env.path("usb-away"), env.path("usb")));
    rows.clear();
    EXPECT_EQ(AddEarlierFailures(&rows, entries), 0);
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.row(0).path, env.path("usb/photos/away.jpg"));
    run();
    EXPECT_EQ(ReadBytes(env.path("dest/away.jpg")), "x");
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
}

TEST_F(CopyLoopTest, AFailedNameWithALineBreakIsLoggedEveryRunInsteadOfListed) {
    const QString broken = env.path("src/two\nlines.txt");
    addRow(broken);
    addRow(env.path("src/gone.txt"));
    writeIni("IgnoreFailedFileCopies=1\r\n");
    for (int runNumber = 1; runNumber <= 2; ++runNumber) {
        run();
        EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("src/gone.txt")});
        EXPECT_EQ(
            env.readLines("corvex.log")
                .filter("two\\nlines.txt' in " + env.path("failed.txt") + " for a retry - its name holds a line break")
                .size(),
            runNumber);
    }
}

TEST_F(CopyLoopTest, TheDetailLineDescribesTheCopyNotTheScan) {
    const QString a = source("a.txt", "short");
    WriteBytes(a, "grown since the refresh");
    const struct timespec times[2] = {{1051606800, 0}, {1051606800, 0}};  // a day later than the row says
    ::utimensat(AT_FDCWD, QFile::encodeName(a).constData(), times, 0);
    run();
    EXPECT_EQ(env.readLines("dest/_fileDetails.txt"),
              QStringList{"a.txt," + env.path("src/") + ",23," +
                          QDateTime::fromSecsSinceEpoch(1051606800).toString("yyyy/MM/dd HH:mm:ss") + ","});
}

TEST_F(CopyLoopTest, ASourceNamedLikeTheRunsOwnListsIsAFailedCopy) {
    const QString files = source("_files.txt", "mine");
    const QString details = source("sub/_fileDetails.txt", "mine too");
    const QString other = source("other.txt", "o");
    writeIni("IgnoreFailedFileCopies=1\r\n");
    run();
    EXPECT_EQ(env.readLines("dest/_files.txt"), (QStringList{files, details, other}));
    EXPECT_EQ(env.readLines("dest/_fileDetails.txt").size(), 3);
    EXPECT_EQ(env.readLines("failed.txt"), (QStringList{files, details}));
    const QString log = env.readFile("corvex.log");
    EXPECT_TRUE(log.contains(",Cant copy file '" + details +
                             "' - the backup folder holds this run's own "
                             "_fileDetails.txt there\r\n"));
    EXPECT_TRUE(eventsLine().endsWith(" with 2 errors"));
    // Below the backup folder the names are free.
    rows.clear();
    addRow(files);
    run(1);
    EXPECT_EQ(ReadBytes(env.path("dest") + files), "mine");
}

// Folders kept for the copies' paths follow their source folders once the
// loop is done (also a read-only one, which stays writable while the loop
// copies into it); run as root, they and the copies keep the originals'
// owners and groups, and with them their set-ID bits.
TEST_F(CopyLoopTest, KeptFoldersAndCopiesFollowTheirOriginals) {
    const bool asRoot = ::geteuid() == 0;
    struct Case {
        const char* folder;
        mode_t folderBits;
        mode_t fileBits;
        uid_t owner;  // as root
    } const cases[] = {
        {"shared", 0750, 0644, 65534},
        {"readonly", 0555, 0444, 0},
        {"tools", 0755, 04755, 65534},
    };
    for (const Case& c : cases) {
        const QString file = source(QString::fromLatin1(c.folder) + "/file", c.folder);
        const QByteArray folder = QFile::encodeName(env.path("src/") + c.folder);
        if (asRoot) {
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), c.owner, c.owner), 0);
            ASSERT_EQ(::chown(folder.constData(), c.owner, c.owner), 0);
        }
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), c.fileBits), 0);
        ASSERT_EQ(::chmod(folder.constData(), c.folderBits), 0);
    }
    run(1);
    EXPECT_TRUE(eventsLine().endsWith(" with 0 errors")) << eventsLine().toStdString();
    for (const Case& c : cases) {
        const QString kept = dest + env.path("src/") + c.folder;
        struct stat folder {};
        struct stat copy {};
        ASSERT_EQ(::stat(QFile::encodeName(kept).constData(), &folder), 0) << c.folder;
        ASSERT_EQ(::stat(QFile::encodeName(kept + "/file").constData(), &copy), 0) << c.folder;
        EXPECT_EQ(folder.st_mode & 07777, c.folderBits) << c.folder;
        EXPECT_EQ(copy.st_mode & 07777, c.fileBits) << c.folder;
        if (asRoot) {
            EXPECT_EQ(std::pair(folder.st_uid, folder.st_gid), std::pair(c.owner, gid_t(c.owner))) << c.folder;
            EXPECT_EQ(std::pair(copy.st_uid, copy.st_gid), std::pair(c.owner, gid_t(c.owner))) << c.folder;
        }
        ::chmod(QFile::encodeName(kept).constData(), 0755);
        ::chmod(QFile::encodeName(env.path("src/") + c.folder).constData(), 0755);
    }
}

// A kept folder that cannot be given its source folder's bits at the end (it
// was swapped for a link while the run copied) is a level-0 line and an error
// of the run, and the folder the link points to keeps its own bits.
TEST_F(CopyLoopTest, AKeptFolderThatCannotTakeItsBitsIsAnErrorOfTheRun) {
    source("first/a.txt", "a");
    source("second/b.txt", "b");
    ASSERT_EQ(::chmod(QFile::encodeName(env.path("src/first")).constData(), 0750), 0);
    const QString elsewhere = env.path("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0711), 0);
    const QString kept = dest + env.path("src/first");
    int copies = 0;
    platform::SetBeforeCopyStep([&](const QString&) {
        if (++copies != 2) return;
        ASSERT_TRUE(QDir().rename(kept, kept + "-moved"));
        ASSERT_TRUE(QFile::link(elsewhere, kept));
    });
    run(1);
    platform::SetBeforeCopyStep({});
    EXPECT_TRUE(eventsLine().endsWith(" with 1 errors")) << eventsLine().toStdString();
    EXPECT_TRUE(env.readFile("corvex.log").contains(",Cant set the permissions of " + kept + " - "));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(elsewhere).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0711));
    EXPECT_EQ(ReadBytes(dest + env.path("src/second/b.txt")), "b");
}

// A failed.txt that cannot be read names files nobody else remembers: the run
// leaves it as it is (with a level-0 line and an error) rather than replace it
// with its own failures. Run as root, the run reads it as an ordinary user.
TEST_F(CopyLoopTest, AFailedListThatCannotBeReadIsKeptWithItsRetries) {
    const QString gone = env.path("src/gone.txt");
    addRow(gone);
    source("a.txt", "a");
    writeIni("IgnoreFailedFileCopies=1\r\n");
    const QByteArray waiting = "/home/anna/waiting.txt\r\n";
    WriteBytes(env.path("failed.txt"), waiting);
    // Writable, so that nothing but the reading keeps it from being replaced.
    ASSERT_EQ(::chmod(QFile::encodeName(env.path("failed.txt")).constData(), 0200), 0);
    // The ordinary user writes everything else of the run.
    for (const QString& folder : {env.folder(), env.path("dest"), env.path("plan")})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    {
        AsOrdinaryUser user;
        run();
    }
    EXPECT_EQ(ReadBytes(env.path("failed.txt")), waiting);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "a");
    EXPECT_TRUE(
        env.readFile("corvex.log")
            .contains(",Cant read " + env.path("failed.txt") + " - the files it lists stay there for a retry\r\n"));
    EXPECT_TRUE(eventsLine().endsWith(" with 2 errors")) << "the failed copy and the list kept";
}

// A symbolic link is backed up as itself, a dangling one too: when its copy
// fails it waits in failed.txt like a file, stays there while it is not
// listed, and comes back into the next list until a copy succeeds.
TEST_F(CopyLoopTest, AFailedLinkWaitsInTheRetryListAndComesBack) {
    WriteBytes(env.path("src/real.txt"), "data");
    const QString toFile = env.path("src/to-file");
    const QString dangling = env.path("src/dangling");
    ASSERT_TRUE(QFile::link(env.path("src/real.txt"), toFile));
    ASSERT_TRUE(QFile::link(env.path("src/nowhere"), dangling));
    const QStringList links{toFile, dangling};
    // A folder with something in it where each copy should go.
    for (const char* name : {"to-file", "dangling"}) WriteBytes(env.path(QString("dest/") + name + "/inside"), "x");
    writeIni("IgnoreFailedFileCopies=1\r\n");
    for (const QString& link : links) addRow(link);
    run();
    EXPECT_EQ(env.readLines("failed.txt"), links) << "failed links are listed for a retry";

    rows.clear();
    source("other.txt", "o");
    run();
    EXPECT_EQ(env.readLines("failed.txt"), links) << "a link waiting is not gone";

    rows.clear();
    EXPECT_EQ(AddEarlierFailures(&rows, entries), 0);
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.row(0).path, toFile);
    EXPECT_EQ(rows.row(1).path, dangling);
    for (const char* name : {"to-file", "dangling"}) RemoveTree(env.path(QString("dest/") + name));
    run();
    EXPECT_FALSE(QFileInfo::exists(env.path("failed.txt")));
    EXPECT_EQ(QFileInfo(env.path("dest/to-file")).symLinkTarget(), env.path("src/real.txt"));
    EXPECT_TRUE(QFileInfo(env.path("dest/dangling")).isSymLink());
}
