#pragma once
// The backup program's program-wide values, filled at start-up and kept for
// the whole run. Every window of the program reads them.
#include <QString>

extern QString PathListFile;
extern QString ExcludedPathListFile;
extern QString BackupTo;
extern int BackupType;
extern int KeepPaths;
// Set while a run goes on without windows (the main window stays hidden).
extern bool RunningSilently;

// Errors met by the backup runs of this process (a copy that failed, a folder
// that could not be read, no destination, another run holding the program
// folder). Each adds to the count.
extern int RunErrors;
// The exit status an automatic run ends the program with: 1 after any run
// error, else 0, so that a scheduler or a login script can see a failed run.
int RunExitStatus();
