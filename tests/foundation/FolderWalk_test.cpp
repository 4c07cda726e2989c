// The folder walk, the search for folders holding a file, and file sizes.
#include "foundation/FolderWalk.h"
#include "TreeBuilder.h"
#include "foundation/ListFiles.h"

#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDateTime kWhen(QDate(2024, 5, 10), QTime(12, 0));

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

}  // namespace

TEST(WalkFolderTree, DepthFirstWithRootRowAndNoTrailingSlash) {
    TestEnvironment env;
    const QString root = env.path("tree");
    MakeFolder(root + "/first/child");
    MakeFolder(root + "/second");
    QTreeWidget view;
    WalkFolderTree(root + "/", &view);
    const QStringList rows = ListRowTexts(&view);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], root);
    // The child comes straight after its parent, whichever subfolder the
    // file system gives first.
    const qsizetype first = rows.indexOf(root + "/first");
    ASSERT_GE(first, 1);
    EXPECT_EQ(rows.value(first + 1), root + "/first/child");
    EXPECT_TRUE(rows.contains(root + "/second"));

    // A list box takes the same rows; a folder without subfolders gives one row.
    QListWidget list;
    list.addItem("earlier");
    WalkFolderTree(root + "/second", &list);
    EXPECT_EQ(ListRowTexts(&list), (QStringList{"earlier", root + "/second"}));
    // A missing folder gives none.
    WalkFolderTree(root + "/missing", &list);
    WalkFolderTree("", &list);
    EXPECT_EQ(list.count(), 2);
}

TEST(WalkFolderTree, FileSystemRootKeepsItsSlash) {
    QListWidget list;
    // Stop before the first subfolder: only the root row is listed.
    WalkFolderTree("/", &list, [] { return true; });
    EXPECT_EQ(ListRowTexts(&list), QStringList{"/"});
    EXPECT_EQ(FileSystemObject::Get().FolderPath("//"), "/");
    EXPECT_EQ(FileSystemObject::Get().FolderPath("/tmp/../tmp/"), "/tmp");
}

TEST(WalkFolderTree, UnreadableFolderKeepsItsRowButNotItsSubtree) {
    TestEnvironment env;
    const QString root = env.path("tree");
    MakeFolder(root + "/locked/hidden");
    MakeFolder(root + "/open/inner");
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/locked").constData(), 0), 0);
    QStringList rows;
    {
        AsOrdinaryUser ordinary;
        QListWidget list;
        WalkFolderTree(root, &list);
        rows = ListRowTexts(&list);
    }
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
    EXPECT_TRUE(rows.contains(root + "/locked"));
    EXPECT_FALSE(rows.contains(root + "/locked/hidden"));
    EXPECT_TRUE(rows.contains(root + "/open/inner"));
    EXPECT_EQ(rows.size(), 4);
}

TEST(WalkFolderTree, LinksAreNeverFollowedNorListedAsFolders) {
    TestEnvironment env;
    const QString root = env.path("tree");
    MakeFolder(root + "/a/b");
    MakeFolder(env.path("elsewhere/deep"));
    // A link back to the root would walk forever if it were followed; a link
    // out of the tree would bring in folders nobody listed.
    ASSERT_TRUE(QFile::link(root, root + "/a/b/loop"));
    ASSERT_TRUE(QFile::link(env.path("elsewhere"), root + "/outside"));
    ASSERT_TRUE(QFile::link(root + "/gone", root + "/dangling"));
    QListWidget list;
    WalkFolderTree(root, &list);
    EXPECT_EQ(sorted(ListRowTexts(&list)), sorted({root, root + "/a", root + "/a/b"}));
    // A root the user gave as a link is followed.
    list.clear();
    WalkFolderTree(root + "/outside", &list);
    EXPECT_EQ(ListRowTexts(&list), (QStringList{root + "/outside", root + "/outside/deep"}));
}

TEST(WalkFolderTree, LetsWindowEventsRunAndCanBeStopped) {
    TestEnvironment env;
    const QString root = env.path("tree");
    for (int i = 0; i < 5; ++i) MakeFolder(root + "/f" + QString::number(i));
    bool stop = false;
    QTimer::singleShot(0, [&stop] { stop = true; });
    QListWidget list;
    WalkFolderTree(root, &list, [&stop] { return stop; });
    // The timer ran during the first yield; the walk ended there.
    EXPECT_EQ(ListRowTexts(&list), QStringList{root});
}

TEST(ListAllSubFolders, FillsTheListView) {
    TestEnvironment env;
    MakeFolder(env.path("tree/x/y"));
    QTreeWidget view;
    ListAllSubFolders(&view, env.path("tree"));
    EXPECT_EQ(ListRowTexts(&view), (QStringList{env.path("tree"), env.path("tree/x"), env.path("tree/x/y")}));
}

TEST(FindFoldersContainingFile, KeepsOnlyFoldersHoldingTheTrimmedName) {
    TestEnvironment env;
    const QString root = env.path("backups");
    MakeFile(root + "/2024-05-01/notes.txt", kWhen);
    MakeFile(root + "/2024-05-02/other.txt", kWhen);
    MakeFolder(root + "/2024-05-03/notes.txt");  // a folder of that name is no file
    MakeFile(root + "/2024-05-04/keep/home/notes.txt", kWhen);
    MakeFile(root + "/2024-05-05/.notes.txt", kWhen);
    // The copy of a link is a link: found, whether or not it leads anywhere.
    MakeFolder(root + "/2024-05-06");
    ASSERT_TRUE(QFile::link(root + "/nowhere", root + "/2024-05-06/notes.txt"));
    QListWidget list;
    FindFoldersContainingFile(&list, root, "  notes.txt ");
    QStringList rows = ListRowTexts(&list);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{root + "/2024-05-01", root + "/2024-05-04/keep/home", root + "/2024-05-06"}));

    // A hidden file is found by its own name; a name found nowhere leaves no rows.
    list.clear();
    FindFoldersContainingFile(&list, root, ".notes.txt");
    EXPECT_EQ(ListRowTexts(&list), QStringList{root + "/2024-05-05"});
    list.clear();
    FindFoldersContainingFile(&list, root, "absent.txt");
    EXPECT_EQ(list.count(), 0);
}

TEST(GetFileSizeFso, SizeOrZero) {
    TestEnvironment env;
    MakeFile(env.path("a.bin"), kWhen, 1234);
    EXPECT_EQ(GetFileSizeFso(env.path("a.bin")), 1234);
    EXPECT_EQ(GetFileSizeFso(env.path("missing.bin")), 0);
    EXPECT_EQ(GetFileSizeFso(env.folder()), 0);
}

TEST(WalkFolderTree, LeavesOutTheFolderItIsToldOfByIdentity) {
    TestEnvironment env;
    const QString root = env.path("tree");
    MakeFolder(root + "/Backup/20240510/tree");
    MakeFolder(root + "/Backups-old");
    MakeFolder(root + "/work");
    ASSERT_TRUE(QFile::link(root + "/Backup", env.path("dest")));
    platform::FolderId destination;
    ASSERT_TRUE(platform::GetFolderId(env.path("dest/"), destination));
    QListWidget list;
    EXPECT_TRUE(WalkFolderTree(root, &list, {}, &destination));
    EXPECT_EQ(sorted(ListRowTexts(&list)), sorted({root, root + "/Backups-old", root + "/work"}));
    // A walk that starts in that folder walks it all the same.
    list.clear();
    EXPECT_TRUE(WalkFolderTree(root + "/Backup", &list, {}, &destination));
    EXPECT_EQ(ListRowTexts(&list).size(), 3);
    // No folder there: no rows, and the caller is told.
    EXPECT_FALSE(WalkFolderTree(root + "/gone", &list, {}, &destination));
}

TEST(WalkFolderTree, NeverEntersAVirtualFileSystem) {
    TestEnvironment env;
    QListWidget list;
    for (const char* root : {"/proc", "/sys"}) {
        EXPECT_TRUE(WalkFolderTree(root, &list));
        EXPECT_TRUE(env.readFile("corvex.log")
                        .contains(QString(",WalkFolderTree : ") + root + " is a virtual file system - not walked\r\n"));
    }
    EXPECT_EQ(list.count(), 0);
}
