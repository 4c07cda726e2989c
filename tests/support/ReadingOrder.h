#pragma once
// Checks that Tab moves through a shown window as the eye reads it.
#include <QStringList>

class QWidget;

// The steps of the window's Tab chain that go against reading order (up, or
// left along a row), as "from -> to" with the controls' object names; empty
// when Tab follows reading order. Only controls that Tab can reach count.
QStringList TabStepsAgainstReadingOrder(QWidget* window);

// Shows the window, expects Tab to follow reading order in it (the failure
// names the window and the wrong steps), and hides it again.
void ExpectTabInReadingOrder(QWidget& window, const char* name);
