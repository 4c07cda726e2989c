// The file list: which names of a folder it shows, and in which order.
#include "foundation/FileListBox.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {
QStringList names(const FileListBox& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
    return out;
}
}  // namespace

TEST(FileListBox, ListsMatchingRegularFilesSortedWithoutRegardToCase) {
    TestEnvironment env;
    for (const char* name : {"b.log", "A.LOG", "c.log.txt", ".hidden.log", "plain"}) env.writeFile(name, "x");
    QDir().mkpath(env.path("folder.log"));
    QFile::link(env.path("b.log"), env.path("link.log"));
    QFile::link(env.path("nowhere"), env.path("dangling.log"));
    ASSERT_EQ(mkfifo(QFile::encodeName(env.path("pipe.log")).constData(), 0600), 0);

    FileListBox list;
    list.setPattern("*.log");
    list.setPath(env.folder());
    EXPECT_EQ(names(list), QStringList({"A.LOG", "b.log", "link.log"}));
    EXPECT_EQ(list.fileName(), "");
    list.setCurrentRow(1);
    EXPECT_EQ(list.fileName(), "b.log");

    // New files show after a refresh, which clears the selection.
    env.writeFile("a.log", "x");
    list.Refresh();
    EXPECT_EQ(names(list), QStringList({"A.LOG", "a.log", "b.log", "link.log"}));
    EXPECT_EQ(list.fileName(), "");

    list.setPath(env.path("missing"));
    EXPECT_EQ(list.count(), 0);
}
