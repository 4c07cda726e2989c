#pragma once
// What both programs do first, once their application object exists.
#include <QString>

// Names the running application programName, with the version both programs
// share, and installs what every window of both programs answers to: Enter
// on a focused button presses it. Both programs' main call it before they
// make any window.
void SetUpProgram(const QString& programName);
