#pragma once
// Gives a new control its design name (its object name, by which tests find
// it) and hands it back, so a window makes and names a control in one
// expression.
#include <QString>

template <typename T>
T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
