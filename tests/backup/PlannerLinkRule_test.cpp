// The planner's data folder under the link rule of a run as root, the data
// files root makes in a folder another user owns, and the refused links a run
// counts as errors: its settings file, its folder list, its planner folder.
#include "BackupTestSupport.h"
#include "backup/BackupRun.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "backup/frmProgress.h"
#include "platform/FileCopy.h"
#include "support/AsOrdinaryUser.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;  // nobody's primary group

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

void makeLink(const QString& target, const QString& at, uid_t owner) {
    ASSERT_EQ(::symlink(encoded(target).constData(), encoded(at).constData()), 0) << at.toStdString();
    ASSERT_EQ(::lchown(encoded(at).constData(), owner, owner), 0);
}

void makeFolder(const QString& path, uid_t owner, gid_t group, mode_t mode) {
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_EQ(::chown(encoded(path).constData(), owner, group), 0);
    ASSERT_EQ(::chmod(encoded(path).constData(), mode), 0);
}

struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(encoded(path).constData(), &st), 0) << path.toStdString();
    return st;
}

class PlannerLinkRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule refuses links only for a run as root";
        UseProgramFolderOf(env);
        // Ordinary users' runs read the settings here.
        ::chmod(encoded(env.folder()).constData(), 0755);
    }
    void TearDown() override { RunningSilently = false; }
    void writeIni(const QString& dataPath) {
        env.writeFile("corvex.ini", "[general]\r\nbackupTo=" + env.path("dest") +
                                        "\r\nbackupType=0\r\n[Plandel]\r\ndataPath=" + dataPath + "\r\n");
        ::chmod(encoded(env.ini()).constData(), 0644);
    }
    // One run's record, read from the settings afresh; true when the run
    // record is in the month's file of folder.
    static bool recordInto(const QString& folder) {
        PlandelDataPath.clear();
        CurrentDataFile.clear();
        RecordBackupToPlandel(3, 1000, 0, "/b/");
        QFile data(folder + "/D200304.dat");
        return data.open(QIODevice::ReadOnly) && data.readAll().contains("Corvex copied 1,000 bytes in 3");
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
};

}  // namespace

TEST_F(PlannerLinkRuleTest, RootUsesAPlannerFolderReachedOnlyThroughItsOwnLinks) {
    for (const bool onTheWay : {false, true}) {
        for (const LinkRun& run : kLinkRuns) {
            SCOPED_TRACE(std::string(run.name) + (onTheWay ? ", a folder on the way" : ", the folder itself"));
            RemoveTree(env.path("area"));
            makeFolder(env.path("area/real/plan"), 0, 0, 0777);
            ::chmod(encoded(env.path("area")).constData(), 0755);
            const QString link = env.path(onTheWay ? "area/via" : "area/plan");
            makeLink(env.path(onTheWay ? "area/real" : "area/real/plan"), link, run.owner);
            writeIni(env.path("area/plan"));
            if (onTheWay) writeIni(env.path("area/via/plan"));
            RunErrors = 0;
            const QString real = env.path("area/real/plan");
            const bool recorded =
                run.runner == 0 ? recordInto(real)
                                : ExitStatusAs(run.runner, run.runner, [&] { return recordInto(real) ? 0 : 1; }) == 0;
            EXPECT_EQ(recorded, run.followed);
            EXPECT_EQ(boxes.count(), 0);
            if (run.followed) continue;
            // Nothing is written there, not even the folder's write test.
            EXPECT_EQ(QDir(real).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
            EXPECT_EQ(RunErrors, 1);
            const QString dataPath = ReadIni(env.ini(), "Plandel", "dataPath");
            EXPECT_EQ(env.readFile("corvex.log")
                          .count(",The planner data folder '" + dataPath + "' cannot be used - " + link +
                                 " is a link owned by " + QString::number(run.owner) +
                                 " - no planner records are written\r\n"),
                      1);
        }
    }
}

// Root records into her planner's folder: the month file it makes there is
// hers and private, so her own runs go on recording into it without a box.
TEST_F(PlannerLinkRuleTest, AFileRootMakesInHerFolderIsHersAndHerRunsGoOnUsingIt) {
    const struct {
        const char* name;
        uid_t folderOwner;
        gid_t folderGroup;
        mode_t folderMode;
        uid_t fileOwner;
        gid_t fileGroup;
    } cases[] = {
        {"her folder: her primary group", kNobody, 0, 0700, kNobody, kNoGroup},
        {"her folder, group kept by the folder", kNobody, kBert, 02770, kNobody, kBert},
        {"root's folder open to all: root's", 0, 0, 01777, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(env.path("plan"));
        makeFolder(env.path("plan"), c.folderOwner, c.folderGroup, c.folderMode);
        writeIni(env.path("plan"));
        ASSERT_TRUE(recordInto(env.path("plan")));
        const struct stat st = statOf(env.path("plan/D200304.dat"));
        EXPECT_EQ(st.st_uid, c.fileOwner);
        EXPECT_EQ(st.st_gid, c.fileGroup);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        if (c.folderOwner == 0) continue;
        // Her own run, in a fresh process, appends its record after root's.
        EXPECT_EQ(ExitStatusAs(kNobody, kNoGroup,
                               [&] {
                                   env.setNow(BackupTestNow().addSecs(3600));
                                   const bool ok = recordInto(env.path("plan")) && boxes.count() == 0;
                                   return ok ? 0 : 1;
                               }),
                  0);
        EXPECT_EQ(ReadBytes(env.path("plan/D200304.dat")).count("Corvex copied"), 2);
    }
}

namespace {

// A silent run of the main window's parameters, as the program makes it.
class RefusedLinksInARunTest : public PlannerLinkRuleTest {
protected:
    void SetUp() override {
        PlannerLinkRuleTest::SetUp();
        if (IsSkipped()) return;
        RunningSilently = true;
        WriteBytes(env.path("src/a.txt"), "aaaa");
        const qint64 at = BackupTestNow().addSecs(-3600).toSecsSinceEpoch();
        const struct timespec times[2] = {{at, 0}, {at, 0}};
        ::utimensat(AT_FDCWD, encoded(env.path("src/a.txt")).constData(), times, 0);
        env.writeFile("MyPaths.txt", env.path("src/*") + "\r\n");
        makeFolder(env.path("plan"), 0, 0, 0755);
        writeIni(env.path("plan"));
    }
    int run() {
        form = std::make_unique<frmProgress>();
        form->Form_Load();
        return RunBackup(form->backupParameters(), nullptr);
    }
    QString log() const { return env.readFile("corvex.log"); }
    std::unique_ptr<frmProgress> form;
};

}  // namespace

TEST_F(RefusedLinksInARunTest, AFolderListReachedThroughHerLinkIsAnError) {
    ASSERT_TRUE(QFile::rename(env.path("MyPaths.txt"), env.path("her-list.txt")));
    makeLink(env.path("her-list.txt"), env.path("MyPaths.txt"), kAnna);
    EXPECT_GE(run(), 1);
    EXPECT_FALSE(QFile::exists(env.path("dest/a.txt")));
    EXPECT_TRUE(log().contains(",LoadFileToListBox : cant read " + env.path("MyPaths.txt") + " - " +
                               env.path("MyPaths.txt") + " is a link owned by 4242\r\n"));
    EXPECT_EQ(RunExitStatus(), 1);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(RefusedLinksInARunTest, APlannerFolderReachedThroughHerLinkIsAnErrorAndGetsNothing) {
    makeFolder(env.path("rootonly"), 0, 0, 0700);
    makeLink(env.path("rootonly"), env.path("her-plan"), kAnna);
    writeIni(env.path("her-plan"));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaaa");
    EXPECT_TRUE(QDir(env.path("rootonly")).isEmpty());
    EXPECT_TRUE(log().contains(",The planner data folder '" + env.path("her-plan") + "' cannot be used - " +
                               env.path("her-plan") + " is a link owned by 4242"));
    EXPECT_EQ(RunExitStatus(), 1);
    EXPECT_EQ(boxes.count(), 0);
}

// Root's settings file is a link into her folder; while the run copies she
// points the file there at a file of root's: the run does not rewrite it.
TEST_F(RefusedLinksInARunTest, SettingsSheTurnsIntoALinkDuringTheRunAreNotRewritten) {
    makeFolder(env.path("home"), kAnna, kAnna, 0755);
    ASSERT_TRUE(QFile::rename(env.ini(), env.path("home/corvex.ini")));
    makeLink(env.path("home/corvex.ini"), env.ini(), 0);
    const QByteArray rootsFile = "root's own\n";
    WriteBytes(env.path("roots.conf"), rootsFile);
    platform::SetBeforeCopyStep([&](const QString&) {
        ASSERT_TRUE(QFile::remove(env.path("home/corvex.ini")));
        makeLink(env.path("roots.conf"), env.path("home/corvex.ini"), kAnna);
    });
    const int errors = run();
    platform::SetBeforeCopyStep({});
    EXPECT_GE(errors, 1);
    EXPECT_EQ(ReadBytes(env.path("roots.conf")), rootsFile);
    EXPECT_TRUE(log().contains(",WriteIniValues : Cant write the settings file '" + env.ini() + "' - " +
                               env.path("home/corvex.ini") +
                               " is a link owned by 4242 - none of [general] "
                               "dateOfLastBackup, [general] dateOfLastBackupUtcOffset was saved\r\n"));
    EXPECT_EQ(RunExitStatus(), 1);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(RefusedLinksInARunTest, SettingsReachedThroughHerLinkEndTheProgramWithTheError) {
    OpenedDocuments docs;
    ASSERT_TRUE(QFile::rename(env.ini(), env.path("her.ini")));
    makeLink(env.path("her.ini"), env.ini(), kAnna);
    EXPECT_FALSE(Initialise());
    EXPECT_EQ(env.endCalls(), 1);
    EXPECT_EQ(env.endStatus(), 1);
    EXPECT_TRUE(docs.opened.isEmpty());
    EXPECT_TRUE(log().contains(",Cant use the settings file '" + env.ini() + "' - " + env.ini() +
                               " is a link owned by 4242\r\n"));
}
