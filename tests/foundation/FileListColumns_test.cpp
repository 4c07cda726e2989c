// The file list's column widths: how the view's width is shared out, and
// measuring the texts of a long list without reading every row.
#include "foundation/FileListColumns.h"
#include "foundation/FileListModel.h"
#include "platform/FileStatus.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QStyle>
#include <QTest>
#include <QTreeView>

namespace {

// Headers: "Path and Filename" 150, Filename 70, Path 40, Size 40, Type 50,
// Modified 80, Comments 100; an average character is 8 pixels wide.
FileColumnNeeds needs(const FileColumnWidthList& texts) {
    FileColumnNeeds n;
    n.header = {150, 70, 40, 40, 50, 80, 100};
    n.text = texts;
    n.charWidth = 8;
    return n;
}

}  // namespace

TEST(FileListColumnsTest, TheValuesAndTheNameAreWholeAndThePathTakesTheRest) {
    const struct {
        const char* what;
        int view;
        FileColumnWidthList texts;
        FileColumnWidthList kept;
        FileColumnWidthList widths;
    } cases[] = {
        {"a wide view: the folder takes half of what is left, the full path the rest",
         1600,
         {0, 250, 500, 80, 40, 130, 0},
         {},
         {495, 250, 495, 80, 50, 130, 100}},
        {"a view too narrow for long paths scrolls: the name stays whole, the folder shows 12 characters",
         744,
         {0, 256, 800, 51, 54, 149, 0},
         {},
         {150, 256, 96, 51, 54, 149, 100}},
        {"a name of up to 40 characters is whole also beyond two fifths of the view",
         500,
         {0, 310, 0, 51, 54, 149, 0},
         {},
         {150, 310, 40, 51, 54, 149, 100}},
        {"a longer name gets two fifths of the view",
         1000,
         {0, 600, 0, 51, 54, 149, 0},
         {},
         {206, 400, 40, 51, 54, 149, 100}},
        {"the folder gives way to the full path's header before it needs to scroll",
         744,
         {0, 130, 300, 51, 54, 149, 0},
         {},
         {150, 130, 110, 51, 54, 149, 100}},
        {"an empty list: every column as its header, the full path the rest",
         744,
         {},
         {},
         {364, 70, 40, 40, 50, 80, 100}},
        {"widths the user set are kept, narrower than the header too; the others fit around them",
         1000,
         {0, 250, 500, 80, 40, 130, 0},
         {300, 500, 0, 20, 0, 0, 0},
         {300, 500, 96, 20, 50, 130, 100}},
    };
    for (const auto& c : cases) EXPECT_EQ(FileColumnWidths(needs(c.texts), c.view, c.kept), c.widths) << c.what;
}

namespace {

// Counts the texts the columns are measured by.
class CountingModel : public FileListModel {
public:
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) ++reads;
        return FileListModel::data(index, role);
    }
    mutable int reads = 0;
};

void addRow(FileListModel& list, const QString& name) {
    platform::FileStatus status;
    status.exists = status.isFile = true;
    status.size = 1;
    list.addFullRow(QStringLiteral("/home/anna/"), name, status, true);
}

}  // namespace

// A long list is measured from a few rows and the longest texts the model
// notes, and the texts read do not grow with the list: a long name far down
// the list shows whole, and so does a shorter name of wide letters near the top.
TEST(FileListColumnsTest, ALongListIsMeasuredWithoutReadingEveryRow) {
    constexpr int kRows = 200000;
    constexpr int kFarDown = 137357;
    CountingModel list;
    QTreeView view;
    view.setModel(&list);
    for (int c = kShownFileColumns; c < FileListModel::kColumns; ++c) view.setColumnHidden(c, true);
    view.resize(1400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    FileListColumns columns(&view, &list);
    const int margins = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);

    const struct {
        QString nearTop;  // at row 5
        QString farDown;
        QString shownWhole;
    } cases[] = {
        {"f.txt", "a-name-far-down-a-list-of-two-hundred-thousand.txt",
         "a-name-far-down-a-list-of-two-hundred-thousand.txt"},
        {QString(24, u'W') + ".txt", QString(40, u'i') + ".txt", QString(24, u'W') + ".txt"},
    };
    for (const auto& c : cases) {
        list.clear();
        for (int r = 0; r < kRows; ++r)
            addRow(list, r == 5          ? c.nearTop
                         : r == kFarDown ? c.farDown
                                         : QStringLiteral("f-%1.txt").arg(qint64(r), 6, 10, QChar(u'0')));
        list.showAddedRows();
        list.reads = 0;
        columns.fitToRows();
        EXPECT_LT(list.reads, 2000);
        EXPECT_GE(view.header()->sectionSize(FileListModel::NameColumn),
                  view.fontMetrics().horizontalAdvance(c.shownWhole) + margins)
            << c.shownWhole.toStdString();
    }
}
