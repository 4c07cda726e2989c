// The file list's rows of values: the column texts drawn from them, sorting
// by value, ticks, batches shown to views, and list files read into them.
#include "foundation/FileListModel.h"
#include "foundation/ListFiles.h"
#include "platform/FileStatus.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QItemSelectionModel>
#include <QLocale>
#include <QSignalSpy>
#include <QTreeView>

namespace {

platform::FileStatus fileStatus(qint64 size, const QDateTime& modified) {
    platform::FileStatus status;
    status.exists = status.isFile = true;
    status.size = size;
    status.modifiedSecs = modified.toSecsSinceEpoch();
    return status;
}

// Adds a full row for path (folder and name split at its last "/").
void addFull(FileListModel& list, const QString& path, qint64 size = 1,
             const QDateTime& modified = QDateTime(QDate(2024, 5, 10), QTime(12, 0)), bool ticked = true) {
    const qsizetype slash = path.lastIndexOf('/') + 1;
    list.addFullRow(path.left(slash), path.mid(slash), fileStatus(size, modified), ticked);
}

QStringList paths(const FileListModel& list) {
    QStringList result;
    for (const FileListModel::Row& row : list.rows()) result << row.path;
    return result;
}

}  // namespace

TEST(FileListModelTest, ColumnTextsAreDrawnFromTheRowsValues) {
    platform::RefreshTimeZone();
    const QString sep = QLocale::system().groupSeparator();
    FileListModel list;
    addFull(list, "/d/v1.2/report.txt", 0, QDateTime(QDate(2024, 5, 10), QTime(7, 5, 59)));
    addFull(list, "/d/grouped.bin", 1234567, QDateTime(QDate(2003, 4, 28), QTime(21, 30)));
    addFull(list, "/d/v1.2/Makefile", qint64(3) * 1024 * 1024 * 1024);
    list.addShortRow("/d/", "short.txt", true);
    list.addPathRow("/d/failed.txt", true);
    list.showAddedRows();

    const struct {
        int row;
        int column;
        QString text;
    } cases[] = {
        {0, 0, "/d/v1.2/report.txt"},
        {0, 1, "report.txt"},
        {0, 2, "/d/v1.2/"},
        {0, 3, "0          "},
        {0, 4, "TXT"},
        {0, 5, "2024-05-10 07:05"},
        {0, 6, ""},
        {0, 13, ""},
        {1, 3, "1" + sep + "234" + sep + "567  "},
        {1, 4, "BIN"},
        {1, 5, "2003-04-28 21:30"},
        {2, 3, "3" + sep + "221" + sep + "225" + sep + "472"},  // longer than the padding: whole
        {2, 4, "2/MAKEFILE"},                                   // the folder's dot counts
        {3, 0, "/d/short.txt"},
        {3, 1, "short.txt"},
        {4, 0, "/d/failed.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(list.hasText(c.row, c.column)) << c.row << "," << c.column;
        EXPECT_EQ(list.text(c.row, c.column), c.text) << c.row << "," << c.column;
    }
    // Columns a row does not have have no text at all, as a view sees them too.
    EXPECT_FALSE(list.hasText(3, 2));
    EXPECT_FALSE(list.hasText(4, 1));
    EXPECT_FALSE(list.data(list.index(4, 1)).isValid());
    EXPECT_TRUE(list.data(list.index(0, 6)).isValid());

    // The view shows sizes right-aligned without their padding, and the ticks.
    EXPECT_EQ(list.data(list.index(0, 3)).toString(), "0");
    EXPECT_EQ(list.data(list.index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(list.data(list.index(0, 0), Qt::CheckStateRole), Qt::Checked);
    EXPECT_TRUE(list.flags(list.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_EQ(list.columnCount(), FileListModel::kColumns);
    EXPECT_EQ(list.headerData(3, Qt::Horizontal).toString(), "Size");
    EXPECT_EQ(list.headerData(13, Qt::Horizontal).toString(), "");
}

// Sizes as numbers, times as times, texts without case in the language's
// order; equal values keep their order; a row lacking the column comes last.
void addSortRows(FileListModel& list) {
    addFull(list, "/x/Bericht.txt", qint64(3) * 1024 * 1024 * 1024, QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
    addFull(list, "/y/a_000.txt", 9, QDateTime(QDate(2003, 4, 28), QTime(9, 0)));
    addFull(list, "/X/c.DOC", 99999, QDateTime(QDate(2024, 5, 9), QTime(23, 0)));
    addFull(list, "/y/d.doc", 9, QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
    list.addPathRow("/z/failed", true);
}

const struct SortCase {
    int column;
    Qt::SortOrder order;
    QStringList expected;
} kSortCases[] = {
    {0, Qt::AscendingOrder, {"/x/Bericht.txt", "/X/c.DOC", "/y/a_000.txt", "/y/d.doc", "/z/failed"}},
    {0, Qt::DescendingOrder, {"/z/failed", "/y/d.doc", "/y/a_000.txt", "/X/c.DOC", "/x/Bericht.txt"}},
    {1, Qt::AscendingOrder, {"/y/a_000.txt", "/x/Bericht.txt", "/X/c.DOC", "/y/d.doc", "/z/failed"}},
    {1, Qt::DescendingOrder, {"/z/failed", "/y/d.doc", "/X/c.DOC", "/x/Bericht.txt", "/y/a_000.txt"}},
    {2, Qt::AscendingOrder, {"/x/Bericht.txt", "/X/c.DOC", "/y/a_000.txt", "/y/d.doc", "/z/failed"}},
    {3, Qt::AscendingOrder, {"/y/a_000.txt", "/y/d.doc", "/X/c.DOC", "/x/Bericht.txt", "/z/failed"}},
    {3, Qt::DescendingOrder, {"/z/failed", "/x/Bericht.txt", "/X/c.DOC", "/y/a_000.txt", "/y/d.doc"}},
    {4, Qt::AscendingOrder, {"/X/c.DOC", "/y/d.doc", "/x/Bericht.txt", "/y/a_000.txt", "/z/failed"}},
    {4, Qt::DescendingOrder, {"/z/failed", "/x/Bericht.txt", "/y/a_000.txt", "/X/c.DOC", "/y/d.doc"}},
    {5, Qt::AscendingOrder, {"/y/a_000.txt", "/X/c.DOC", "/x/Bericht.txt", "/y/d.doc", "/z/failed"}},
    {5, Qt::DescendingOrder, {"/z/failed", "/x/Bericht.txt", "/y/d.doc", "/X/c.DOC", "/y/a_000.txt"}},
};

TEST(FileListModelTest, SortingComparesEachColumnByItsValueAndKeepsTheOrderOfEqualOnes) {
    FileListModel list;
    addSortRows(list);
    for (const SortCase& c : kSortCases) {
        list.sort(0, Qt::AscendingOrder);  // the same order before each case
        list.sort(c.column, c.order);
        EXPECT_EQ(paths(list), c.expected) << c.column << " " << int(c.order);
    }
}

// Rows added one by one into a sorted list land where a sort puts them.
TEST(FileListModelTest, RowsAddedToASortedListTakeTheSortedPlace) {
    for (const SortCase& c : kSortCases) {
        FileListModel list;
        list.sort(c.column, c.order);
        list.setSortingEnabled(true);
        addSortRows(list);
        // Equal rows stay in the order they were added, ascending or not.
        FileListModel sorted;
        addSortRows(sorted);
        sorted.sort(c.column, c.order);
        EXPECT_EQ(paths(list), paths(sorted)) << c.column << " " << int(c.order);
    }
}

TEST(FileListModelTest, SortedListsPlaceNewRowsAndKeepSelections) {
    FileListModel list;
    addFull(list, "/a", 5);
    addFull(list, "/c", 7);
    list.setSortingEnabled(true);
    QTreeView view;
    view.setModel(&list);
    view.selectionModel()->select(list.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    // A row added while sorting is on takes its place at once, after equal rows.
    list.addPathRow("/b", true);
    addFull(list, "/c", 1);
    EXPECT_EQ(paths(list), (QStringList{"/a", "/b", "/c", "/c"}));
    EXPECT_EQ(list.row(3).size, 1);
    EXPECT_EQ(list.rowCount(), 4);

    // The selection follows its row through a sort.
    list.sort(0, Qt::DescendingOrder);
    const QModelIndexList selected = view.selectionModel()->selectedRows(0);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(list.row(selected.first().row()).size, 7);

    // Switched off, rows are appended; switched on again, the list sorts once.
    list.setSortingEnabled(false);
    list.addPathRow("/z", true);
    EXPECT_EQ(list.row(4).path, "/z");
    list.setSortingEnabled(true);
    EXPECT_EQ(list.row(0).path, "/z");
}

TEST(FileListModelTest, TicksTellTheViewsAndRowsAreShownInBatches) {
    FileListModel list;
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    for (int i = 0; i < 5000; ++i) list.addPathRow(QString::number(i), true);
    // Logic sees every row at once; views see them a batch at a time.
    EXPECT_EQ(list.count(), 5000);
    EXPECT_EQ(list.rowCount(), 4096);
    EXPECT_EQ(inserted.count(), 1);
    list.setTicked(4500, false);  // not shown yet: nothing to tell
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(list.row(4500).ticked);
    list.showAddedRows();
    EXPECT_EQ(list.rowCount(), 5000);

    EXPECT_TRUE(list.setData(list.index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), 2);
    EXPECT_TRUE(changed.first().at(2).value<QList<int>>().contains(Qt::CheckStateRole));
    EXPECT_FALSE(list.row(2).ticked);
    list.setTicked(2, false);  // no change: no signal
    EXPECT_EQ(changed.count(), 1);

    // A list without check boxes shows none and takes no ticks from a view.
    list.setCheckBoxes(false);
    EXPECT_FALSE(list.data(list.index(0, 0), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(list.setData(list.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(list.row(0).ticked);
}

TEST(FileListModelTest, ListFilesLoadIntoAndSaveFromAViewOverTheRows) {
    TestEnvironment env;
    FileListModel list;
    QTreeView view;
    view.setModel(&list);
    addFull(list, "/kept/a.txt");
    list.showAddedRows();
    env.writeFile("failed.txt", "/src/one.txt\r\n\r\n/src/comma,\r\n/src/two,,\r\n");
    // Mode 1 appends: each line a ticked row holding its path alone.
    ASSERT_TRUE(LoadFileToListBox(&view, env.path("failed.txt"), 1));
    EXPECT_EQ(ListRowTexts(&view), (QStringList{"/kept/a.txt", "/src/one.txt", "/src/comma", "/src/two,"}));
    EXPECT_EQ(list.rowCount(), 4);
    for (int i = 1; i < 4; ++i) {
        EXPECT_TRUE(list.row(i).ticked);
        EXPECT_EQ(list.row(i).form, FileListModel::RowForm::PathOnly);
    }
    // A full row saves as its path and name; a path-only row as its path.
    ASSERT_TRUE(SaveListboxToFile(&view, env.path("saved.txt")));
    EXPECT_EQ(env.readFile("saved.txt"), "/kept/a.txt,a.txt\r\n/src/one.txt\r\n/src/comma\r\n/src/two,\r\n");
    // Mode 0 replaces; a missing file leaves the rows.
    ASSERT_TRUE(LoadFileToListBox(&view, env.path("failed.txt"), 0));
    EXPECT_EQ(list.count(), 3);
    EXPECT_FALSE(LoadFileToListBox(&view, env.path("missing.txt"), 0));
    EXPECT_EQ(list.count(), 3);
}

TEST(FileListModelTest, ARowStaysSmall) {
    // The list holds hundreds of thousands of rows: a row is its path and a
    // few numbers, no texts of its own for the other columns.
    EXPECT_LE(sizeof(FileListModel::Row), 48u);
}

// The longest text of a column, noted as rows are added, is the longest of
// the texts the views show in it, among the rows that have that column.
TEST(FileListModelTest, TheLongestTextOfEachColumnIsNotedAsRowsAreAdded) {
    FileListModel list;
    addFull(list, "/d/a-long-file-name.txt", 10);
    addFull(list, "/d/deeper/folder/b.jpeg", 1234567);
    addFull(list, "/d/noextension", 99);
    // A row without a folder, size or type column counts only for the columns it has.
    list.addShortRow("/d/a-much-longer-folder-name/", "the-longest-name-of-all.md", true);
    list.addPathRow("/d/a-row-with-its-path-alone-and-a-very-long-name.longtype", true);
    list.showAddedRows();

    const auto check = [&list](const char* when) {
        for (const int column : {FileListModel::NameColumn, FileListModel::FolderColumn, FileListModel::SizeColumn,
                                 FileListModel::TypeColumn}) {
            QStringList shown;
            for (int r = 0; r < list.rowCount(); ++r) shown << list.data(list.index(r, column)).toString();
            const QString longest = list.longestText(column);
            EXPECT_TRUE(shown.contains(longest)) << when << ", column " << column << ": " << longest.toStdString();
            for (const QString& text : shown) EXPECT_LE(text.size(), longest.size()) << when << ", column " << column;
        }
        EXPECT_EQ(list.longestText(FileListModel::NameColumn), "the-longest-name-of-all.md") << when;
        EXPECT_EQ(list.longestText(FileListModel::FolderColumn), "/d/deeper/folder/") << when;
        EXPECT_EQ(list.longestText(FileListModel::TypeColumn), "JPEG") << when;
        EXPECT_EQ(list.longestText(FileListModel::ModifiedColumn), "") << when;
    };
    check("as added");
    list.sort(FileListModel::NameColumn, Qt::DescendingOrder);
    check("sorted");
    list.setSortingEnabled(true);
    addFull(list, "/d/short.c", 5);
    check("with a row added to the sorted list");

    list.clear();
    for (int column = 0; column < FileListModel::kColumns; ++column) EXPECT_EQ(list.longestText(column), "");
    list.addPathRow("/d/alone.txt", true);
    EXPECT_EQ(list.longestText(FileListModel::NameColumn), "");
}
