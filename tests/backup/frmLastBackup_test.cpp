#include "backup/frmLastBackup.h"
#include "BackupTestSupport.h"
#include "backup/BackupFolder.h"
#include "backup/BackupRun.h"
#include "backup/frmFileCompare.h"
#include "foundation/FileListModel.h"
#include "foundation/IniFile.h"
#include "foundation/NumberText.h"
#include "platform/FileCopy.h"
#include "platform/FileStatus.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <QTest>
#include <memory>

namespace {
// Clicks the file's row in the shown window, as the user does; the finder it
// opens, or null when the file is not listed.
frmFileCompare* ClickFile(frmLastBackup& window, const QString& file) {
    const auto items = window.lstFiles->findItems(file, Qt::MatchExactly);
    if (items.isEmpty()) return nullptr;
    QListWidget* list = window.lstFiles;
    list->scrollToItem(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    return TheFileCompareForm();
}

// Clicks the first copy the finder lists.
void ClickFirstCopy(frmFileCompare& finder) {
    QTreeWidget* list = finder.lvwFiles;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
}

class LastBackupTest : public ::testing::Test {
protected:
    void SetUp() override { UseProgramFolderOf(env); }
    void TearDown() override {
        window.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmFileCompare*>(w)) delete w;
    }
    void writeIni(const QString& general) { env.writeFile("corvex.ini", "[general]\r\n" + general); }
    frmLastBackup& load() {
        window = std::make_unique<frmLastBackup>();
        window->Form_Load();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    frmFileCompare* click(const QString& file) { return ClickFile(*window, file); }
    TestEnvironment env;
    ScriptedBoxes boxes;
    OpenedDocuments opened;
    std::unique_ptr<frmLastBackup> window;
};
}  // namespace

TEST_F(LastBackupTest, LoadShowsTheLastRunFromSettingsAndCopiedList) {
    writeIni("backupTo=/media/usb/Backup/\r\nbackupType=3\r\ndateOfLastBackup=2003-04-27 22:00:00\r\n");
    env.writeFile("copied.txt", "/home/anna/a.txt\r\n\r\n/home/anna/b c.txt\r\n");
    frmLastBackup& w = load();
    EXPECT_EQ(w.windowTitle(), "Details of Last Backup");
    EXPECT_EQ(w.lblFolder->text(), "/media/usb/Backup/");
    EXPECT_EQ(w.txtType->text(), "3");
    EXPECT_EQ(w.lblType->text(), "cyclic weekly backup");
    EXPECT_EQ(w.lbl[1]->text(), "List of Files last backed up on 2003-04-27 22:00:00");
    ASSERT_EQ(w.lstFiles->count(), 2);
    EXPECT_EQ(w.lstFiles->item(1)->text(), "/home/anna/b c.txt");
    w.Command1->click();
    EXPECT_EQ(opened.opened, QStringList{"/media/usb/Backup/"});

    writeIni("backupTo=/b/\r\n");
    QFile::remove(env.path("copied.txt"));
    frmLastBackup& again = load();
    EXPECT_EQ(again.lbl[1]->text(), "List of Files last backed up on ");
    EXPECT_EQ(again.lstFiles->count(), 0);
}

TEST_F(LastBackupTest, ClickOnAFileOfTypeZeroOpensTheFinderOnItsCopy) {
    const QString dest = env.path("dest");
    writeIni("backupTo=" + dest + "\r\nbackupType=0\r\nkeepPaths=0\r\ndateOfLastBackup=2003-04-28 14:00:00\r\n");
    env.writeFile("copied.txt", env.path("work/a.txt") + "\r\n" + env.path("work/b.txt") + "\r\n");
    for (const char* f : {"work/a.txt", "dest/a.txt", "work/b.txt", "dest/b.txt"}) WriteBytes(env.path(f), f);
    load();
    frmFileCompare* finder = click(env.path("work/a.txt"));
    ASSERT_NE(finder, nullptr);
    EXPECT_TRUE(finder->isVisible());
    EXPECT_EQ(finder->txtOrigFile->text(), env.path("work/a.txt"));
    EXPECT_EQ(finder->txtDestFile->text(), dest + "/a.txt");
    EXPECT_EQ(finder->lblRootPath->text(), dest);
    EXPECT_EQ(finder->lblBackupSize->text(), "10");
    ASSERT_EQ(finder->lvwFiles->topLevelItemCount(), 1);
    EXPECT_EQ(finder->lvwFiles->topLevelItem(0)->text(0), dest + "/");
    EXPECT_FALSE(finder->cmdRestore->isEnabled());

    // A second click fills the same finder with the other file, search reset.
    finder->chkFindAll->blockSignals(true);
    finder->chkFindAll->setChecked(true);
    finder->chkFindAll->blockSignals(false);
    EXPECT_EQ(click(env.path("work/b.txt")), finder);
    EXPECT_EQ(finder->lblFilename->text(), "  b.txt");
    EXPECT_FALSE(finder->chkFindAll->isChecked());
    EXPECT_EQ(finder->lvwFiles->topLevelItemCount(), 1);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(LastBackupTest, KeptPathsInTheDatedFolderOfTheLastRunAreFoundTheNextDay) {
    const QString dest = env.path("dest");
    writeIni("backupTo=" + dest + "\r\nbackupType=1\r\nkeepPaths=1\r\ndateOfLastBackup=2003-04-28 14:05:30\r\n");
    const QString source = env.path("work/docs/a.txt");
    env.writeFile("copied.txt", source + "\r\n");
    WriteBytes(source, "now");
    const QString copy = dest + "/20030428" + source;
    WriteBytes(copy, "then");
    env.setNow(QDateTime(QDate(2003, 4, 29), QTime(9, 0)));
    load();
    frmFileCompare* finder = click(source);
    ASSERT_NE(finder, nullptr);
    EXPECT_EQ(finder->txtDestFile->text(), copy);
    ASSERT_EQ(finder->lvwFiles->topLevelItemCount(), 1);
    ClickFirstCopy(*finder);
    EXPECT_EQ(finder->lvwFiles->toolTip(), "todays date as appended [keep original filenames]");
}

// A run of the date-and-time type that names its folder at 14:05:59 and ends
// in the next minute stores the moment of the name, so the window finds the copy.
TEST_F(LastBackupTest, AFolderPerMinuteIsFoundAfterARunThatCrossesAMinute) {
    const QString dest = env.path("dest");
    writeIni("backupTo=" + dest + "\r\nbackupType=7\r\nkeepPaths=0\r\n[Plandel]\r\ndataPath=" + env.folder() + "\r\n");
    const QString source = env.path("work/a.txt");
    WriteBytes(source, "0123456789");
    FileListModel rows;
    rows.addFullRow(env.path("work/"), "a.txt", platform::GetFileStatus(source), true);
    env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 5, 59)));
    platform::SetCopyChunkSize(4);
    platform::SetCopyChunkPacer([&] { env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 6, 40))); });
    const BackupOutcome outcome = BackupIntoDestination(&rows, dest, 7, 0, nullptr, 0);
    platform::SetCopyChunkPacer({});
    platform::SetCopyChunkSize(0);
    ASSERT_TRUE(outcome.ran);
    EXPECT_TRUE(env.readFile("events.log").startsWith("20030428,14:06:40,")) << "the run ended a minute later";
    EXPECT_EQ(ReadIni(env.ini(), "general", "dateOfLastBackup"), "2003-04-28 14:05:59");

    load();
    frmFileCompare* finder = click(source);
    ASSERT_NE(finder, nullptr);
    EXPECT_EQ(finder->txtDestFile->text(), dest + "/20030428_1405/a.txt");
    EXPECT_EQ(finder->lblBackupSize->text(), "10");
    EXPECT_EQ(boxes.count(), 0);
}

// The built program backs up silently; its last-backup window then leads to
// the copy of a file, which is restored over the changed original.
TEST(LastBackupEndToEnd, SilentBackupThenRestoreThroughBothWindows) {
    const QString built = QStringLiteral(CORVEX_BIN_DIR) + "/corvex";
    ASSERT_TRUE(QFileInfo(built).isExecutable()) << "build the corvex program first";
    TestEnvironment env;
    ScriptedBoxes boxes;
    const QString program = env.path("corvex");
    ASSERT_TRUE(QFile::copy(built, program));
    const QString tree = env.path("tree");
    const QString dest = env.path("dest");
    WriteBytes(tree + "/a.txt", "alpha\n");
    WriteBytes(tree + "/sub/b.txt", "beta\n");
    env.writeFile("MyPaths.txt", tree + "/*\r\n");
    env.writeFile("ExcludedPaths.txt", "/nothing-excluded/\r\n");
    env.writeFile("corvex.ini", "[general]\r\nrunSilently=1\r\nbackupTo=" + dest +
                                    "\r\nbackupType=1\r\nkeepPaths=1\r\nRecordToPlandel=0\r\n[Plandel]\r\ndataPath=" +
                                    env.folder() + "\r\n");
    QProcess run;
    run.start(program, {});
    ASSERT_TRUE(run.waitForFinished(60000)) << "the silent run did not end";
    ASSERT_EQ(run.exitCode(), 0);

    IniFile = env.ini();
    frmLastBackup window;
    window.Form_Load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    frmFileCompare* finder = ClickFile(window, tree + "/a.txt");
    ASSERT_NE(finder, nullptr) << env.readFile("copied.txt").toStdString();
    const QString day = LastBackupTime().toString("yyyyMMdd");
    ASSERT_EQ(finder->lvwFiles->topLevelItemCount(), 1);
    EXPECT_EQ(finder->lvwFiles->topLevelItem(0)->text(0), dest + "/" + day + tree + "/");
    EXPECT_EQ(finder->lblBackupSize->text(), "6");

    WriteBytes(tree + "/a.txt", "changed since the backup\n");
    ClickFirstCopy(*finder);
    boxes.answer(platform::Answer::OK);
    finder->cmdRestore->click();
    EXPECT_EQ(boxes.last().title, "File Restored");
    EXPECT_EQ(ReadBytes(tree + "/a.txt"), "alpha\n");
    delete finder;
}
