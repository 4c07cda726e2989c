#include "backup/frmProgress.h"
#include "BackupTestSupport.h"
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "foundation/FileListModel.h"
#include "foundation/IniFile.h"
#include "foundation/frmSetupPathList.h"
#include "platform/FileStatus.h"
#include "support/OpenedDocuments.h"
#include "support/ScopedTimeZone.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace {
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        RunningSilently = true;
        now = BackupTestNow();
    }
    void TearDown() override {
        RunningSilently = false;
        frmSetupPathList::SetShownHook({});
    }
    void writeIni(const QString& general) {
        env.writeFile("corvex.ini", "[general]\r\n" + general + "[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    }
    frmProgress& load() {
        form = std::make_unique<frmProgress>();
        form->Form_Load();
        return *form;
    }
    // A loaded window, shown at a given size so that clicks reach its controls.
    frmProgress& shown(int width = 900, int height = 700) {
        writeIni("backupType=0\r\n");
        RunningSilently = false;
        frmProgress& f = load();
        f.resize(width, height);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        return f;
    }
    // A folder of today's files, listed with all subfolders.
    void writeTree(const QStringList& files) {
        for (const QString& file : files) WriteBytes(env.path("tree/" + file), "x");
        env.writeFile("MyPaths.txt", env.path("tree/*") + "\r\n");
        env.setNow(QDateTime::currentDateTime());
    }
    QStringList fileRows() const {
        QStringList rows;
        for (const FileListModel::Row& row : form->fileList->rows())
            rows << row.path.mid(env.folder().size() + 6);  // after ".../tree/"
        return rows;
    }
    QString setting(const char* key) { return ReadIni(env.ini(), "general", key); }
    // The user's two steps, as the buttons are clicked.
    void refresh() { QTest::mouseClick(form->cmdGetFileList, Qt::LeftButton); }
    void start() { QTest::mouseClick(form->cmdStart, Qt::LeftButton); }
    // Shown, given the focus and active, so that keys and shortcuts reach it.
    void activate() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // A row of the scan with that size, or with a negative size a row holding
    // the path alone (as read back from failed.txt). The rows stand for a
    // refresh's, so Start is enabled as after one.
    void addRow(const QString& path, qint64 size, bool ticked) {
        form->cmdStart->setEnabled(true);
        if (size < 0) {
            form->fileList->addPathRow(path, ticked);
        } else {
            platform::FileStatus status;
            status.exists = status.isFile = true;
            status.size = size;
            const qsizetype slash = path.lastIndexOf('/') + 1;
            form->fileList->addFullRow(path.left(slash), path.mid(slash), status, ticked);
        }
        form->fileList->showAddedRows();
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    QDateTime now;
    std::unique_ptr<frmProgress> form;
};
}  // namespace

TEST_F(MainWindowTest, ControlsCarryTheirNames) {
    frmProgress f;
    for (const char* name : {"txtDestDir",
                             "cmbDestType",
                             "chkReplicatePaths",
                             "chkRecordToPlandel",
                             "DTPicker1",
                             "DTPicker2",
                             "lstPath",
                             "lvExclude",
                             "cmdEditPathList",
                             "cmdEditExcludedDirs",
                             "lvwFiles",
                             "lstAllPaths",
                             "lstXTN",
                             "ProgressBarTotal",
                             "lblTotalBytes",
                             "lblTotalFiles",
                             "cmdGetFileList",
                             "cmdStart",
                             "frameStatus",
                             "lblFile",
                             "ProgressBarCurrent"})
        EXPECT_NE(f.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(f.lvwFiles->header()->count() - f.lvwFiles->header()->hiddenSectionCount(), 7);
    EXPECT_EQ(f.lvwFiles->model()->headerData(5, Qt::Horizontal).toString(), "Modified");
    EXPECT_EQ(f.DTPicker1->displayFormat(), "d-MMM-yyyy");
    EXPECT_FALSE(f.cmdStart->isEnabled());
    EXPECT_EQ(f.cmdGetFileList->text(), "1. Refresh List");
}

TEST_F(MainWindowTest, FirstLoadWithoutAnEarlierBackup) {
    writeIni("backupTo=/dest/\r\n");
    env.writeFile("MyPaths.txt", "/home/anna/\r\n/srv/*\r\n");
    env.writeFile("ExcludedPaths.txt", "/tmp/\r\n");
    frmProgress& f = load();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), "Corvex");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 2, 25));
    EXPECT_EQ(f.DTPicker2->date(), QDate(2003, 4, 28));
    EXPECT_EQ(f.cmbDestType->count(), 8);
    EXPECT_EQ(f.cmbDestType->itemText(4), "Cyclic Monlthy Backup (appends month as subdirectory)");
    ASSERT_EQ(f.lstPath->topLevelItemCount(), 2);
    EXPECT_EQ(f.lstPath->topLevelItem(1)->text(0), "/srv/*");
    EXPECT_EQ(f.lstPath->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(f.lvExclude->topLevelItemCount(), 1);
    EXPECT_EQ(f.lstXTN->count(), 1);
    EXPECT_EQ(f.lstXTN->item(0)->text(), "*.*");
    EXPECT_EQ(f.txtDestDir->text(), "/dest/");
    // Empty settings: type 0 selected and written back, both options cleared and written.
    EXPECT_EQ(f.cmbDestType->currentIndex(), 0);
    EXPECT_EQ(setting("backupType"), "0");
    EXPECT_FALSE(f.chkReplicatePaths->isChecked());
    EXPECT_EQ(setting("keepPaths"), "0");
    EXPECT_FALSE(f.chkRecordToPlandel->isChecked());
    EXPECT_EQ(setting("RecordToPlandel"), "0");
    EXPECT_FALSE(f.mnuOptIgnore->isChecked());
}

TEST_F(MainWindowTest, StoredValuesAndTheirWriteThrough) {
    writeIni(
        "dateOfLastBackup=2003-04-20 09:30:00\r\nbackupType=2.5\r\nkeepPaths=1\r\nRecordToPlandel=1\r\n"
        "IgnoreFailedFileCopies=1\r\n");
    frmProgress& f = load();
    EXPECT_EQ(f.windowTitle(), "Corvex - last backup was 2003-04-20 09:30:00");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 4, 20));
    EXPECT_EQ(f.cmbDestType->currentIndex(), 2);
    EXPECT_EQ(setting("backupType"), "2");
    EXPECT_TRUE(f.chkReplicatePaths->isChecked());
    EXPECT_TRUE(f.chkRecordToPlandel->isChecked());
    EXPECT_TRUE(f.mnuOptIgnore->isChecked());

    f.chkReplicatePaths->setChecked(false);
    EXPECT_EQ(setting("keepPaths"), "0");
    f.chkRecordToPlandel->setChecked(false);
    EXPECT_EQ(setting("RecordToPlandel"), "0");
    f.cmbDestType->setCurrentIndex(7);
    EXPECT_EQ(setting("backupType"), "7");
}

TEST_F(MainWindowTest, TypeOutsideTheListSelectsNothingAndBadDatesFallBack) {
    writeIni("dateOfLastBackup=yesterday\r\nbackupType=9\r\n");
    frmProgress& f = load();
    EXPECT_EQ(f.cmbDestType->currentIndex(), -1);
    EXPECT_EQ(setting("backupType"), "9");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 2, 25));
    // A date after now (a clock that was once wrong) would list nothing for ever.
    writeIni("dateOfLastBackup=2003-04-28 14:05:31\r\n");
    EXPECT_EQ(load().DTPicker1->date(), QDate(2003, 2, 25));
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",dateOfLastBackup '2003-04-28 14:05:31' lies in the future - listing the last 62 days"));
    writeIni("backupType=-1\r\n");
    EXPECT_EQ(load().cmbDestType->currentIndex(), -1);
}

TEST_F(MainWindowTest, ShownWhenNotSilent) {
    writeIni({});
    RunningSilently = false;
    EXPECT_TRUE(load().isVisible());
}

TEST_F(MainWindowTest, TotalsFollowTheTickedRows) {
    writeIni({});
    frmProgress& f = load();
    addRow("/a", 1234567, true);
    addRow("/b", -1, true);
    addRow("/c", 10, false);
    addRow("/d", -1, true);
    addRow("/e", 3, true);
    f.UpdateStatus();
    EXPECT_EQ(f.lblTotalBytes->text(), "1,234,570");
    EXPECT_EQ(f.lblTotalFiles->text(), "4");
    for (int i = 0; i < f.fileList->count(); ++i) f.fileList->setTicked(i, false);
    f.UpdateStatus();
    EXPECT_EQ(f.lblTotalBytes->text(), "0");
    EXPECT_EQ(f.lblTotalFiles->text(), "0");
}

TEST_F(MainWindowTest, RefreshListsTheChangedFilesAndEnablesStart) {
    WriteBytes(env.path("tree/a.txt"), "aaa");
    WriteBytes(env.path("tree/sub/b.txt"), "bb");
    env.writeFile("MyPaths.txt", env.path("tree/*") + "\r\n");
    writeIni({});
    env.setNow(QDateTime::currentDateTime());
    frmProgress& f = load();
    refresh();
    EXPECT_EQ(f.fileList->count(), 2);
    EXPECT_EQ(f.lblTotalFiles->text(), "2");
    EXPECT_EQ(f.lblTotalBytes->text(), "5");
    EXPECT_TRUE(f.cmdStart->isEnabled());
    EXPECT_TRUE(f.cmdGetFileList->isEnabled());
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));
}

// The pickers show the local days of the stored moment and of now, and the
// refresh lists what changed since, early or late in the local day, in every
// zone: a change after the last run in the evening and one after midnight.
TEST_F(MainWindowTest, ThePickersAndTheRefreshUseLocalDaysInEveryZone) {
    const QDate today(2024, 5, 10);
    const QDate yesterday = today.addDays(-1);
    for (const char* zone : kTestTimeZones) {
        const ScopedTimeZone tz(zone);
        for (const QTime clock : {QTime(0, 45), QTime(23, 30)}) {
            const QString tree = env.path("tree");
            QDir(tree).removeRecursively();
            WriteBytes(tree + "/after-the-run.txt", "x");
            WriteBytes(tree + "/after-midnight.txt", "x");
            WriteBytes(tree + "/before.txt", "x");
            for (const auto& [name, when] :
                 {std::pair{"/after-the-run.txt", QDateTime(yesterday, QTime(21, 0))},
                  std::pair{"/after-midnight.txt", QDateTime(today, QTime(0, 20))},
                  std::pair{"/before.txt", QDateTime(yesterday, QTime(0, 0)).addSecs(-60)}}) {
                QFile file(tree + name);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
            }
            env.writeFile("MyPaths.txt", tree + "/\r\n");
            writeIni("dateOfLastBackup=" + yesterday.toString("yyyy-MM-dd") + " 20:00:00\r\n");
            env.setNow(QDateTime(today, clock));
            frmProgress& f = load();
            EXPECT_EQ(f.DTPicker1->date(), yesterday) << zone;
            EXPECT_EQ(f.DTPicker2->date(), today) << zone;
            refresh();
            EXPECT_EQ(fileRows(), (QStringList{"after-midnight.txt", "after-the-run.txt"}))
                << zone << " at " << clock.toString().toStdString();
        }
    }
}

TEST_F(MainWindowTest, RefreshBringsBackTheFilesTheLastRunCouldNotCopy) {
    WriteBytes(env.path("tree/new.txt"), "new");
    WriteBytes(env.path("old/failed-before.txt"), "12345");
    WriteBytes(env.path("elsewhere/unlisted.txt"), "u");
    env.writeFile("MyPaths.txt",
                  env.path("tree/*") + "\r\n" + env.path("old/*") + "\r\n" + env.path("gone/*") + "\r\n");
    env.writeFile("ExcludedPaths.txt", "");
    env.writeFile("failed.txt", env.path("old/failed-before.txt") + "\r\n" + env.path("tree/new.txt") + "\r\n" +
                                    env.path("old/deleted.txt") + "\r\n" + env.path("gone/waits.txt") + "\r\n" +
                                    env.path("elsewhere/unlisted.txt") + "\r\n");
    // The date window begins tomorrow: only failed.txt brings files into the list.
    writeIni("backupType=0\r\ndateOfLastBackup=" + QDateTime::currentDateTime().addDays(1).toString("yyyy-MM-dd") +
             " 00:00:00\r\n");
    env.setNow(QDateTime::currentDateTime().addDays(1));
    frmProgress& f = load();
    refresh();
    // The earlier failures that still exist come back ticked, each once.
    QStringList rows;
    for (int i = 0; i < f.fileList->count(); ++i) {
        rows << f.fileList->row(i).path;
        EXPECT_TRUE(f.fileList->row(i).ticked);
        EXPECT_EQ(f.fileList->text(i, 1), QFileInfo(rows.last()).fileName());
    }
    rows.sort();
    EXPECT_EQ(rows, (QStringList{env.path("old/failed-before.txt"), env.path("tree/new.txt")}));
    EXPECT_EQ(f.lblTotalBytes->text(), "8");
    // The listed folder that has gone, and the file that waits in it, are
    // errors of the backup started next; the file waits on.
    f.txtDestDir->setText(env.path("dest"));
    start();
    EXPECT_TRUE(env.readLines("events.log")
                    .last()
                    .endsWith(" copied 2 files (8 bytes) to " + env.path("dest/") + " with 2 errors"))
        << env.readFile("events.log").toStdString();
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("gone/waits.txt")});
}

TEST_F(MainWindowTest, StartCopiesTheTickedRowsAndReloadsTheFailedOnes) {
    writeIni("backupType=1\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    f.txtDestDir->setText(env.path("dest"));
    addRow(env.path("src/a.txt"), 3, true);
    addRow(env.path("src/gone.txt"), 9, true);
    addRow(env.path("src/skip.txt"), 9, false);
    f.UpdateStatus();
    env.setNow(now.addSecs(60));
    boxes.answer(platform::Answer::Yes).answer(platform::Answer::OK);
    start();

    EXPECT_EQ(f.txtDestDir->text(), env.path("dest/"));
    EXPECT_EQ(setting("backupTo"), env.path("dest/"));
    EXPECT_EQ(setting("backupType"), "1");
    EXPECT_EQ(ReadBytes(env.path("dest/20030428/a.txt")), "aaa");
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-28 14:06:30");
    EXPECT_EQ(f.windowTitle(), "Corvex - last backup was 2003-04-28 14:06:30");
    EXPECT_EQ(f.DTPicker1->dateTime(), now.addSecs(60));
    EXPECT_EQ(f.lblTotalBytes->text(), "0");
    EXPECT_EQ(f.lblTotalFiles->text(), "0");
    // Only the failed file is back in the list, ticked, and waits in failed.txt.
    ASSERT_EQ(f.fileList->count(), 1);
    EXPECT_EQ(f.fileList->row(0).path, env.path("src/gone.txt"));
    EXPECT_TRUE(f.fileList->row(0).ticked);
    EXPECT_EQ(env.readLines("failed.txt"), QStringList{env.path("src/gone.txt")});
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().title, "Error - some files were in use");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));
}

// A start whose settings cannot be saved (a read-only settings file) still
// copies, and each setting it could not save is an error of that run.
TEST_F(MainWindowTest, SettingsAStartCannotSaveAreErrorsOfItsRun) {
    writeIni("backupType=0\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    f.txtDestDir->setText(env.path("dest"));
    addRow(env.path("src/a.txt"), 3, true);
    f.UpdateStatus();
    ASSERT_EQ(::chmod(QFile::encodeName(env.ini()).constData(), 0444), 0);
    start();
    ::chmod(QFile::encodeName(env.ini()).constData(), 0644);
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaa");
    // backupTo, backupType and the date of the last backup.
    EXPECT_TRUE(env.readLines("events.log").last().endsWith(" with 3 errors"))
        << env.readFile("events.log").toStdString();
    const QString log = env.readFile("corvex.log");
    for (const char* key : {"backupTo", "backupType"})
        EXPECT_TRUE(log.contains(QString(",Cant write the setting [general] ") + key)) << key;
    EXPECT_TRUE(log.contains("none of [general] dateOfLastBackup, [general] dateOfLastBackupUtcOffset was saved"));
}

// The rows a start could not copy come back with Start enabled; a second
// start copies just those and leaves the date the first one stored, so the
// next refresh still lists what changed since the first one's list was made.
TEST_F(MainWindowTest, StartStaysEnabledForTheRowsThatCouldNotBeCopied) {
    writeIni("backupType=0\r\nIgnoreFailedFileCopies=1\r\ndateOfLastBackup=2003-04-20 09:30:00\r\n");
    frmProgress& f = load();
    f.txtDestDir->setText(env.path("dest"));
    WriteBytes(env.path("src/a.txt"), "aaa");
    addRow(env.path("src/a.txt"), 3, true);
    addRow(env.path("src/b.txt"), 2, true);  // not there yet: fails
    addRow(env.path("src/c.txt"), 2, true);  // fails in both starts
    boxes.answerAllWith(platform::Answer::OK);
    start();
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-28 14:05:30");
    ASSERT_EQ(f.fileList->count(), 2);
    EXPECT_TRUE(f.cmdStart->isEnabled()) << "the box asks the user to click Start again";

    WriteBytes(env.path("src/a.txt"), "changed since the first start");
    WriteBytes(env.path("src/b.txt"), "bb");
    env.setNow(now.addSecs(3600));
    start();
    EXPECT_EQ(ReadBytes(env.path("dest/b.txt")), "bb");
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "aaa") << "only the rows that failed are copied";
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_EQ(f.windowTitle(), "Corvex - last backup was 2003-04-28 14:05:30");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 4, 28));
    ASSERT_EQ(f.fileList->count(), 1);
    EXPECT_EQ(f.fileList->row(0).path, env.path("src/c.txt"));
    EXPECT_TRUE(f.cmdStart->isEnabled());

    // A retry without failures waits for the next refresh, as every run does.
    WriteBytes(env.path("src/c.txt"), "cc");
    start();
    EXPECT_EQ(ReadBytes(env.path("dest/c.txt")), "cc");
    EXPECT_EQ(f.fileList->count(), 0);
    EXPECT_FALSE(f.cmdStart->isEnabled());
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-28 14:05:30");
    EXPECT_EQ(env.readLines("events.log").size(), 3);
}

// A start copies only rows a refresh made since the last run: pressed again,
// or by its key before any refresh, it moves no date.
TEST_F(MainWindowTest, StartWaitsForARefreshAfterEveryRun) {
    writeTree({"a.txt"});
    writeIni("backupType=0\r\ndateOfLastBackup=2003-04-20 09:30:00\r\nbackupTo=" + env.path("dest") + "\r\n");
    RunningSilently = false;
    frmProgress& f = load();
    activate();
    const auto pressStartKey = [&] { QTest::keyClick(&f, Qt::Key_F2, Qt::ControlModifier); };
    pressStartKey();
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-20 09:30:00");

    refresh();
    ASSERT_TRUE(f.cmdStart->isEnabled());
    pressStartKey();
    EXPECT_EQ(ReadBytes(env.path("dest/a.txt")), "x");
    const QString afterRun = setting("dateOfLastBackup");
    EXPECT_NE(afterRun, "2003-04-20 09:30:00");
    EXPECT_FALSE(f.cmdStart->isEnabled());

    env.setNow(QDateTime::currentDateTime().addSecs(120));
    start();
    pressStartKey();
    EXPECT_EQ(env.readLines("events.log").size(), 1);
    EXPECT_EQ(setting("dateOfLastBackup"), afterRun);
    refresh();
    EXPECT_TRUE(f.cmdStart->isEnabled());
}

// A refresh just before midnight and a start just after: the changes made
// in between are listed again by the next run, and the folder is the day's
// (or minute's) of the list, which the last-backup window finds.
TEST_F(MainWindowTest, TheStoredMomentAndTheFolderAreThoseOfTheRefreshThatMadeTheList) {
    writeTree({"a.txt"});
    for (const auto& [type, folder] : {std::pair{1, "20030427"}, std::pair{7, "20030427_2359"}}) {
        writeIni("backupType=" + QString::number(type) +
                 "\r\ndateOfLastBackup=2003-04-20 09:30:00\r\nbackupTo=" + env.path("dest") + "\r\n");
        env.setNow(QDateTime(QDate(2003, 4, 27), QTime(23, 59, 58)));
        load();
        refresh();
        env.setNow(QDateTime(QDate(2003, 4, 28), QTime(0, 1, 10)));
        start();
        EXPECT_EQ(ReadBytes(env.path("dest/") + folder + "/a.txt"), "x") << type;
        EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-27 23:59:58") << type;
    }
}

TEST_F(MainWindowTest, StartWithoutATypeStopsAndKeepsTheList) {
    writeIni("backupType=9\r\n");
    frmProgress& f = load();
    f.txtDestDir->setText(env.path("dest"));
    addRow("/x", 1, true);
    start();
    EXPECT_EQ(setting("backupTo"), env.path("dest/"));
    EXPECT_EQ(setting("backupType"), "-1");
    EXPECT_EQ(f.fileList->count(), 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(MainWindowTest, TestDestinationCopiesNothing) {
    writeIni("backupType=1\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    addRow(env.path("src/a.txt"), 3, true);
    f.txtDestDir->setText("/Dev/Null");
    start();
    EXPECT_EQ(setting("backupTo"), "/Dev/Null/");
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_TRUE(env.readFile("events.log").contains(" copied 1 files (0 bytes) to /Dev/Null/ with 0 errors"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(MainWindowTest, ADestinationThatCannotBeWrittenKeepsTheListAndDates) {
    writeIni("dateOfLastBackup=2003-04-20 09:30:00\r\nbackupType=0\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    addRow(env.path("src/a.txt"), 3, true);
    f.UpdateStatus();
    // The folder exists, but a folder takes the name of its list of files.
    QDir().mkpath(env.path("dest/_files.txt"));
    f.txtDestDir->setText(env.path("dest"));
    boxes.answer(platform::Answer::OK);
    start();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Cant write to the Destination folder");
    // Nothing was copied, so nothing the user chose is thrown away.
    ASSERT_EQ(f.fileList->count(), 1);
    EXPECT_EQ(f.fileList->row(0).path, env.path("src/a.txt"));
    EXPECT_EQ(f.lblTotalFiles->text(), "1");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 4, 20));
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-20 09:30:00");
    EXPECT_TRUE(f.cmdStart->isEnabled());
    EXPECT_TRUE(f.cmdGetFileList->isEnabled());
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));
}

TEST_F(MainWindowTest, MenuBarHoldsEveryEntryInOrder) {
    frmProgress f;
    struct Entry {
        const char* name;
        const char* caption;  // "-" for a separator
        QKeySequence key;
    };
    const std::vector<std::pair<const char*, std::vector<Entry>>> menus = {
        {"&File",
         {{"mnuPathsEdit", "&Edit Path List...", QKeySequence(Qt::Key_F3)},
          {"mnuPathDumm1", "-", {}},
          {"mnuPathDisplay", "&Display List of Files", QKeySequence(Qt::CTRL | Qt::Key_F1)},
          {"mnuPathBackup", "&Start the Backup", QKeySequence(Qt::CTRL | Qt::Key_F2)},
          {"mnuPathDumm2", "-", {}},
          {"mnuFileExit", "E&xit", {}}}},
        {"&Options",
         {{"mnuOptSetup", "&Setup Corvex...", {}},
          {"mnuOptDum1", "-", {}},
          {"mnuOptIgnore", "&Ignore Error messages when Files cant be copied", {}},
          {"mnuOptDumm1", "-", {}},
          {"mnuOptExcludeText", "&Add wildcard spec to the Excluded pathlist", {}}}},
        {"&View",
         {{"mnuViewPast", "&Details of Last Backup", {}},
          {"mnuViewLog", "&Log Files", {}},
          {"mnuViewDum", "-", {}},
          {"mnuViewShowPaths", "Show All Paths being checked", {}}}},
        {"&Help",
         {{"mnuHelpContents", "&Contents", QKeySequence(Qt::Key_F1)},
          {"mnuHelpNew", "Whats New in version 3.0 ?", {}},
          {"mnuHelpDum1", "-", {}},
          {"mnuHelpOther", "Other products from Tamsel Software", {}},
          {"mnuHelpDum3", "-", {}},
          {"mnuHelpAbout", "&About", QKeySequence(Qt::SHIFT | Qt::Key_F1)}}}};
    const QList<QAction*> bar = f.menuBar()->actions();
    ASSERT_EQ(bar.size(), qsizetype(menus.size()));
    for (size_t m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(bar[qsizetype(m)]->text(), menus[m].first);
        const QList<QAction*> entries = bar[qsizetype(m)]->menu()->actions();
        ASSERT_EQ(entries.size(), qsizetype(menus[m].second.size())) << menus[m].first;
        for (size_t i = 0; i < menus[m].second.size(); ++i) {
            const Entry& e = menus[m].second[i];
            const QAction* a = entries[qsizetype(i)];
            EXPECT_EQ(a->objectName(), e.name);
            if (QString(e.caption) == "-") {
                EXPECT_TRUE(a->isSeparator()) << e.name;
            } else {
                EXPECT_EQ(a->text(), e.caption) << e.name;
                EXPECT_EQ(a->shortcut(), e.key) << e.name;
            }
        }
    }
    EXPECT_TRUE(f.mnuOptIgnore->isCheckable());
    EXPECT_TRUE(f.mnuViewShowPaths->isCheckable());
    EXPECT_FALSE(f.mnuViewShowPaths->isChecked());
}

TEST_F(MainWindowTest, IgnoreEntryWritesItsSetting) {
    writeIni({});
    frmProgress& f = load();
    f.mnuOptIgnore->trigger();
    EXPECT_TRUE(f.mnuOptIgnore->isChecked());
    EXPECT_EQ(setting("IgnoreFailedFileCopies"), "1");
    f.mnuOptIgnore->trigger();
    EXPECT_EQ(setting("IgnoreFailedFileCopies"), "0");
}

TEST_F(MainWindowTest, AddWildcardSpecRewritesTheExcludedList) {
    writeIni({});
    env.writeFile("ExcludedPaths.txt", "/tmp/\r\n/.cache/\r\n");
    frmProgress& f = load();
    boxes.reply("/x/backup/").reply("");
    f.mnuOptExcludeText->trigger();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Adding Text to be Excluded");
    EXPECT_EQ(boxes.last().defaultText, "/backup/");
    EXPECT_EQ(boxes.last().text.count("\r\n"), 11);
    EXPECT_EQ(env.readFile("ExcludedPaths.txt"), "/tmp/\r\n/.cache/\r\n/x/backup/\r\n");
    EXPECT_EQ(f.lvExclude->topLevelItemCount(), 3);
    // Cancel changes nothing.
    f.mnuOptExcludeText->trigger();
    EXPECT_EQ(env.readFile("ExcludedPaths.txt"), "/tmp/\r\n/.cache/\r\n/x/backup/\r\n");
    EXPECT_EQ(f.lvExclude->topLevelItemCount(), 3);
}

TEST_F(MainWindowTest, EntriesThatOpenPagesOrEndTheProgram) {
    writeIni({});
    frmProgress& f = load();
    OpenedDocuments docs;
    f.mnuHelpContents->trigger();
    EXPECT_EQ(docs.opened, QStringList{env.path("corvex.html")});
    EXPECT_EQ(env.endCalls(), 0);

    boxes.answer(platform::Answer::OK);
    f.mnuHelpNew->trigger();
    EXPECT_EQ(boxes.last().title, "New Features in version 3.0");
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::OK);

    f.mnuOptSetup->trigger();
    EXPECT_EQ(docs.opened.last(), env.path("vantor"));
    EXPECT_EQ(env.endCalls(), 1);
    f.mnuFileExit->trigger();
    EXPECT_EQ(env.endCalls(), 2);
    f.close();
    EXPECT_EQ(env.endCalls(), 3);
}

TEST_F(MainWindowTest, LayoutFillsTheWindowAndShowAllPathsGivesWidthBack) {
    frmProgress& f = shown(900, 700);
    const QWidget* client = f.centralWidget();
    const auto rightGap = [client](const QWidget* w) {
        return client->width() - w->mapTo(client, QPoint(w->width(), 0)).x();
    };
    const auto fullWidth = [&] {
        EXPECT_EQ(f.lvwFiles->mapTo(client, QPoint(0, 0)).x(), 0);
        EXPECT_EQ(rightGap(f.lvwFiles), 0);
        EXPECT_EQ(f.lvwFiles->mapTo(client, QPoint(0, f.lvwFiles->height())).y(), client->height());
    };
    fullWidth();
    EXPECT_EQ(rightGap(f.txtDestDir), 50 / 15);
    EXPECT_EQ(rightGap(f.cmbDestType), 50 / 15);
    // The layout sets the least size, and it lies above 4000 twips both ways.
    EXPECT_GE(client->minimumSizeHint().width(), 4000 / 15);
    EXPECT_GE(client->minimumSizeHint().height(), 4000 / 15);

    EXPECT_FALSE(f.lstAllPaths->isVisible());
    f.mnuViewShowPaths->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(f.lstAllPaths->isVisible());
    EXPECT_TRUE(f.lblAllPaths->isVisible());
    EXPECT_EQ(f.lblAllPaths->text(), "List of all Paths to be checked");
    EXPECT_GE(f.lvwFiles->mapTo(client, QPoint(0, 0)).x(), 4200 / 15);
    EXPECT_EQ(rightGap(f.lvwFiles), 0);
    f.mnuViewShowPaths->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(f.lstAllPaths->isVisible());
    EXPECT_FALSE(f.lblAllPaths->isVisible());
    fullWidth();
}

namespace {

// Whether a column's header shows its text whole, also while the list is
// sorted by it, as the header's style lays out the label.
bool headerTextWhole(const QHeaderView* header, int column) {
    QStyleOptionHeader option;
    option.initFrom(header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.sortIndicator = QStyleOptionHeader::SortUp;
    option.rect = QRect(0, 0, header->sectionSize(column), header->height());
    const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
    const QString text = header->model()->headerData(column, Qt::Horizontal).toString();
    return header->fontMetrics().horizontalAdvance(text) <= label.width();
}

// Whether a cell shows its text whole: the style keeps a margin at either side.
bool cellTextWhole(const QTreeView* view, int row, int column) {
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    const QString text = view->model()->index(row, column).data().toString();
    return view->fontMetrics().horizontalAdvance(text) + margins <= view->header()->sectionSize(column);
}

// The user drags the right edge of a column's header dx pixels.
void dragColumnEdge(QHeaderView* header, int column, int dx) {
    const int edge = header->sectionViewportPosition(column) + header->sectionSize(column) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + dx, y), header->viewport()->mapToGlobal(QPointF(edge + dx, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + dx, y));
}

// Files with names of 30 characters in 100-character paths below folder
// (which ends in "/"), the first of 1,234,567 bytes.
QStringList longNamedFiles(const QString& folder) {
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        const QString name =
            QStringLiteral("quarterly-report-%1").arg(i, 2, 10, QChar(u'0')).leftJustified(26, u'x') + ".txt";
        const QString sub = QStringLiteral("customers/accounts-").leftJustified(int(100 - folder.size() - 31), u'y');
        files << sub + "/" + name;
    }
    return files;
}

}  // namespace

// At the default size, at 11 and 14 pt and with Show All Paths, every header
// text is whole, and so are the names, sizes, types and times; Comments stays
// narrow, and the columns reach the view's edge or the list scrolls sideways
// to the last one. A sort moves no column; in a wider window "Path and
// Filename" takes the width the others leave.
TEST_F(MainWindowTest, ColumnsFitTheirTextsAndHeadersAtElevenAndFourteenPoints) {
    const QStringList files = longNamedFiles(env.path("tree/"));
    writeTree(files);
    WriteBytes(env.path("tree/" + files.first()), QByteArray(1234567, 'x'));
    ASSERT_EQ(env.path("tree/" + files.first()).size(), 100);
    writeIni("backupType=0\r\n");
    RunningSilently = false;
    const QFont before = QApplication::font();
    for (const int points : {11, 14}) {
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        frmProgress& f = load();
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        refresh();
        ASSERT_EQ(f.fileList->count(), 12);
        QHeaderView* header = f.lvwFiles->header();
        const auto check = [&](const char* when) {
            QApplication::processEvents();
            const std::string at = std::to_string(points) + " pt, " + when;
            for (int c = 0; c < 7; ++c) EXPECT_TRUE(headerTextWhole(header, c)) << at << ", column " << c;
            for (int r = 0; r < f.fileList->rowCount(); ++r)
                for (const int c : {FileListModel::NameColumn, FileListModel::SizeColumn, FileListModel::TypeColumn,
                                    FileListModel::ModifiedColumn})
                    EXPECT_TRUE(cellTextWhole(f.lvwFiles, r, c)) << at << ", row " << r << ", column " << c;
            const QFontMetrics captions = header->fontMetrics();
            EXPECT_LT(header->sectionSize(6), captions.horizontalAdvance("Comments") + 3 * captions.averageCharWidth())
                << at;
            EXPECT_GE(header->sectionSize(2), 10 * f.lvwFiles->fontMetrics().averageCharWidth()) << at;
            const int view = f.lvwFiles->viewport()->width();
            EXPECT_GE(header->length(), view) << at << ": the columns reach the edge";
            EXPECT_EQ(f.lvwFiles->horizontalScrollBar()->maximum(), header->length() - view)
                << at << ": the last column is in reach";
        };
        check("default size");
        std::vector<int> widths;
        for (int c = 0; c < 7; ++c) widths.push_back(header->sectionSize(c));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(5) + 4, header->height() / 2));
        ASSERT_EQ(header->sortIndicatorSection(), 5);
        for (int c = 0; c < 7; ++c) EXPECT_EQ(header->sectionSize(c), widths[size_t(c)]) << points << " pt, sorted";
        f.mnuViewShowPaths->trigger();
        check("with all paths");
        f.mnuViewShowPaths->trigger();
        f.resize(f.width() + 700, f.height());
        check("wider");
        EXPECT_EQ(header->length(), f.lvwFiles->viewport()->width()) << points << " pt";
        EXPECT_GT(header->sectionSize(0), widths[0]) << points << " pt";
        form.reset();
    }
    QApplication::setFont(before);
}

// A width the user gives a column by dragging its header's edge stays through
// sorts, refreshes, window resizes and Show All Paths; the columns the user
// has not sized are still fitted around it.
TEST_F(MainWindowTest, AColumnTheUserSizedKeepsItsWidth) {
    writeTree(longNamedFiles(env.path("tree/")));
    frmProgress& f = shown(900, 700);
    refresh();
    QHeaderView* header = f.lvwFiles->header();
    const int name = header->sectionSize(FileListModel::NameColumn) + 60;
    const int size = header->sectionSize(FileListModel::SizeColumn) - 10;
    dragColumnEdge(header, FileListModel::NameColumn, 60);
    dragColumnEdge(header, FileListModel::SizeColumn, -10);
    const auto kept = [&](const char* after) {
        QApplication::processEvents();
        EXPECT_EQ(header->sectionSize(FileListModel::NameColumn), name) << after;
        EXPECT_EQ(header->sectionSize(FileListModel::SizeColumn), size) << after;
    };
    kept("the drags");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 4, header->height() / 2));
    kept("a sort");
    refresh();
    kept("a refresh");
    f.mnuViewShowPaths->trigger();
    kept("Show All Paths");
    f.mnuViewShowPaths->trigger();
    const int narrow = header->sectionSize(0);
    f.resize(f.width() + 700, f.height());
    kept("a wider window");
    EXPECT_GT(header->sectionSize(0), narrow) << "the path takes what the others leave";
    EXPECT_EQ(header->length(), f.lvwFiles->viewport()->width());
}

TEST_F(MainWindowTest, RefreshSortsAscendingAndColumnClicksToggleByValue) {
    writeTree({"b.txt", "a.txt", "c/10.txt", "c/9.txt"});
    WriteBytes(env.path("tree/a.txt"), "aa");
    WriteBytes(env.path("tree/b.txt"), "b");
    WriteBytes(env.path("tree/c/10.txt"), QByteArray(10, 'x'));
    WriteBytes(env.path("tree/c/9.txt"), QByteArray(9, 'x'));
    frmProgress& f = shown();
    refresh();
    EXPECT_EQ(fileRows(), (QStringList{"a.txt", "b.txt", "c/10.txt", "c/9.txt"}));
    QHeaderView* header = f.lvwFiles->header();
    const QPoint size(header->sectionViewportPosition(3) + 4, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    EXPECT_EQ(fileRows(), (QStringList{"c/10.txt", "c/9.txt", "a.txt", "b.txt"})) << "the first click sorts descending";
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    EXPECT_EQ(fileRows(), (QStringList{"b.txt", "a.txt", "c/9.txt", "c/10.txt"}));
    // The copy loop walks the rows in the order shown.
    f.txtDestDir->setText(env.path("dest"));
    start();
    EXPECT_EQ(env.readLines("copied.txt"), (QStringList{env.path("tree/b.txt"), env.path("tree/a.txt"),
                                                        env.path("tree/c/9.txt"), env.path("tree/c/10.txt")}));
}

TEST_F(MainWindowTest, ListEventsTicksToolTipsAndDoubleClick) {
    writeTree({"keep/a.txt", "drop/b.txt"});
    env.writeFile("MyPaths.txt", env.path("tree/keep") + "\r\n" + env.path("tree/drop") + "\r\n");
    frmProgress& f = shown();
    refresh();
    ASSERT_EQ(fileRows(), (QStringList{"drop/b.txt", "keep/a.txt"}));
    EXPECT_EQ(f.lblTotalFiles->text(), "2");

    // Unticking a row of the file list recounts the totals.
    f.fileList->setData(f.fileList->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    QApplication::processEvents();
    EXPECT_EQ(f.lblTotalFiles->text(), "1");
    EXPECT_EQ(f.lblTotalBytes->text(), "1");

    // Unticking a folder refreshes the file list.
    f.lstPath->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(fileRows(), QStringList{"keep/a.txt"});
    // A tick made while a refresh runs is followed by one more refresh.
    QTimer::singleShot(0, &f, [&f] { f.lstPath->topLevelItem(1)->setCheckState(0, Qt::Checked); });
    refresh();
    EXPECT_EQ(fileRows(), (QStringList{"drop/b.txt", "keep/a.txt"}));

    // Clicking a row of a folder list shows its whole text as the tool tip.
    QTreeWidget* path = f.lstPath;
    QTest::mouseClick(path->viewport(), Qt::LeftButton, {}, path->visualItemRect(path->topLevelItem(0)).center());
    EXPECT_EQ(path->toolTip(), env.path("tree/keep"));

    // Double-clicking a file opens it (the click before it selects the row).
    OpenedDocuments docs;
    QTreeView* files = f.lvwFiles;
    const QPoint row = files->visualRect(f.fileList->index(1, 0)).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, row);
    EXPECT_EQ(docs.opened, QStringList{env.path("tree/keep/a.txt")});
}

TEST_F(MainWindowTest, AnExcludedFolderFragmentExcludesThatFolder) {
    writeTree({"x/backup/in-backup.txt", "x/backup/sub/deeper.txt", "x/backupfiles/kept.txt", "x/top.txt"});
    env.writeFile("ExcludedPaths.txt", "/x/backup/\r\n");
    writeIni({});
    load();
    refresh();
    EXPECT_EQ(fileRows(), (QStringList{"x/backupfiles/kept.txt", "x/top.txt"}));
}

TEST_F(MainWindowTest, ListButtonsEditTheirListsInTheEditor) {
    writeIni({});
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    env.writeFile("ExcludedPaths.txt", "/tmp/\r\n");
    frmProgress& f = load();
    QStringList seen;
    frmSetupPathList::SetShownHook([&](frmSetupPathList& editor) {
        seen << editor.Mode() + "=" + editor.txtSaveAs->text() + "=" + editor.lstPathList->item(0)->text();
        EXPECT_FALSE(editor.txtSaveAs->isVisibleTo(&editor));
        editor.lstPathList->addItem("/srv/");
        editor.cmdOK->click();
    });
    f.cmdEditPathList->click();
    f.cmdEditExcludedDirs->click();
    EXPECT_EQ(seen, (QStringList{"pathlist=" + PathListFile + "=/home/anna/*",
                                 "ExcludedPathlist=" + ExcludedPathListFile + "=/tmp/"}));
    EXPECT_EQ(env.readFile("MyPaths.txt"), "/home/anna/*\r\n/srv/\r\n");
    ASSERT_EQ(f.lstPath->topLevelItemCount(), 2);
    EXPECT_EQ(f.lvExclude->topLevelItemCount(), 2);
    // Cancel leaves the file, and so the reloaded list, as it was.
    frmSetupPathList::SetShownHook([](frmSetupPathList& editor) {
        editor.lstPathList->clear();
        editor.cmdCancel->click();
    });
    f.mnuPathsEdit->trigger();
    EXPECT_EQ(f.lstPath->topLevelItemCount(), 2);
}

TEST_F(MainWindowTest, ViewAndHelpEntriesOpenTheirWindows) {
    writeIni({});
    frmProgress& f = load();
    boxes.answerAllWith(platform::Answer::OK);
    QStringList modal;
    const auto closeModal = [&modal] {
        QTimer::singleShot(0, [&modal] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                modal << w->objectName();
                w->close();
            }
        });
    };
    closeModal();
    f.mnuHelpAbout->trigger();
    closeModal();
    f.mnuHelpOther->trigger();
    EXPECT_EQ(modal, (QStringList{"frmAboutCorvex", "frmTamselShowCase"}));

    f.mnuViewLog->trigger();
    f.mnuViewPast->trigger();
    QStringList modeless;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) modeless << w->objectName();
    EXPECT_TRUE(modeless.contains("frmLogView")) << modeless.join(',').toStdString();
    EXPECT_TRUE(modeless.contains("frmLastBackup")) << modeless.join(',').toStdString();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmLogView" || w->objectName() == "frmLastBackup") w->close();
}

TEST_F(MainWindowTest, EmptyBlankRootOrRelativeDestinationStartsNoBackup) {
    writeIni("backupTo=/kept/\r\nbackupType=0\r\n");
    frmProgress& f = load();
    addRow("/x", 1, true);
    // "   /" is what a blank entry was saved as: it names the root folder.
    // A blank one is missing; any other is named with what is wrong.
    const std::vector<QString> missing{"", "   ", "   /", "/", "/./", "/tmp/..", "bk", ".", "~/Backup"};
    for (const QString& text : missing) {
        f.txtDestDir->clear();
        QTest::keyClicks(f.txtDestDir, text);
        boxes.answer(platform::Answer::OK);
        start();
        EXPECT_EQ(boxes.last().title, "Need to choose a destination directory");
        EXPECT_EQ(boxes.last().text,
                  text.trimmed().isEmpty() || text == "   /"
                      ? "There is no destination directory specified"
                      : "The destination directory '" + text +
                            "' must be a full path, beginning with /, to a folder other than the root folder");
        EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    }
    EXPECT_EQ(boxes.count(), int(missing.size()));
    EXPECT_EQ(setting("backupTo"), "/kept/");
    EXPECT_EQ(f.fileList->count(), 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndElseRefreshes) {
    writeTree({"a.txt", "b.txt"});
    frmProgress& f = shown();
    activate();
    f.txtDestDir->setText(env.path("dest"));
    f.txtDestDir->setFocus();
    QTest::keyClick(f.txtDestDir, Qt::Key_Return);
    ASSERT_EQ(fileRows(), (QStringList{"a.txt", "b.txt"})) << "Enter outside a button refreshes";

    // Enter on "2. Start Backup" starts the backup of the rows as the user ticked them.
    f.fileList->setData(f.fileList->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    f.cmdStart->setFocus();
    QTest::keyClick(f.cmdStart, Qt::Key_Return);
    EXPECT_EQ(env.readLines("copied.txt"), QStringList{env.path("tree/b.txt")});
    EXPECT_EQ(f.fileList->count(), 0);
}

TEST_F(MainWindowTest, ShortcutKeysDoWhatTheirEntriesDo) {
    writeTree({"a.txt"});
    frmProgress& f = shown();
    activate();
    f.txtDestDir->setText(env.path("dest"));
    // A dialog that closed may have taken the activation with it.
    const auto press = [this, &f](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        activate();
        QTest::keyClick(&f, key, modifiers);
    };
    press(Qt::Key_F1, Qt::ControlModifier);
    ASSERT_EQ(fileRows(), QStringList{"a.txt"});
    press(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(env.readLines("copied.txt"), QStringList{env.path("tree/a.txt")});

    OpenedDocuments docs;
    press(Qt::Key_F1);
    EXPECT_EQ(docs.opened, QStringList{env.path("corvex.html")});
    int edited = 0;
    frmSetupPathList::SetShownHook([&edited](frmSetupPathList& editor) {
        ++edited;
        editor.cmdCancel->click();
    });
    press(Qt::Key_F3);
    EXPECT_EQ(edited, 1);
    activate();
    QString modal;
    QTimer::singleShot(0, [&modal] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            modal = w->objectName();
            w->close();
        }
    });
    QTest::keyClick(&f, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(modal, "frmAboutCorvex");
}
