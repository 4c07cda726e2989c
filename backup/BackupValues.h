#pragma once
// The backup program's start-up and its program-wide values.
#include <QString>

// Program-wide values, filled by Initialise and kept for the whole run.
extern QString PathListFile;
extern QString ExcludedPathListFile;
extern QString BackupTo;
extern int BackupType;
extern int KeepPaths;
extern bool RunningSilently;

// The program's entry: loads the settings, then runs silently or shows the
// start-up window.
void Main();

// Loads the settings into the program-wide values. When the settings file is
// missing it logs, starts the settings program and ends the program.
bool Initialise();

// Explains the program to a first-time user, starts the settings program and
// ends the program.
void ShowWelcomeMessage();

// True when the runSilently setting asks for a run without windows.
bool IsSilentSetting(const QString& value);
