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
