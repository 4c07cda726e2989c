#include "foundation/frmBrowseFolders.h"
#include "foundation/ProgramValues.h"
#include "platform/FileStatus.h"
#include "support/AsOrdinaryUser.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

namespace {

class PickerTest : public ::testing::Test {
protected:
    void TearDown() override {
        SelectedFolder.clear();
        frmBrowseFolders::SetShownHook({});
    }
    void makeFolder(const QString& name) const { ASSERT_TRUE(QDir().mkpath(env.path(name))); }

    // Chooses the node with the keyboard: Enter on the current node.
    static void click(frmBrowseFolders& f, QTreeWidgetItem* node) {
        f.tvwControl->setCurrentItem(node);
        QTest::keyClick(f.tvwControl, Qt::Key_Return);
    }
    static QTreeWidgetItem* child(QTreeWidgetItem* node, const QString& text) {
        for (int i = 0; i < node->childCount(); ++i)
            if (node->child(i)->text(0) == text) return node->child(i);
        return nullptr;
    }
    // Clicks from the drive "/" down to folder, one node per level, as a user would.
    static QTreeWidgetItem* clickDownTo(frmBrowseFolders& f, const QString& folder) {
        QTreeWidgetItem* node = child(f.tvwControl->topLevelItem(0), QStringLiteral("/"));
        click(f, node);
        for (const QString& part : folder.split('/', Qt::SkipEmptyParts)) {
            node = child(node, part);
            if (!node) return nullptr;
            click(f, node);
        }
        return node;
    }
    static QStringList childTexts(QTreeWidgetItem* node) {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
        return texts;
    }

    TestEnvironment env;
};

}  // namespace

TEST_F(PickerTest, TreeHoldsTheComputerAndEveryDriveWithUniqueKeys) {
    frmBrowseFolders f;
    EXPECT_EQ(f.windowTitle(), "Select Folder");
    ASSERT_EQ(f.tvwControl->topLevelItemCount(), 1);
    QTreeWidgetItem* root = f.tvwControl->topLevelItem(0);
    EXPECT_EQ(root->text(0), "My Computer");
    EXPECT_EQ(root->data(0, NodeKeyRole).toString(), "Root");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(childTexts(root), platform::LogicalDrives());
    QSet<QString> keys;
    for (int i = 0; i < root->childCount(); ++i) {
        const QString key = root->child(i)->data(0, NodeKeyRole).toString();
        EXPECT_TRUE(key.endsWith("Dir")) << qPrintable(key);
        keys.insert(key);
        EXPECT_EQ(root->child(i)->childCount(), 0) << "drives are filled only when clicked";
    }
    EXPECT_EQ(keys.size(), root->childCount());
}

TEST_F(PickerTest, DriveImagesFollowTheDriveKind) {
    const struct {
        platform::DriveType type;
        int image;
    } cases[] = {{platform::DriveType::Unknown, 1},   {platform::DriveType::NoRootDir, 1},
                 {platform::DriveType::Removable, 5}, {platform::DriveType::Fixed, 3},
                 {platform::DriveType::Remote, 6},    {platform::DriveType::CdRom, 4},
                 {platform::DriveType::RamDisk, 7}};
    for (const auto& c : cases) EXPECT_EQ(GetDriveImageIndex(c.type), c.image) << int(c.type);
}

TEST_F(PickerTest, OkWithoutClickGivesTheStartFolderInPlainForm) {
    makeFolder("Backup");
    const struct {
        QString start;
        QString expected;
    } cases[] = {{env.path("Backup/"), env.path("Backup")},
                 {env.path("Backup"), env.path("Backup")},
                 {QStringLiteral("/"), QStringLiteral("/")},
                 {QString(), QDir::currentPath()},
                 {env.path("not there/"), QDir::currentPath()}};
    for (const auto& c : cases) {
        SelectedFolder = c.start;
        frmBrowseFolders f;
        f.cmdOK->click();
        EXPECT_EQ(SelectedFolder, c.expected) << qPrintable(c.start);
    }
}

TEST_F(PickerTest, OkCancelEscapeAndCloseBox) {
    makeFolder("a/b");
    const QString start = env.path("a/");
    {
        SelectedFolder = start;
        frmBrowseFolders f;
        QTreeWidgetItem* b = clickDownTo(f, env.path("a/b"));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(f.lblFullPath->text(), env.path("a/b/"));
        f.cmdOK->click();
        EXPECT_EQ(SelectedFolder, env.path("a/b/")) << "a clicked folder comes with its trailing /";
    }
    {
        SelectedFolder = start;
        frmBrowseFolders f;
        clickDownTo(f, env.path("a/b"));
        f.cmdCancel->click();
        EXPECT_EQ(SelectedFolder, "");
    }
    {
        SelectedFolder = start;
        frmBrowseFolders f;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&f, &escape);
        EXPECT_EQ(SelectedFolder, "") << "Escape is the Cancel button";
    }
    {
        SelectedFolder = start;
        bool closed = false;
        frmBrowseFolders::SetShownHook([&](frmBrowseFolders& f) {
            clickDownTo(f, env.path("a/b"));
            closed = f.close();
        });
        frmBrowseFolders f;
        EXPECT_EQ(f.exec(), QDialog::Rejected);
        EXPECT_TRUE(closed);
        EXPECT_EQ(SelectedFolder, start) << "the close box leaves the start folder";
    }
}

// A keyboard user moves the highlight with the arrow keys and presses OK
// with Enter: the label and the chosen folder are the highlighted one.
TEST_F(PickerTest, ArrowKeysMoveTheLabelAndEnterOnOkChoosesTheHighlightedFolder) {
    makeFolder("a/b");
    makeFolder("a/c");
    SelectedFolder = env.path("a");
    QString highlighted;
    frmBrowseFolders::SetShownHook([&](frmBrowseFolders& f) {
        QTreeWidgetItem* a = clickDownTo(f, env.path("a"));
        ASSERT_NE(a, nullptr);
        a->setExpanded(true);
        ASSERT_EQ(childTexts(a).size(), 2);
        const QString first = a->child(0)->text(0), second = a->child(1)->text(0);
        f.tvwControl->setFocus();
        const struct {
            Qt::Key key;
            QString label;
        } steps[] = {{Qt::Key_Down, env.path("a/" + first + "/")},
                     {Qt::Key_Down, env.path("a/" + second + "/")},
                     {Qt::Key_Up, env.path("a/" + first + "/")},
                     {Qt::Key_Left, env.path("a/")}};  // up to the parent
        for (const auto& step : steps) {
            QTest::keyClick(f.tvwControl, step.key);
            EXPECT_EQ(f.lblFullPath->text(), step.label) << int(step.key);
        }
        QTest::keyClick(f.tvwControl, Qt::Key_Down);
        highlighted = env.path("a/" + first + "/");
        f.cmdOK->setFocus();
        QTest::keyClick(f.cmdOK, Qt::Key_Return);
        if (f.isVisible()) f.done(QDialog::Rejected);  // Enter did nothing: end the test
    });
    frmBrowseFolders f;
    f.activateWindow();
    EXPECT_EQ(f.exec(), QDialog::Accepted) << "Enter on the focused OK presses it";
    ASSERT_FALSE(highlighted.isEmpty());
    EXPECT_EQ(SelectedFolder, highlighted);
}

TEST_F(PickerTest, ClickFillsOneLevelOnceInListingOrderAndLeavesItCollapsed) {
    for (const char* name : {"zeta", "Alpha", ".hidden", "mid"}) makeFolder(QStringLiteral("top/") + name);
    env.writeFile("top/file.txt", "x");
    ASSERT_TRUE(QFile::link(env.path("top/zeta"), env.path("top/link")));
    // The order the folder listing gives, which the tree keeps.
    platform::FolderEntries entries;
    ASSERT_TRUE(platform::ReadFolderEntries(env.path("top"), entries));
    QStringList listed;
    for (int i = 0; i < entries.size(); ++i)
        if (entries.displayName(i) != "file.txt") listed << entries.displayName(i);

    frmBrowseFolders f;
    QTreeWidgetItem* top = clickDownTo(f, env.path("top"));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(childTexts(top), listed);
    EXPECT_FALSE(top->isExpanded());
    EXPECT_EQ(child(top, ".hidden")->data(0, NodeKeyRole).toString().section(':', 1), env.path("top/.hidden/Dir"));
    EXPECT_EQ(child(top, "mid")->data(0, NodeImageRole).toInt(), 8);
    click(f, top);
    EXPECT_EQ(childTexts(top), listed) << "a second click adds no duplicates";

    // The drive node: its folder is its mount point.
    QTreeWidgetItem* drive = child(f.tvwControl->topLevelItem(0), QStringLiteral("/"));
    click(f, drive);
    EXPECT_EQ(f.lblFullPath->text(), "/");
    // The root names no folder: the label stays.
    click(f, f.tvwControl->topLevelItem(0));
    EXPECT_EQ(f.lblFullPath->text(), "/");
}

TEST_F(PickerTest, FolderThatCannotBeReadGetsNoChildren) {
    makeFolder("locked/inner");
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(env.path("locked")).constData(), 0), 0);
    frmBrowseFolders f;
    {
        AsOrdinaryUser user;
        QTreeWidgetItem* locked = clickDownTo(f, env.path("locked"));
        ASSERT_NE(locked, nullptr);
        EXPECT_EQ(locked->childCount(), 0);
        EXPECT_EQ(f.lblFullPath->text(), env.path("locked/"));
    }
    ::chmod(QFile::encodeName(env.path("locked")).constData(), 0755);
}
