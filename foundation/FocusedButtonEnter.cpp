#include "foundation/FocusedButtonEnter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

void FocusedButtonEnter::Install() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<FocusedButtonEnter*>(QString(), Qt::FindDirectChildrenOnly)) return;
    app->installEventFilter(new FocusedButtonEnter(app));
}

bool FocusedButtonEnter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    // Push and tool buttons are pressed; a check box or an option button
    // leaves Enter to the window's default button.
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!qobject_cast<QPushButton*>(watched) && !qobject_cast<QToolButton*>(watched)) return false;
    // Only the key's first receiver, the focused button, not a parent it was passed on to.
    if (button != QApplication::focusWidget()) return false;
    // Holding the key down presses the button once, as holding Space does.
    if (!key->isAutoRepeat() && button->isEnabled() && button->isVisible()) button->click();
    return true;
}
