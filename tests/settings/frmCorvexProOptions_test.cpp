#include "settings/frmCorvexProOptions.h"
#include "foundation/BackupTypeTexts.h"
#include "foundation/IniFile.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingsKeys.h"
#include "foundation/frmBrowseFolders.h"
#include "foundation/frmSetupPathList.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsValues.h"
#include "settings/frmConfigureCorvexPro.h"
#include "support/FullDisk.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

namespace {

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() : env("vantor") {}
    void SetUp() override {
        IniFile = env.ini();
        PathListFile = env.path("MyPaths.txt");
        ExcludedPathListFile = env.path("ExcludedPaths.txt");
        SelectedFolder.clear();
    }
    void TearDown() override {
        frmCorvexProOptions::SetShownHook({});
        frmBrowseFolders::SetShownHook({});
        frmSetupPathList::SetShownHook({});
        IniFile.clear();
        PathListFile.clear();
        ExcludedPathListFile.clear();
        SelectedFolder.clear();
    }
    void writeIni(const QString& general) { env.writeFile("corvex.ini", "[general]\r\n" + general); }
    QString setting(const char* key) const { return ReadIni(env.ini(), "general", key); }
    static QStringList rows(const QTreeWidget* view) {
        QStringList texts;
        for (int i = 0; i < view->topLevelItemCount(); ++i) texts << view->topLevelItem(i)->text(0);
        return texts;
    }

    TestEnvironment env;
    ScriptedBoxes boxes;
};

}  // namespace

TEST_F(OptionsTest, BackupTypesInTheirStoredOrder) {
    frmCorvexProOptions f;
    QStringList shown;
    for (int i = 0; i < f.cmbDestType->count(); ++i) shown << f.cmbDestType->itemText(i);
    EXPECT_EQ(shown, BackupTypeTexts());
    EXPECT_EQ(shown.size(), 8);
}

// The tool tip the widget shows when the pointer rests at its middle.
QString toolTipOf(QWidget* widget) {
    // A tip shown before goes at once, not after the delay of QToolTip::hideText().
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel")) window->hide();
    const QPoint middle = widget->rect().center();
    QHelpEvent help(QEvent::ToolTip, middle, widget->mapToGlobal(middle));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// Chosen and opened from the keyboard at 11 and 14 pt, in a style that widens
// its open lists itself and in one that makes them as wide as the box: the
// open list has room for every type whole, and the closed box shows the
// chosen type as its tool tip where it cuts it.
TEST_F(OptionsTest, EveryBackupTypeReadsWholeInTheOpenListAndAsToolTipWhereCut) {
    const QFont before = QApplication::font();
    const QString styleBefore = QApplication::style()->name();
    for (const char* styleName : {"Fusion", "Windows"}) {
        ASSERT_TRUE(QApplication::setStyle(QLatin1String(styleName)));
        for (const int points : {11, 14}) {
            SCOPED_TRACE(std::string(styleName) + ", " + std::to_string(points) + " pt");
            QFont font = before;
            font.setPointSize(points);
            QApplication::setFont(font);
            frmCorvexProOptions f;
            QComboBox* box = f.cmbDestType;
            f.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
            box->setFocus();
            const struct {
                int type;
                bool cut;
            } choices[] = {{1, false}, {2, true}, {0, false}};
            for (const auto& c : choices) {
                QTest::keyClick(box, Qt::Key_Home);
                for (int i = 0; i < c.type; ++i) QTest::keyClick(box, Qt::Key_Down);
                ASSERT_EQ(box->currentIndex(), c.type);
                EXPECT_EQ(toolTipOf(box), c.cut ? BackupTypeTexts()[c.type] : QString())
                    << c.type << ": box " << box->width() << " px, text "
                    << box->fontMetrics().horizontalAdvance(box->currentText()) << " px";
            }

            QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
            QAbstractItemView* list = box->view();
            ASSERT_TRUE(list->isVisible());
            for (int row = 0; row < box->count(); ++row) {
                const QModelIndex index = list->model()->index(row, 0);
                EXPECT_GE(list->viewport()->width(), list->sizeHintForIndex(index).width())
                    << qPrintable(box->itemText(row));
            }
            QTest::keyClick(list, Qt::Key_Escape);
            EXPECT_FALSE(list->isVisible());
            EXPECT_TRUE(f.isVisible()) << "Escape closes the open list, not the dialog";
        }
    }
    QApplication::setFont(before);
    QApplication::setStyle(styleBefore);
}

TEST_F(OptionsTest, LoadFallsBackWhenSettingsAreMissing) {
    PathListFile.clear();
    ExcludedPathListFile.clear();
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n/srv/\r\n");
    env.writeFile("ExcludedPaths.txt", "/tmp/\r\n");
    frmCorvexProOptions f;
    EXPECT_EQ(PathListFile, env.path("MyPaths.txt"));
    EXPECT_EQ(ExcludedPathListFile, env.path("ExcludedPaths.txt"));
    EXPECT_EQ(rows(f.lstPath), (QStringList{"/home/anna/*", "/srv/"}));
    EXPECT_EQ(rows(f.lvExclude), (QStringList{"/tmp/"}));
    EXPECT_EQ(f.txtDestDir->text(), platform::HomeFolder() + "/backup");
    EXPECT_EQ(f.cmbDestType->currentIndex(), 0);
    EXPECT_EQ(f.txtDataPath->text(), env.folder());
    EXPECT_FALSE(f.chkRunSilent->isChecked());
    EXPECT_FALSE(f.chkReplicatePaths->isChecked());
    EXPECT_FALSE(f.chkLogUsage->isChecked());
    EXPECT_TRUE(f.txtDataPath->isHidden());
    EXPECT_TRUE(f.cmdBrowsePlandelDir->isHidden());
}

TEST_F(OptionsTest, BackupTypeFromItsNumericValue) {
    const struct {
        const char* stored;
        int position;
    } cases[] = {{nullptr, 0}, {"9", 0}, {" 3", 3}, {"7", 7}, {"2.5", 2}, {"3.5", 4}, {"-1", 0}, {"x5", 0}};
    for (const auto& c : cases) {
        writeIni(c.stored ? QString("backupType=%1\r\n").arg(c.stored) : QString());
        frmCorvexProOptions f;
        EXPECT_EQ(f.cmbDestType->currentIndex(), c.position) << (c.stored ? c.stored : "missing");
    }
}

TEST_F(OptionsTest, CheckBoxesTickOnOneOrTrueOrYes) {
    const struct {
        const char* stored;
        bool ticked;
    } cases[] = {{"1", true}, {"t", true},  {"True", true}, {" yes ", true}, {"Y", true},
                 {"", false}, {"0", false}, {"no", false},  {"11", false},   {"-1", false}};
    for (const auto& c : cases) {
        writeIni(QString("keepPaths=%1\r\nrunSilently=%1\r\nRecordToPlandel=%1\r\n").arg(c.stored));
        frmCorvexProOptions f;
        EXPECT_EQ(f.chkReplicatePaths->isChecked(), c.ticked) << c.stored;
        EXPECT_EQ(f.chkRunSilent->isChecked(), c.ticked) << c.stored;
        EXPECT_EQ(f.chkLogUsage->isChecked(), c.ticked) << c.stored;
        EXPECT_EQ(f.txtDataPath->isHidden(), !c.ticked);
        EXPECT_EQ(f.cmdBrowsePlandelDir->isHidden(), !c.ticked);
    }
}

TEST_F(OptionsTest, PlandelTickShowsTheFolderBoxButNotItsBrowseButton) {
    frmCorvexProOptions f;
    f.chkLogUsage->click();
    EXPECT_FALSE(f.txtDataPath->isHidden());
    EXPECT_TRUE(f.cmdBrowsePlandelDir->isHidden()) << "until the dialog is opened again with recording on";
    f.chkLogUsage->click();
    EXPECT_TRUE(f.txtDataPath->isHidden());
}

TEST_F(OptionsTest, OkWritesEverySettingInItsOrder) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    frmCorvexProOptions f;
    f.chkRunSilent->setChecked(true);
    f.chkReplicatePaths->setChecked(false);
    f.chkLogUsage->setChecked(true);
    f.txtDataPath->setText("/opt/plandel");
    f.txtDestDir->setText("/media/usb/backup");
    f.cmbDestType->setCurrentIndex(6);
    f.cmdOK->click();
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(env.readLines("corvex.ini"),
              (QStringList{"[general]", "title=CorvexPro", "runSilently=1", "keepPaths=0", "RecordToPlandel=1",
                           "backupTo=/media/usb/backup/", "backupType=6", "[Plandel]", "dataPath=/opt/plandel/"}));
    EXPECT_EQ(f.txtDestDir->text(), "/media/usb/backup/");
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(env.path("ExcludedPaths.txt"))) << "OK never writes the lists";
}

TEST_F(OptionsTest, RecordingOffLeavesTheDataFolderUnwrittenButShowsItsSlash) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    writeIni("RecordToPlandel=0\r\n[plandel]\r\ndataPath=/old/place\r\n");
    frmCorvexProOptions f;
    f.cmdOK->click();
    EXPECT_EQ(f.txtDataPath->text(), "/old/place/");
    EXPECT_EQ(ReadIni(env.ini(), "Plandel", "dataPath"), "/old/place");
    EXPECT_EQ(setting("RecordToPlandel"), "0");
}

TEST_F(OptionsTest, RecordingOnWithAnEmptyDataFolderUsesTheProgramFolder) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    writeIni("RecordToPlandel=1\r\n");
    frmCorvexProOptions f;
    f.txtDataPath->clear();
    boxes.answer(platform::Answer::OK);
    f.cmdOK->click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Using Default Plandel Path");
    EXPECT_EQ(boxes.last().text, "Using the default directory to log usage");
    EXPECT_EQ(ReadIni(env.ini(), "Plandel", "dataPath"), env.folder() + "/");
    EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(OptionsTest, OkRefusesWithoutFoldersOrDestinationAndWritesNothing) {
    writeIni("backupType=2\r\n");
    const QString before = env.readFile("corvex.ini");
    // The folder list is checked before the destination; blanks and separators
    // alone are no destination (a backup there would land in the root folder),
    // nor is the root spelled otherwise or a folder not named from the root.
    // A blank destination is missing; any other is named with what is wrong.
    const QString blank = "There is no destination directory specified";
    const auto wrong = [](const QString& destination) {
        return "The destination directory '" + destination +
               "' must be a full path, beginning with /, to a folder other than the root folder";
    };
    const struct {
        const char* pathList;
        QString destination;
        QString title;
        QString text;
    } cases[] = {
        {nullptr, "", "Need to choose a list of Paths to Backup", "There are no directories selected to backup"},
        {"/home/anna/*\r\n", "", "Need to choose a destination directory", blank},
        {"/home/anna/*\r\n", " \t  ", "Need to choose a destination directory", blank},
        {"/home/anna/*\r\n", " / ", "Need to choose a destination directory", blank},
        {"/home/anna/*\r\n", "/.", "Need to choose a destination directory", wrong("/.")},
        {"/home/anna/*\r\n", "/tmp/..", "Need to choose a destination directory", wrong("/tmp/..")},
        {"/home/anna/*\r\n", "bk", "Need to choose a destination directory", wrong("bk")},
        {"/home/anna/*\r\n", "~/Backup", "Need to choose a destination directory", wrong("~/Backup")}};
    for (const auto& c : cases) {
        if (c.pathList) env.writeFile("MyPaths.txt", c.pathList);
        frmCorvexProOptions f;
        f.txtDestDir->setText(c.destination);
        QSignalSpy finished(&f, &QDialog::finished);
        boxes.answer(platform::Answer::OK);
        const int shown = boxes.count();
        f.cmdOK->click();
        EXPECT_EQ(boxes.count(), shown + 1) << c.title.toStdString();
        EXPECT_EQ(boxes.last().title, c.title);
        EXPECT_EQ(boxes.last().text, c.text);
        EXPECT_EQ(finished.count(), 0);
        EXPECT_EQ(f.txtDestDir->text(), c.destination) << "a refused destination gets no slash";
    }
    EXPECT_EQ(env.readFile("corvex.ini"), before);
}

TEST_F(OptionsTest, SettingsThatCannotBeWrittenKeepTheDialogOpen) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    IniFile = env.path("folder.ini");
    ASSERT_TRUE(QDir().mkpath(IniFile));
    frmCorvexProOptions f;
    QSignalSpy finished(&f, &QDialog::finished);
    boxes.answer(platform::Answer::OK);
    f.cmdOK->click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith("The settings could not be written to '" + IniFile + "'"));
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(env.readFile("vantor.log").contains("Cant write the settings file '" + IniFile + "'"));
    EXPECT_TRUE(env.readFile("vantor.log").contains("none of [general] title, [general] runSilently"));
}

TEST_F(OptionsTest, OkOnANearlyFullDiskWritesNoneOfTheSettings) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    IniFile = disk.path("corvex.ini");
    // The file fills one page of the disk and one page stays free: a save that
    // keeps it within a page fits, the longer destination does not.
    const QByteArray keys =
        "[general]\r\ntitle=CorvexPro\r\nrunSilently=0\r\nkeepPaths=0\r\nRecordToPlandel=0\r\n"
        "backupTo=/old/\r\nbackupType=0\r\n";
    const QByteArray before = "; " + QByteArray(4090 - 4 - keys.size(), 'x') + "\r\n" + keys;
    ASSERT_EQ(before.size(), 4090);
    WriteBytes(IniFile, before);
    frmCorvexProOptions f;
    f.chkRunSilent->setChecked(true);
    f.txtDestDir->setText("/media/usb/backup");
    disk.fill();
    const QString filler = disk.path("filler");
    ASSERT_TRUE(QFile::resize(filler, ((QFileInfo(filler).size() + 4095) / 4096 - 1) * 4096));

    QSignalSpy finished(&f, &QDialog::finished);
    boxes.answer(platform::Answer::OK);
    f.cmdOK->click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().icon, platform::Icon::Critical);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(ReadBytes(IniFile), before);
    EXPECT_EQ(disk.names(), (QStringList{"corvex.ini", "filler"}));
}

TEST_F(OptionsTest, FolderButtonsGoThroughThePicker) {
    ASSERT_TRUE(QDir().mkpath(env.path("dest")));
    frmCorvexProOptions f;
    f.txtDestDir->setText(env.path("dest/"));
    QString startSeen;
    // OK without a click: the start folder in its plain form.
    frmBrowseFolders::SetShownHook([&](frmBrowseFolders& picker) {
        startSeen = SelectedFolder;
        picker.cmdOK->click();
    });
    f.cmdBrowseDestDir->click();
    EXPECT_EQ(startSeen, env.path("dest/"));
    EXPECT_EQ(f.txtDestDir->text(), env.path("dest"));
    // Cancel leaves the box as it was.
    f.txtDataPath->setText("/opt/plandel/");
    frmBrowseFolders::SetShownHook([](frmBrowseFolders& picker) { picker.cmdCancel->click(); });
    f.cmdBrowsePlandelDir->click();
    EXPECT_EQ(f.txtDataPath->text(), "/opt/plandel/");
}

TEST_F(OptionsTest, ListButtonsGoThroughTheEditorInTheirModes) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    env.writeFile("ExcludedPaths.txt", "/tmp/\r\n");
    SelectedFolder = env.folder();
    frmCorvexProOptions f;
    QStringList modes;
    frmSetupPathList::SetShownHook([&](frmSetupPathList& editor) {
        modes << editor.Mode() + "=" + editor.txtSaveAs->text();
        editor.cmdAddPath->click();
        editor.cmdOK->click();
    });
    f.cmdEditPathList->click();
    f.cmdEditExcludedDirs->click();
    EXPECT_EQ(modes, (QStringList{"pathlist=" + PathListFile, "ExcludedPathlist=" + ExcludedPathListFile}));
    EXPECT_EQ(rows(f.lstPath), (QStringList{"/home/anna/*", env.folder() + "/*"}));
    EXPECT_EQ(rows(f.lvExclude), (QStringList{"/tmp/", env.folder() + "/"}));
    EXPECT_EQ(setting("pathlist"), PathListFile);
    EXPECT_EQ(setting("ExcludedPathlist"), ExcludedPathListFile);
}

TEST_F(OptionsTest, HelpOpensThePageAndAutoscanChangesNothing) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n");
    OpenedDocuments opened;
    frmCorvexProOptions f;
    f.cmdHelp->click();
    EXPECT_EQ(opened.opened, (QStringList{env.path("corvex.html")}));
    boxes.answer(platform::Answer::Yes).answer(platform::Answer::OK).answer(platform::Answer::No);
    f.cmdAutoscan->click();
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.seen()[0].title, "Scan Hard Drives for document folders?");
    EXPECT_EQ(boxes.seen()[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(boxes.last().text, "Autoscanning...  not yet configured...");
    f.cmdAutoscan->click();
    EXPECT_EQ(boxes.count(), 3);
    EXPECT_EQ(rows(f.lstPath), (QStringList{"/home/anna/*"}));
    EXPECT_FALSE(QFileInfo::exists(env.ini()));
}

TEST(HelpPage, LiesBesideTheBuiltPrograms) {
    QFile page(QStringLiteral(CORVEX_BIN_DIR "/corvex.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const char* anchor : {"id=\"lists\"", "id=\"types\"", "id=\"runs\"", "id=\"logs\"", "id=\"restore\""})
        EXPECT_TRUE(text.contains(anchor)) << anchor;
}
