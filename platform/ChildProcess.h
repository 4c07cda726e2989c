#pragma once
// Starting another program and waiting for it to end while this program's
// windows stay alive.
#include <QString>

namespace platform {

// Starts program (a full path, no arguments) in this program's current folder
// and environment, and returns when it has ended. While it runs, pending
// window events are handled between short polls, so windows repaint and their
// handlers run. Returns false at once, without a message, when the program
// could not be started (missing, not executable).
bool RunAndWaitForProgram(const QString& program);

}  // namespace platform
