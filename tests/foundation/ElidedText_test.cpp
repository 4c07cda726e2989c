// Paths that do not fit are shortened in the middle and shown whole as tool tips.
#include "foundation/ElidedText.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

namespace {

const QString kPath = QStringLiteral("/home/anna/Documents/Projects/2026/Quarterly reports/drafts/summary.odt");

// The tool tip the widget shows when the pointer rests at pos.
QString toolTipAt(QWidget* widget, const QPoint& pos) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace

TEST(ElidedText, LabelsAndBoxesKeepBothEndsAndTheWholeText) {
    QWidget window;
    auto* label = new ElidedLabel(kPath, &window);
    auto* box = new ElidedPathBox(&window);
    box->setText(kPath);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int narrow = label->fontMetrics().horizontalAdvance(kPath) / 2;
    label->setGeometry(0, 0, narrow, label->sizeHint().height());
    box->setGeometry(0, 40, narrow, box->sizeHint().height());
    EXPECT_LT(label->minimumSizeHint().width(), narrow) << "a long path never widens its window";

    for (const QString& shown : {label->shownText(), box->shownText()}) {
        EXPECT_TRUE(shown.startsWith("/home/")) << qPrintable(shown);
        EXPECT_TRUE(shown.endsWith("summary.odt")) << qPrintable(shown);
        EXPECT_TRUE(shown.contains(QChar(0x2026))) << qPrintable(shown);
    }
    EXPECT_EQ(label->text(), kPath);
    EXPECT_EQ(box->text(), kPath);
    EXPECT_EQ(toolTipAt(label, QPoint(4, 4)), kPath);
    EXPECT_EQ(box->toolTip(), kPath);

    // Wide enough, the label shows the text as it is.
    label->setGeometry(0, 0, narrow * 3, label->sizeHint().height());
    EXPECT_EQ(label->shownText(), kPath);
}

// What the label paints is what it says it shows: at each width its picture
// is that of a plain label holding the shown text, and while it is shortened
// that differs from a plain label holding the whole text (cut off at the edge).
TEST(ElidedText, TheLabelPaintsTheShownText) {
    const int whole = QFontMetrics(QApplication::font()).horizontalAdvance(kPath);
    const struct {
        const char* what;
        int width;
        bool shortened;
    } cases[] = {
        {"half as wide as the text", whole / 2, true},
        {"a few letters wide", whole / 8, true},
        {"wider than the text", whole + 40, false},
    };
    for (const auto& c : cases) {
        ElidedLabel label(kPath);
        QLabel shownAsIs;
        QLabel wholeAsIs(kPath);
        label.resize(c.width, label.sizeHint().height());
        shownAsIs.setText(label.shownText());
        EXPECT_EQ(label.shownText() != kPath, c.shortened) << c.what;
        const auto picture = [&](QLabel& w) {
            w.resize(label.size());
            return w.grab().toImage();
        };
        const QImage painted = picture(label);
        EXPECT_TRUE(painted == picture(shownAsIs)) << "it paints other text than it shows: " << c.what;
        EXPECT_EQ(painted == picture(wholeAsIs), !c.shortened) << "the whole text is painted: " << c.what;
    }
}

TEST(ElidedText, ListRowsShowTheirWholeTextAsToolTip) {
    QTreeWidget tree;
    QListWidget list;
    tree.setHeaderHidden(true);
    new QTreeWidgetItem(&tree, QStringList{kPath});
    list.addItem(kPath);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(&tree), static_cast<QAbstractItemView*>(&list)}) {
        ElideRowsInTheMiddle(view);
        view->resize(view->fontMetrics().horizontalAdvance(kPath) / 2, 120);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        EXPECT_EQ(view->textElideMode(), Qt::ElideMiddle);
        const QModelIndex row = view->model()->index(0, 0);
        EXPECT_EQ(toolTipAt(view->viewport(), view->visualRect(row).center()), kPath);
    }
}
