#include "support/ReadingOrder.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QTest>
#include <QWidget>

namespace {

// A control Tab stops at (parts of a combined control such as a date box's
// text field are not stops of their own).
bool isTabStop(QWidget* w, QWidget* window) {
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(window) || !w->isEnabled()) return false;
    for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractItemView*>(p))
            return false;
    return true;
}

QString nameOf(QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

}  // namespace

QStringList TabStepsAgainstReadingOrder(QWidget* window) {
    QList<QWidget*> chain;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (isTabStop(w, window) && !chain.contains(w)) chain << w;

    QStringList wrong;
    for (qsizetype i = 1; i < chain.size(); ++i) {
        QWidget* from = chain[i - 1];
        QWidget* to = chain[i];
        const QRect a(from->mapTo(window, QPoint(0, 0)), from->size());
        const QRect b(to->mapTo(window, QPoint(0, 0)), to->size());
        // On one row when either one's middle lies within the other's height.
        const bool sameRow = (b.center().y() >= a.top() && b.center().y() <= a.bottom()) ||
                             (a.center().y() >= b.top() && a.center().y() <= b.bottom());
        const bool forward = sameRow ? b.left() >= a.left() : b.center().y() > a.center().y();
        if (!forward) wrong << nameOf(from) + " -> " + nameOf(to);
    }
    return wrong;
}

void ExpectTabInReadingOrder(QWidget& window, const char* name) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name;
    const QStringList wrong = TabStepsAgainstReadingOrder(&window);
    EXPECT_TRUE(wrong.isEmpty()) << name << ": " << wrong.join(", ").toStdString();
    window.hide();
}
