#pragma once
// Helpers that let a window's layout decide its order and its least size.
#include <QLayout>
#include <QWidget>
#include <initializer_list>

// Tab moves through a window's controls as the eye reads them: top to bottom,
// and left to right along a row. A window lists its controls in that order.
inline void SetTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// A window holding wrapped text cannot be made so small that the text is cut:
// at leastWidth its least height is what its layout needs for the text it
// holds now. Call it again when the text changes.
inline void KeepWrappedTextWhole(QWidget* window, int leastWidth) {
    QLayout* layout = window->layout();
    if (!layout) return;
    leastWidth = qMax(leastWidth, layout->minimumSize().width());
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(leastWidth) : 0;
    window->setMinimumSize(leastWidth, qMax(height, layout->minimumSize().height()));
}
