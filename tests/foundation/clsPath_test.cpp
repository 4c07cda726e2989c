#include "foundation/clsPath.h"
#include "ArrayItems.h"
#include "foundation/clsArray.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
class FolderObjectTest : public ::testing::Test {
protected:
    TestEnvironment env;
    ScriptedBoxes boxes;
};
}  // namespace

TEST_F(FolderObjectTest, GetFullNameBeforeAnyPathSaysSo) {
    boxes.answer(platform::Answer::OK);
    clsPath p;
    EXPECT_EQ(p.getFullName(), "");
    EXPECT_EQ(boxes.last().text, "The path hasnt been initialised yet (you havent told me the name!)");
    EXPECT_FALSE(p.Exists());
    EXPECT_EQ(p.numFiles(), 0);
    EXPECT_EQ(p.numSubFolders(), 0);
    EXPECT_FALSE(p.deleteAllFiles());
}

TEST_F(FolderObjectTest, InitFullTrimsDropsTheTrailingSlashAndCreatesEveryLevel) {
    const QString before = QDir::currentPath();
    QString pth = "  " + env.path("a/b/") + " ";
    clsPath p;
    p.initFull(pth, true);
    EXPECT_EQ(pth, env.path("a/b/"));  // the caller's text loses its blanks
    EXPECT_EQ(p.getFullName(), env.path("a/b"));
    EXPECT_EQ(p.getFullName(true), env.path("a/b/"));
    EXPECT_TRUE(QFileInfo(env.path("a")).isDir());
    EXPECT_TRUE(p.Exists());
    EXPECT_TRUE(p.dateCreated().isValid());
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(boxes.count(), 0);

    clsPath root;
    root.initFull("/");
    EXPECT_EQ(root.getFullName(), "/");
}

TEST_F(FolderObjectTest, InitFormsTheFolderInsideItsParent) {
    clsPath p;
    p.init(env.folder() + "/", "inner/deep", true);
    EXPECT_EQ(p.getFullName(), env.path("inner/deep"));
    EXPECT_TRUE(QFileInfo(env.path("inner/deep")).isDir());

    clsPath missing;
    missing.init(env.folder(), "notmade");
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(QFileInfo::exists(env.path("notmade")));
}

TEST_F(FolderObjectTest, AFolderThatCannotBeMadeIsReported) {
    env.writeFile("file", "x");  // a file where a level should go
    boxes.answer(platform::Answer::OK).answer(platform::Answer::OK);
    clsPath p;
    EXPECT_FALSE(p.MakePathAux(env.path("file/sub/")));
    EXPECT_FALSE(p.lastError().isEmpty());
    p.initFull(env.path("file/sub"), true);
    EXPECT_TRUE(boxes.last().text.startsWith("initFull : Error creating the full directory\r\nErr = "));
    p.init(env.path("file"), "sub", true);
    EXPECT_TRUE(boxes.last().text.startsWith("CreateFullDirectory : Error creating the full directory\r\nErr = "));
}

TEST_F(FolderObjectTest, ExtractParentKeepsTheSlash) {
    const std::pair<QString, QString> cases[] = {{"/a/b", "/a/"}, {"/a", "/"}, {"/a/b/", "/a/b/"}, {"name", ""}};
    for (const auto& [path, parent] : cases) EXPECT_EQ(clsPath::ExtractParent(path), parent) << qPrintable(path);
}

TEST_F(FolderObjectTest, SubDirectoriesListFilesAsBlankEntries) {
    env.writeFile("f/one.txt", "x");
    env.writeFile("f/.hidden", "x");
    QDir().mkpath(env.path("f/sub"));
    QDir().mkpath(env.path("f/.hiddendir"));
    clsPath p;
    p.initFull(env.path("f"));
    clsArray arr;
    arr.Add("earlier");  // the list is emptied first
    EXPECT_EQ(p.GetListOfSubDirectories(arr), 2);
    QStringList got = ArrayItems(arr);
    got.sort();
    EXPECT_EQ(got, QStringList({"", "sub"}));
}

TEST_F(FolderObjectTest, ListOfFilesGivesFullPathsOfMatchingVisibleFiles) {
    env.writeFile("f/a.txt", "x");
    env.writeFile("f/B.TXT", "x");
    env.writeFile("f/c.doc", "x");
    env.writeFile("f/.h.txt", "x");
    QDir().mkpath(env.path("f/d.txt"));  // a folder is not a file
    QFile::link(env.path("f/a.txt"), env.path("f/link.txt"));
    QFile::link(env.path("f/gone"), env.path("f/dangling.txt"));
    clsPath p;
    p.initFull(env.path("f/"));
    clsArray arr;
    EXPECT_EQ(p.GetListOFiles(arr, "*.txt"), 3);
    QStringList got = ArrayItems(arr);
    got.sort();
    EXPECT_EQ(got, QStringList({env.path("f/B.TXT"), env.path("f/a.txt"), env.path("f/link.txt")}));
    EXPECT_EQ(p.GetListOFiles(arr), 4);
}
