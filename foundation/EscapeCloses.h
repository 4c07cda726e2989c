#pragma once
// Escape in a window that is not a dialog: as in a dialog, a key the focused
// control leaves unused closes the window, here by pressing its close button,
// so the window closes the one way it always does.
class QAbstractButton;
class QWidget;

// Escape without modifiers, passed on to window by the control with the
// focus, presses closeButton while that is enabled. The watcher lives as long
// as the window.
void CloseOnEscape(QWidget* window, QAbstractButton* closeButton);
