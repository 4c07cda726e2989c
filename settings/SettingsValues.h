#pragma once
// Program-wide values of the settings program. The settings file path itself
// is the shared IniFile (foundation/IniFile.h).
#include <QString>
#include <QStringList>

// Full paths of the folder-list file and the excluded-list file.
extern QString PathListFile;
extern QString ExcludedPathListFile;

// The program's help file (program folder + "/corvex.hlp"); set at start-up,
// nothing opens it.
extern QString HelpFile;

// The command-line text of a program started with these arguments (the
// program's own name first, as QCoreApplication::arguments() gives them):
// the arguments after the name joined by single blanks ("" when there are none).
QString CommandLineText(const QStringList& arguments);

// True when the command-line text, upper-cased, is exactly "/QUICK".
bool IsQuickSwitch(const QString& commandLine);
