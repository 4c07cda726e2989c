#include "foundation/frmSetupPathList.h"
#include "foundation/IniFile.h"
#include "foundation/ProgramValues.h"
#include "foundation/SettingsKeys.h"
#include "platform/Drives.h"
#include "platform/SystemInfo.h"
#include "support/AsOrdinaryUser.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniFile = env.ini();
        SelectedFolder.clear();
    }
    void TearDown() override {
        SelectedFolder.clear();
        IniFile.clear();
        frmSetupPathList::SetShownHook({});
    }
    static QStringList rows(const QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
    static QStringList rows(const QTreeWidget* view) {
        QStringList texts;
        for (int i = 0; i < view->topLevelItemCount(); ++i) texts << view->topLevelItem(i)->text(0);
        return texts;
    }
    static void select(frmSetupPathList& f, int row) {
        f.lstPathList->setCurrentRow(row);
        f.lstPathList->item(row)->setSelected(true);
    }
    static void show(frmSetupPathList& f) {
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    }
    // A double click on the row, as the user gives it (the click before it selects the row).
    static void doubleClick(frmSetupPathList& f, int row) {
        QListWidget* list = f.lstPathList;
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // Space on the row, reached by Home and the arrow keys.
    static void spaceOn(frmSetupPathList& f, int row) {
        QListWidget* list = f.lstPathList;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < row; ++i) QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
    }
    // The two ways to toggle an entry's subfolders.
    using Toggle = void (*)(frmSetupPathList&, int);
    static constexpr std::pair<const char*, Toggle> kToggles[] = {{"double-click", &doubleClick}, {"Space", &spaceOn}};

    TestEnvironment env;
    ScriptedBoxes boxes;
};

}  // namespace

TEST_F(EditorTest, LoadOpensTheStartFolderSeedsTheListAndNamesTheListFile) {
    ASSERT_TRUE(QDir().mkpath(env.path("Data/inner")));
    env.writeFile("Data/b.txt", "x");
    env.writeFile("Data/A.txt", "x");
    env.writeFile("Data/.secret", "x");
    SelectedFolder = env.path("Data/");
    frmSetupPathList f;
    EXPECT_EQ(f.Mode(), "pathlist");
    EXPECT_TRUE(f.lblIniEntry->isHidden());
    EXPECT_EQ(f.lblFullPath->text(), env.path("Data"));
    EXPECT_EQ(rows(f.File1), (QStringList{"A.txt", "b.txt"})) << "visible files only";
    EXPECT_EQ(f.Dir1->currentItem()->text(0), "Data");
    EXPECT_EQ(f.Dir1->currentItem()->child(0)->text(0), "inner");
    EXPECT_EQ(rows(f.lstPathList), (QStringList{"/", platform::DocumentsFolder() + "/", env.folder() + "/"}));
    EXPECT_EQ(f.txtSaveAs->text(), env.path("MyPaths.txt"));
    EXPECT_FALSE(f.Command1->isEnabled());

    env.writeFile("corvex.ini", "[general]\r\npathlist=/data/lists/paths.txt\r\n");
    SelectedFolder = env.path("missing/");
    frmSetupPathList g;
    EXPECT_EQ(g.txtSaveAs->text(), "/data/lists/paths.txt");
    EXPECT_EQ(g.CurrentFolder(), QDir::currentPath()) << "a missing start folder opens the current folder";
}

TEST_F(EditorTest, AddPutsTheOpenFolderAtTheEndByMode) {
    ASSERT_TRUE(QDir().mkpath(env.path("Data")));
    const struct {
        const char* mode;
        QString folder;
        QString added;
    } cases[] = {{Key::PathList, "/", "/"},
                 {Key::ExcludedPathList, "/", "/"},
                 {Key::PathList, env.path("Data"), env.path("Data/*")},
                 {Key::ExcludedPathList, env.path("Data"), env.path("Data/")},
                 {"anything else", env.path("Data"), env.path("Data/*")}};
    for (const auto& c : cases) {
        frmSetupPathList f;
        f.SetMode(c.mode);
        f.lstPathList->clear();
        f.lstPathList->addItem("first");
        ASSERT_TRUE(f.OpenFolder(c.folder));
        f.cmdAddPath->click();
        f.cmdAddPath->click();
        EXPECT_EQ(rows(f.lstPathList), (QStringList{"first", c.added, c.added})) << c.mode << qPrintable(c.folder);
        EXPECT_EQ(f.lblFullPath->text(), c.folder == "/" ? c.folder : c.folder + "/");
    }
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(EditorTest, DoubleClickOrSpaceTogglesAllSubfoldersAndWarnsOnceForTheWholeDisk) {
    for (const auto& [how, toggle] : kToggles) {
        SCOPED_TRACE(how);
        frmSetupPathList f;
        f.lstPathList->clear();
        f.lstPathList->addItems({"/", "/home/anna/", "/srv/*"});
        show(f);
        const int before = boxes.count();
        boxes.answer(platform::Answer::OK);
        const struct {
            int row;
            QString after;
            int boxes;
        } steps[] = {{0, "/*", 1}, {0, "/", 1}, {1, "/home/anna/*", 1}, {1, "/home/anna/", 1}, {2, "/srv/", 1}};
        for (const auto& s : steps) {
            toggle(f, s.row);
            EXPECT_EQ(f.lstPathList->item(s.row)->text(), s.after);
            EXPECT_EQ(boxes.count() - before, s.boxes);
        }
        EXPECT_TRUE(boxes.last().text.startsWith("Warning - you have chosen ALL paths on the C: drive."));
        EXPECT_EQ(boxes.last().icon, platform::Icon::None);

        // Nothing selected: nothing changes.
        f.lstPathList->clearSelection();
        f.lstPathList_DblClick();
        EXPECT_EQ(rows(f.lstPathList), (QStringList{"/", "/home/anna/", "/srv/"}));
    }
}

TEST_F(EditorTest, ExcludedModeDoubleClickOrSpaceExplainsAndChangesNothing) {
    for (const auto& [how, toggle] : kToggles) {
        SCOPED_TRACE(how);
        frmSetupPathList f;
        f.SetMode(Key::ExcludedPathList);
        f.lstPathList->clear();
        f.lstPathList->addItems({"/", "/.cache/"});
        show(f);
        const int before = boxes.count();
        boxes.answer(platform::Answer::OK).answer(platform::Answer::OK);
        for (int row : {0, 1}) toggle(f, row);
        EXPECT_EQ(rows(f.lstPathList), (QStringList{"/", "/.cache/"}));
        ASSERT_EQ(boxes.count() - before, 2);
        EXPECT_EQ(boxes.last().title, "Excluding Folders");
        EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    }
}

TEST_F(EditorTest, RemoveNeedsASelectedEntry) {
    frmSetupPathList f;
    f.lstPathList->clear();
    f.lstPathList->addItems({"/a/", "/b/", "/c/"});
    EXPECT_FALSE(f.Command1->isEnabled());

    select(f, 1);
    EXPECT_TRUE(f.Command1->isEnabled()) << "choosing an entry enables the remove button";
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    EXPECT_EQ(rows(f.lstPathList), (QStringList{"/a/", "/c/"}));
    boxes.answer(platform::Answer::OK);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    EXPECT_EQ(f.lstPathList->count(), 2) << "after a removal nothing is selected";
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text,
              "Select a path from the Right hand side list to remove, then click this remove button");
    EXPECT_EQ(boxes.last().title, "Removing Path from List");
}

TEST_F(EditorTest, NetworkFolderIsAddedWithAllSubfoldersInEitherMode) {
    frmSetupPathList f;
    f.SetMode(Key::ExcludedPathList);
    f.lstPathList->clear();
    boxes.reply("/mnt/share").reply("").reply("/");
    f.cmdNetPath->click();
    f.cmdNetPath->click();
    f.cmdNetPath->click();
    EXPECT_EQ(rows(f.lstPathList), (QStringList{"/mnt/share/*", "/*"}));
    EXPECT_EQ(boxes.last().kind, platform::BoxRequest::Kind::Folder);
    EXPECT_EQ(boxes.last().text, env.folder());
}

// From the keyboard: Enter on the focused network button asks for the folder
// and leaves the window open; it does not press OK and save the list.
TEST_F(EditorTest, EnterOnTheNetworkButtonAsksForTheFolderAndSavesNothing) {
    frmSetupPathList f;
    f.txtSaveAs->setText(env.path("MyPaths.txt"));
    show(f);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    const int before = f.lstPathList->count();
    boxes.reply("/mnt/share");
    f.cmdNetPath->setFocus();
    QTest::keyClick(f.cmdNetPath, Qt::Key_Return);
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().kind, platform::BoxRequest::Kind::Folder);
    EXPECT_EQ(f.lstPathList->count(), before + 1);
    EXPECT_FALSE(QFileInfo::exists(env.path("MyPaths.txt")));
}

TEST_F(EditorTest, HelpTextEndsByWhetherTheFileNameBoxIsShown) {
    frmSetupPathList f;
    boxes.answer(platform::Answer::OK).answer(platform::Answer::OK);
    f.cmdHelp->click();
    // With the file name box the steps end with naming the file, without it one step sooner.
    EXPECT_TRUE(boxes.last().text.endsWith("should also be in the list\r\n\r\n4. Click Ok\r\n\r\n"));
    EXPECT_EQ(boxes.last().title, "Help on Creating a Path List");
    f.txtSaveAs->hide();
    f.cmdHelp->click();
    EXPECT_TRUE(boxes.last().text.endsWith("(double click again to turn off)\r\n\r\n3. Click Ok\r\n\r\n"));
}

TEST_F(EditorTest, OkWritesTheListEvenEmptyAndRecordsItsNameUnderTheMode) {
    ASSERT_TRUE(QDir().mkpath(env.path("here")));
    SelectedFolder = env.path("here");
    frmSetupPathList f;
    f.SetMode(Key::ExcludedPathList);
    f.txtSaveAs->setText(env.path("lists/Excl.txt"));
    QDir().mkpath(env.path("lists"));
    env.writeFile("lists/Excl.txt", "/old/\r\n");
    f.lstPathList->clear();
    f.cmdOK->click();
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo::exists(env.path("lists/Excl.txt")));
    EXPECT_EQ(env.readFile("lists/Excl.txt"), "");
    EXPECT_EQ(ReadIni(env.ini(), "general", "ExcludedPathlist"), env.path("lists/Excl.txt"));
    EXPECT_EQ(ReadIni(env.ini(), "general", "pathlist"), "");
    EXPECT_EQ(SelectedFolder, env.path("here"));
}

TEST_F(EditorTest, ListThatCannotBeSavedKeepsTheWindowOpenAndTheOldSettings) {
    // A folder where the list file should be: the save fails.
    ASSERT_TRUE(QDir().mkpath(env.path("MyPaths.txt")));
    frmSetupPathList f;
    f.lstPathList->addItem("/new/*");
    QSignalSpy finished(&f, &QDialog::finished);
    boxes.answer(platform::Answer::OK);
    f.cmdOK->click();
    EXPECT_TRUE(boxes.last().text.contains("SaveListboxToFile"));
    EXPECT_EQ(finished.count(), 0) << "the window stays open";
    EXPECT_EQ(f.lstPathList->count(), 4);
    EXPECT_FALSE(QFileInfo::exists(env.ini()));
}

TEST_F(EditorTest, CallerProtocolReloadsTheCallersListFromTheFile) {
    env.writeFile("MyPaths.txt", "/home/anna/*\r\n/srv/\r\n");
    QTreeWidget caller;
    caller.addTopLevelItem(new QTreeWidgetItem(QStringList{"/home/anna/*"}));
    caller.addTopLevelItem(new QTreeWidgetItem(QStringList{"/srv/"}));
    SelectedFolder = env.folder();

    // Cancel: the file and the caller's list stay as they were.
    frmSetupPathList::SetShownHook([](frmSetupPathList& f) {
        EXPECT_TRUE(f.txtSaveAs->isHidden());
        EXPECT_TRUE(f.Label1->isHidden());
        EXPECT_EQ(f.lstPathList->count(), 2) << "the caller's rows replace the seeds";
        f.cmdAddPath->click();
        f.cmdCancel->click();
    });
    EditPathList(nullptr, &caller, env.path("MyPaths.txt"), Key::PathList);
    EXPECT_EQ(rows(&caller), (QStringList{"/home/anna/*", "/srv/"}));
    EXPECT_EQ(env.readFile("MyPaths.txt"), "/home/anna/*\r\n/srv/\r\n");
    EXPECT_EQ(SelectedFolder, "");
    EXPECT_FALSE(QFileInfo::exists(env.ini()));

    // OK: the caller shows what was saved.
    SelectedFolder = env.folder();
    frmSetupPathList::SetShownHook([](frmSetupPathList& f) {
        f.cmdAddPath->click();
        f.cmdOK->click();
    });
    EditPathList(nullptr, &caller, env.path("MyPaths.txt"), Key::PathList);
    const QStringList saved{"/home/anna/*", "/srv/", env.folder() + "/*"};
    EXPECT_EQ(rows(&caller), saved);
    EXPECT_EQ(env.readLines("MyPaths.txt"), saved);
    EXPECT_EQ(ReadIni(env.ini(), "general", "pathlist"), env.path("MyPaths.txt"));
}

TEST_F(EditorTest, ClickingAFolderOpensItAndAnUnreadableOneLeavesTheWindowWhereItWas) {
    ASSERT_TRUE(QDir().mkpath(env.path("top/open")));
    ASSERT_TRUE(QDir().mkpath(env.path("top/locked")));
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(env.path("top/locked")).constData(), 0), 0);
    SelectedFolder = env.path("top");
    frmSetupPathList f;
    auto subFolder = [&](const QString& name) {
        QTreeWidgetItem* current = f.Dir1->currentItem();
        for (int i = 0; i < current->childCount(); ++i)
            if (current->child(i)->text(0) == name) return current->child(i);
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    {
        AsOrdinaryUser user;
        f.Dir1->setCurrentItem(subFolder("locked"));
        boxes.answer(platform::Answer::OK);
        QTest::keyClick(f.Dir1, Qt::Key_Return);
        EXPECT_EQ(f.CurrentFolder(), env.path("top"));
        EXPECT_EQ(f.lblFullPath->text(), env.path("top"));
        EXPECT_EQ(boxes.count(), 1);

        f.Dir1->setCurrentItem(subFolder("open"));
        QTest::keyClick(f.Dir1, Qt::Key_Return);
        EXPECT_EQ(f.lblFullPath->text(), env.path("top/open"));
        // The parent chain stays listed: clicking "top" goes back up.
        f.Dir1->setCurrentItem(f.Dir1->currentItem()->parent());
        QTest::keyClick(f.Dir1, Qt::Key_Return);
        EXPECT_EQ(f.CurrentFolder(), env.path("top"));
    }
    ::chmod(QFile::encodeName(env.path("top/locked")).constData(), 0755);
    // The drive list shows the drive that holds the open folder.
    QString holder = "/";
    for (const QString& mount : platform::LogicalDrives())
        if (env.path("top").startsWith(mount + "/") && mount.size() > holder.size()) holder = mount;
    EXPECT_EQ(f.Drive1->currentText(), holder);
}

TEST_F(EditorTest, EnterInTheFolderTreeOpensTheFolderAndPressesNothing) {
    ASSERT_TRUE(QDir().mkpath(env.path("top/inner")));
    SelectedFolder = env.path("top");
    frmSetupPathList f;
    f.txtSaveAs->setText(env.path("MyPaths.txt"));
    show(f);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Dir1->setFocus();
    QTreeWidgetItem* top = f.Dir1->currentItem();
    ASSERT_EQ(top->childCount(), 1);
    f.Dir1->setCurrentItem(top->child(0));
    QTest::keyClick(f.Dir1, Qt::Key_Return);
    EXPECT_EQ(f.CurrentFolder(), env.path("top/inner"));
    EXPECT_TRUE(f.isVisible()) << "OK was pressed";
    EXPECT_FALSE(QFileInfo::exists(env.path("MyPaths.txt")));
    // Away from the tree, Enter is OK's.
    f.lstPathList->setFocus();
    QTest::keyClick(f.lstPathList, Qt::Key_Return);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(QFileInfo::exists(env.path("MyPaths.txt")));
}
