#include "backup/frmProgress.h"
#include "BackupTestSupport.h"
#include "backup/BackupValues.h"
#include "backup/PlannerRecords.h"
#include "backup/ProgramStart.h"
#include "foundation/IniFile.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <memory>

namespace {
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        RunningSilently = true;
        now = BackupTestNow();
    }
    void TearDown() override { RunningSilently = false; }
    void writeIni(const QString& general) {
        env.writeFile("corvex.ini", "[general]\r\n" + general + "[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    }
    frmProgress& load() {
        form = std::make_unique<frmProgress>();
        form->Form_Load();
        return *form;
    }
    QString setting(const char* key) { return ReadIni(env.ini(), "general", key); }
    void addRow(const QString& path, const QString& size, bool ticked) {
        auto* row = new QTreeWidgetItem(form->lvwFiles);
        row->setText(0, path);
        row->setText(3, size);
        row->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
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
    EXPECT_EQ(f.lvwFiles->columnCount(), 7);
    EXPECT_EQ(f.lvwFiles->headerItem()->text(5), "Modified");
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
    addRow("/a", "1,234,567  ", true);
    addRow("/b", "", true);
    addRow("/c", "10         ", false);
    addRow("/d", "junk", true);
    addRow("/e", "3", true);
    f.UpdateStatus();
    EXPECT_EQ(f.lblTotalBytes->text(), "1,234,570");
    EXPECT_EQ(f.lblTotalFiles->text(), "4");
    for (int i = 0; i < f.lvwFiles->topLevelItemCount(); ++i)
        f.lvwFiles->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
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
    f.cmdGetFileList_Click();
    EXPECT_EQ(f.lvwFiles->topLevelItemCount(), 2);
    EXPECT_EQ(f.lblTotalFiles->text(), "2");
    EXPECT_EQ(f.lblTotalBytes->text(), "5");
    EXPECT_TRUE(f.cmdStart->isEnabled());
    EXPECT_TRUE(f.cmdGetFileList->isEnabled());
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));
}

TEST_F(MainWindowTest, StartCopiesTheTickedRowsAndReloadsTheFailedOnes) {
    writeIni("backupType=1\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    f.txtDestDir->setText(env.path("dest"));
    addRow(env.path("src/a.txt"), "3", true);
    addRow(env.path("src/gone.txt"), "9", true);
    addRow(env.path("src/skip.txt"), "9", false);
    f.UpdateStatus();
    env.setNow(now.addSecs(60));
    boxes.answer(platform::Answer::Yes).answer(platform::Answer::OK);
    f.cmdStart_Click();

    EXPECT_EQ(f.txtDestDir->text(), env.path("dest/"));
    EXPECT_EQ(setting("backupTo"), env.path("dest/"));
    EXPECT_EQ(setting("backupType"), "1");
    EXPECT_EQ(ReadBytes(env.path("dest/20030428/a.txt")), "aaa");
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-28 14:06:30");
    EXPECT_EQ(f.windowTitle(), "Corvex - last backup was 2003-04-28 14:06:30");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 4, 28));
    EXPECT_EQ(f.lblTotalBytes->text(), "0");
    EXPECT_EQ(f.lblTotalFiles->text(), "0");
    // Only the failed file is back in the list, ticked; the next start copies just it.
    ASSERT_EQ(f.lvwFiles->topLevelItemCount(), 1);
    EXPECT_EQ(f.lvwFiles->topLevelItem(0)->text(0), env.path("src/gone.txt"));
    EXPECT_EQ(f.lvwFiles->topLevelItem(0)->checkState(0), Qt::Checked);
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().title, "Error - some files were in use");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    EXPECT_TRUE(f.cmdStart->isEnabled());
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));

    WriteBytes(env.path("src/gone.txt"), "back");
    f.cmdStart_Click();
    EXPECT_EQ(ReadBytes(env.path("dest/20030428/gone.txt")), "back");
    EXPECT_EQ(f.lvwFiles->topLevelItemCount(), 0);
    EXPECT_EQ(boxes.count(), 2);
}

TEST_F(MainWindowTest, StartWithoutATypeStopsAndKeepsTheList) {
    writeIni("backupType=9\r\n");
    frmProgress& f = load();
    f.txtDestDir->setText(env.path("dest"));
    addRow("/x", "1", true);
    f.cmdStart_Click();
    EXPECT_EQ(setting("backupTo"), env.path("dest/"));
    EXPECT_EQ(setting("backupType"), "-1");
    EXPECT_EQ(f.lvwFiles->topLevelItemCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(MainWindowTest, TestDestinationCopiesNothing) {
    writeIni("backupType=1\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    addRow(env.path("src/a.txt"), "3", true);
    f.txtDestDir->setText("/Dev/Null");
    f.cmdStart_Click();
    EXPECT_EQ(setting("backupTo"), "/Dev/Null/");
    EXPECT_FALSE(QFileInfo::exists(env.path("copied.txt")));
    EXPECT_TRUE(env.readFile("events.log").contains(" copied 1 files (0 bytes) to /Dev/Null/ with 0 errors"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(MainWindowTest, ADestinationThatCannotBeWrittenKeepsTheListAndDates) {
    writeIni("dateOfLastBackup=2003-04-20 09:30:00\r\nbackupType=0\r\n");
    frmProgress& f = load();
    WriteBytes(env.path("src/a.txt"), "aaa");
    addRow(env.path("src/a.txt"), "3", true);
    f.UpdateStatus();
    f.cmdStart->setEnabled(true);  // as after a refresh
    // The folder exists, but a folder takes the name of its list of files.
    QDir().mkpath(env.path("dest/_files.txt"));
    f.txtDestDir->setText(env.path("dest"));
    boxes.answer(platform::Answer::OK);
    f.cmdStart_Click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Cant write to the Destination folder");
    // Nothing was copied, so nothing the user chose is thrown away.
    ASSERT_EQ(f.lvwFiles->topLevelItemCount(), 1);
    EXPECT_EQ(f.lvwFiles->topLevelItem(0)->text(0), env.path("src/a.txt"));
    EXPECT_EQ(f.lblTotalFiles->text(), "1");
    EXPECT_EQ(f.DTPicker1->date(), QDate(2003, 4, 20));
    EXPECT_EQ(setting("dateOfLastBackup"), "2003-04-20 09:30:00");
    EXPECT_TRUE(f.cmdStart->isEnabled());
    EXPECT_TRUE(f.cmdGetFileList->isEnabled());
    EXPECT_FALSE(f.ProgressBarTotal->isVisibleTo(&f));
}

TEST_F(MainWindowTest, EmptyOrBlankDestinationStartsNoBackup) {
    writeIni("backupTo=/kept/\r\nbackupType=0\r\n");
    frmProgress& f = load();
    addRow("/x", "1", true);
    for (const char* text : {"", "   "}) {
        f.txtDestDir->setText(text);
        boxes.answer(platform::Answer::OK);
        f.cmdStart_Click();
        EXPECT_EQ(boxes.last().title, "Need to choose a destination directory");
        EXPECT_EQ(boxes.last().text, "There is no destination directory specified");
        EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    }
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(setting("backupTo"), "/kept/");
    EXPECT_EQ(f.lvwFiles->topLevelItemCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("events.log")));
}
