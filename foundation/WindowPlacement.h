#pragma once
// Where windows open.
class QWidget;

// Moves the window to the middle of its screen: left = (screen width - window
// width) / 2, top = (screen height - window height) / 2.
void CentreOnScreen(QWidget* window);
