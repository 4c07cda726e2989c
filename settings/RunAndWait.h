#pragma once
// Starting the backup program and waiting for it.
#include <QString>

// Forwards to RunAndWait.
void RunProgram(const QString& commandLine);

// Starts the program named by commandLine (its full path, no arguments) and
// returns when it has ended, handling window events meanwhile. A program that
// cannot be started returns at once, without a message.
void RunAndWait(const QString& commandLine);
