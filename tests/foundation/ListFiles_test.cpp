// Loading and saving list controls, copying and removing rows.
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "support/FullDisk.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTreeWidget>

#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace {

QStringList rows(QWidget* control) { return ListRowTexts(control); }

QList<bool> ticks(QTreeWidget* view) {
    QList<bool> t;
    for (int i = 0; i < view->topLevelItemCount(); ++i) t << (view->topLevelItem(i)->checkState(0) == Qt::Checked);
    return t;
}

void addViewRow(QTreeWidget* view, const QString& text, const QString& second = {}, bool ticked = true) {
    auto* item = new QTreeWidgetItem(QStringList{text, second});
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    view->addTopLevelItem(item);
}

// Lets level-3 lines reach the program log for the length of a test.
struct VerboseLog {
    int saved = LogThreshold;
    VerboseLog() { LogThreshold = 3; }
    ~VerboseLog() { LogThreshold = saved; }
};

}  // namespace

TEST(LoadFileToListBox, ReadsCrLfAndLfAndSkipsEmptyLines) {
    TestEnvironment env;
    env.writeFile("list.txt", "/home/anna/\r\n\r\n/opt/*\n\n\n/srv/\r\n");
    QListWidget list;
    LoadFileToListBox(&list, env.path("list.txt"), 0);
    EXPECT_EQ(rows(&list), (QStringList{"/home/anna/", "/opt/*", "/srv/"}));
    // Append mode keeps what is there; replace mode starts afresh.
    LoadFileToListBox(&list, env.path("list.txt"), 1);
    EXPECT_EQ(list.count(), 6);
    LoadFileToListBox(&list, env.path("list.txt"), 0);
    EXPECT_EQ(list.count(), 3);
    QComboBox combo;
    combo.addItem("old");
    LoadFileToListBox(&combo, env.path("list.txt"), 0);
    EXPECT_EQ(rows(&combo), (QStringList{"/home/anna/", "/opt/*", "/srv/"}));
}

TEST(LoadFileToListBox, FileOfEmptyLinesClearsInReplaceMode) {
    TestEnvironment env;
    env.writeFile("blank.txt", "\r\n\n\r\n");
    QListWidget list;
    list.addItem("old");
    LoadFileToListBox(&list, env.path("blank.txt"), 0);
    EXPECT_EQ(list.count(), 0);
}

TEST(LoadFileToListBox, MissingHiddenOrEmptyNameLeavesControlUnchanged) {
    TestEnvironment env;
    VerboseLog verbose;
    env.writeFile(".hidden.txt", "a\r\n");
    QDir(env.folder()).mkdir("folder.txt");
    // A pipe is no list file (and opening it would wait for a writer).
    ASSERT_EQ(::mkfifo(QFile::encodeName(env.path("pipe.txt")).constData(), 0644), 0);
    QListWidget list;
    list.addItem("keep");
    QTreeWidget view;
    addViewRow(&view, "keep");
    // Only a name with nothing behind it is missing; the rest are there but unreadable.
    for (const auto& [name, expected] :
         std::vector<std::pair<QString, ListFileLoad>>{{env.path("missing.txt"), ListFileLoad::Missing},
                                                       {env.path(".hidden.txt"), ListFileLoad::Unreadable},
                                                       {env.path("folder.txt"), ListFileLoad::Unreadable},
                                                       {env.path("pipe.txt"), ListFileLoad::Unreadable}}) {
        EXPECT_EQ(LoadListFile(&list, name, 0), expected) << name.toStdString();
        EXPECT_FALSE(LoadFileToListBox(&view, name, 0));
        EXPECT_EQ(rows(&list), QStringList{"keep"}) << name.toStdString();
        EXPECT_EQ(rows(&view), QStringList{"keep"}) << name.toStdString();
    }
    LoadFileToListBox(&list, "", 0);
    EXPECT_EQ(rows(&list), QStringList{"keep"});
    const QString log = env.readFile("corvex.log");
    EXPECT_TRUE(log.contains("LoadFileToListBox : cant find " + env.path("missing.txt"))) << log.toStdString();
    EXPECT_TRUE(log.contains("LoadFileToListBox : cant find " + env.path(".hidden.txt")));
}

TEST(LoadFileToListBox, ListViewDropsOneTrailingCommaAndTicksEveryRow) {
    TestEnvironment env;
    env.writeFile("commas.txt", "one,\r\ntwo,,\r\n,\r\nthree,3\r\n");
    QTreeWidget view;
    LoadFileToListBox(&view, env.path("commas.txt"), 0);
    EXPECT_EQ(rows(&view), (QStringList{"one", "two,", "", "three,3"}));
    EXPECT_EQ(ticks(&view), (QList<bool>{true, true, true, true}));
    EXPECT_TRUE(ListViewHasCheckBoxes(&view));
    // A list box keeps every comma.
    QListWidget list;
    LoadFileToListBox(&list, env.path("commas.txt"), 0);
    EXPECT_EQ(rows(&list), (QStringList{"one,", "two,,", ",", "three,3"}));
}

TEST(LoadFileToListBox, ListViewMarkedWithoutCheckBoxesShowsNone) {
    TestEnvironment env;
    env.writeFile("excluded.txt", "/tmp/\r\n/.cache/\r\n");
    QTreeWidget view;
    SetListViewCheckBoxes(&view, false);
    LoadFileToListBox(&view, env.path("excluded.txt"), 0);
    EXPECT_EQ(rows(&view), (QStringList{"/tmp/", "/.cache/"}));
    EXPECT_FALSE(view.topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());
    EXPECT_FALSE(ListViewHasCheckBoxes(&view));
}

TEST(SaveListboxToFile, WritesCrLfLinesAndCountsThem) {
    TestEnvironment env;
    QListWidget list;
    list.addItems({"/home/anna/", "/opt/*", QString::fromUtf8("/home/jürgen/")});
    int count = -5;
    SaveListboxToFile(&list, env.path("out.txt"), count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(ReadBytes(env.path("out.txt")), QString::fromUtf8("/home/anna/\r\n/opt/*\r\n/home/jürgen/\r\n").toUtf8());
    // Round trip.
    QListWidget back;
    LoadFileToListBox(&back, env.path("out.txt"), 0);
    EXPECT_EQ(rows(&back), rows(&list));
}

TEST(SaveListboxToFile, ListViewRowsWithSecondColumnComeBackAsOneRow) {
    TestEnvironment env;
    QTreeWidget view;
    view.setColumnCount(2);
    addViewRow(&view, "/a/file.txt", "file.txt");
    addViewRow(&view, "/b/", "", false);
    auto* bare = new QTreeWidgetItem(QStringList{"/c/"});
    view.addTopLevelItem(bare);
    int count = 0;
    SaveListboxToFile(&view, env.path("view.txt"), count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(env.readFile("view.txt"), "/a/file.txt,file.txt\r\n/b/\r\n/c/\r\n");
    QTreeWidget back;
    LoadFileToListBox(&back, env.path("view.txt"), 0);
    EXPECT_EQ(rows(&back), (QStringList{"/a/file.txt,file.txt", "/b/", "/c/"}));
    EXPECT_EQ(ticks(&back), (QList<bool>{true, true, true}));
}

TEST(SaveListboxToFile, EmptyControlEmptyNameAndLongLists) {
    TestEnvironment env;
    QListWidget list;
    int count = 7;
    SaveListboxToFile(&list, env.path("empty.txt"), count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(QFile::exists(env.path("empty.txt")));
    EXPECT_EQ(ReadBytes(env.path("empty.txt")).size(), 0);
    list.addItem("x");
    count = 7;
    SaveListboxToFile(&list, "", count);
    EXPECT_EQ(count, 0);
    // More rows than a 16-bit count could hold.
    QStringList many;
    for (int i = 0; i < 40000; ++i) many << QString::number(i);
    list.clear();
    list.addItems(many);
    SaveListboxToFile(&list, env.path("many.txt"), count);
    EXPECT_EQ(count, 40000);
    EXPECT_EQ(env.readLines("many.txt").size(), 40000);
}

TEST(SaveListboxToFile, FailureIsReportedAndKeepsTheEarlierList) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    // The target is a folder: nothing can be written there.
    QDir(env.folder()).mkdir("taken");
    QListWidget list;
    list.addItem("/home/");
    int count = 0;
    SaveListboxToFile(&list, env.path("taken"), count);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith("An Error occurred in SaveListboxToFile: "))
        << boxes.last().text.toStdString();
    EXPECT_TRUE(boxes.last().text.endsWith(" while saving '" + env.path("taken") + "'"));
    EXPECT_TRUE(env.readFile("corvex.log").contains(",ErrorSaveListboxToFile:  "));
    EXPECT_TRUE(QFileInfo(env.path("taken")).isDir());

    // A path below a regular file cannot be written either; the file stays as it was.
    env.writeFile("lists/paths.txt", "/old/\r\n");
    boxes.answer(platform::Answer::OK);
    SaveListboxToFile(&list, env.path("lists/paths.txt/sub.txt"), count);
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(env.readFile("lists/paths.txt"), "/old/\r\n");
}

TEST(SaveListboxToFile, NoListControlLeavesTheFileAlone) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    env.writeFile("paths.txt", "/old/\r\n");
    QWidget notAList;
    int count = 3;
    SaveListboxToFile(&notAList, env.path("paths.txt"), count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(env.readFile("paths.txt"), "/old/\r\n");
}

TEST(SaveListboxToFile, ALinkInPlaceOfTheListIsRefusedAndItsTargetKept) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    env.writeFile("real/paths.txt", "/old/\r\n");
    ASSERT_TRUE(QFile::link(env.path("real/paths.txt"), env.path("paths.txt")));
    QListWidget list;
    list.addItem("/new/");
    SaveListboxToFile(&list, env.path("paths.txt"));
    EXPECT_TRUE(QFileInfo(env.path("paths.txt")).isSymLink());
    EXPECT_EQ(env.readFile("real/paths.txt"), "/old/\r\n");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains("Is a symbolic link while saving '" + env.path("paths.txt") +
                              "' - the file was left as it was"));
}

TEST(SaveListboxToFile, FullDiskOrReadOnlyListKeepsTheOldList) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    QListWidget list;
    list.addItems({"/home/anna/", "/srv/*"});
    const QByteArray old = "/old/\r\n";

    env.writeFile("paths.txt", "/old/\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(env.path("paths.txt")).constData(), 0444), 0);
    boxes.answer(platform::Answer::OK);
    SaveListboxToFile(&list, env.path("paths.txt"));
    EXPECT_EQ(ReadBytes(env.path("paths.txt")), old);
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains("The file is read-only while saving '" + env.path("paths.txt") +
                              "' - the file was left as it was"));

    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";
    WriteBytes(disk.path("paths.txt"), old);
    disk.fill();
    boxes.answer(platform::Answer::OK);
    SaveListboxToFile(&list, disk.path("paths.txt"));
    EXPECT_EQ(ReadBytes(disk.path("paths.txt")), old);
    EXPECT_EQ(disk.names(), (QStringList{"filler", "paths.txt"}));
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_TRUE(env.readFile("corvex.log").contains("while saving '" + disk.path("paths.txt") + "'"));
}

TEST(SaveListboxToFile, LinesInOtherEncodingsGoBackByteForByte) {
    TestEnvironment env;
    const QByteArray bytes = "/home/caf\xe9/\r\n/srv/\xff\xfe/*\r\n/home/caf\xc3\xa9/\r\n";
    WriteBytes(env.path("paths.txt"), bytes);
    QListWidget list;
    LoadFileToListBox(&list, env.path("paths.txt"), 0);
    QTreeWidget view;
    LoadFileToListBox(&view, env.path("paths.txt"), 0);
    EXPECT_EQ(list.count(), 3);
    EXPECT_NE(list.item(0)->text(), list.item(2)->text());
    SaveListboxToFile(&list, env.path("fromList.txt"));
    SaveListboxToFile(&view, env.path("fromView.txt"));
    EXPECT_EQ(ReadBytes(env.path("fromList.txt")), bytes);
    EXPECT_EQ(ReadBytes(env.path("fromView.txt")), bytes);
}

TEST(ListFileReaderAndWriter, LinesRoundTripAndAFailedWriteKeepsTheFile) {
    TestEnvironment env;
    const QStringList lines{"/home/caf" + QString::fromUtf8("\xc3\xa9") + "/a.txt", "/srv/x,y.txt"};
    QString why;
    ASSERT_TRUE(WriteListFile(env.path("list.txt"), lines, &why)) << why.toStdString();
    EXPECT_EQ(ReadBytes(env.path("list.txt")), "/home/caf\xc3\xa9/a.txt\r\n/srv/x,y.txt\r\n");
    QStringList read{"stale"};
    EXPECT_EQ(ReadListFile(env.path("list.txt"), read), ListFileLoad::Loaded);
    EXPECT_EQ(read, lines);
    // Bytes that are not UTF-8 come back as they were.
    const QByteArray odd = "/srv/\xff\xfe.txt\n\n/b\r\n";
    WriteBytes(env.path("odd.txt"), odd);
    ASSERT_EQ(ReadListFile(env.path("odd.txt"), read), ListFileLoad::Loaded);
    ASSERT_EQ(read.size(), 2);
    ASSERT_TRUE(WriteListFile(env.path("odd.txt"), read, &why));
    EXPECT_EQ(ReadBytes(env.path("odd.txt")), "/srv/\xff\xfe.txt\r\n/b\r\n");
    // A folder in its place: nothing read, nothing written.
    ASSERT_TRUE(QDir().mkpath(env.path("folder.txt")));
    EXPECT_EQ(ReadListFile(env.path("folder.txt"), read), ListFileLoad::Unreadable);
    EXPECT_TRUE(read.isEmpty());
    EXPECT_EQ(ReadListFile(env.path("missing.txt"), read), ListFileLoad::Missing);
    EXPECT_FALSE(WriteListFile(env.path("folder.txt"), lines, &why));
    EXPECT_FALSE(why.isEmpty());
    // A link in its place is refused and its target kept.
    ASSERT_TRUE(QFile::link(env.path("odd.txt"), env.path("link.txt")));
    EXPECT_FALSE(WriteListFile(env.path("link.txt"), lines, &why));
    EXPECT_EQ(ReadBytes(env.path("odd.txt")), "/srv/\xff\xfe.txt\r\n/b\r\n");
}

TEST(CopyListItems, CopiesTextsAndTicksInOrder) {
    QTreeWidget source;
    addViewRow(&source, "/a/");
    addViewRow(&source, "/b/", "", false);
    addViewRow(&source, "/c/");
    QTreeWidget view;
    addViewRow(&view, "stale");
    CopyListItems(&source, &view);
    EXPECT_EQ(rows(&view), (QStringList{"/a/", "/b/", "/c/"}));
    EXPECT_EQ(ticks(&view), (QList<bool>{true, false, true}));
    QListWidget list;
    list.addItem("stale");
    CopyListItems(&source, &list);
    EXPECT_EQ(rows(&list), (QStringList{"/a/", "/b/", "/c/"}));
    QTreeWidget empty;
    CopyListItems(&empty, &list);
    EXPECT_EQ(list.count(), 0);
    // Copying a list into itself leaves it as it is.
    CopyListItems(&source, &source);
    EXPECT_EQ(source.topLevelItemCount(), 3);
}

TEST(RemoveListItemsContaining, ExactCaseSensitiveFragments) {
    const QStringList paths{"/backup/", "/home/anna/backup/", "/dev/src/backupfiles/", "/home/anna/Backup/",
                            "/home/anna/backup"};
    QListWidget list;
    list.addItems(paths);
    RemoveListItemsContaining("/backup/", &list);
    EXPECT_EQ(rows(&list), (QStringList{"/dev/src/backupfiles/", "/home/anna/Backup/", "/home/anna/backup"}));

    QTreeWidget view;
    for (const QString& p : paths) addViewRow(&view, p);
    RemoveListItemsContaining("/BACKUP/", &view);
    EXPECT_EQ(view.topLevelItemCount(), 5);
    RemoveListItemsContaining("", &view);
    EXPECT_EQ(view.topLevelItemCount(), 5);
    // A full folder path removes the folders below it, and the folder's own row
    // only when that row ends in "/" too.
    RemoveListItemsContaining("/home/anna/", &view);
    EXPECT_EQ(rows(&view), (QStringList{"/backup/", "/dev/src/backupfiles/"}));

    QComboBox combo;
    combo.addItems(paths);
    RemoveListItemsContaining("/backup/", &combo);
    EXPECT_EQ(combo.count(), 5);
}
