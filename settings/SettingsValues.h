#pragma once
// Program-wide values of the settings program. The settings file path itself
// is the shared IniFile (foundation/IniFile.h).
#include <QString>

// Full paths of the folder-list file and the excluded-list file.
extern QString PathListFile;
extern QString ExcludedPathListFile;

// The program's help file (program folder + "/corvex.hlp"); set at start-up,
// nothing opens it.
extern QString HelpFile;

// The command-line text as the program received it: its arguments joined by
// single blanks ("" when there are none).
QString CommandLineText();

// True when the command-line text, upper-cased, is exactly "/QUICK".
bool IsQuickSwitch(const QString& commandLine);
