#pragma once
// Access to the settings file. The functions hold no state.
#include "platform/ProfileFile.h"

#include <QString>
#include <vector>

// Full path of the settings file (SettingsFilePath()); each program sets it at start.
extern QString IniFile;

// The trimmed value of key in section of file, or "" when the file, section or
// key is missing or the value is empty. Values are cut to 31,999 characters.
// Run as root, a settings file reached through a link that root does not own
// is not read (platform/TrustedLinks.h): "", and a level-0 program-log line
// naming the link and its owner (once for each file and reason; later reads
// log it at level 3).
QString ReadIni(const QString& file, const QString& section, const QString& key);

// True, after a level-0 program-log line naming the link and its owner, when
// the run, as root, may not use the settings file: a link on its path that
// root does not own (platform::RefusedPath).
bool SettingsFileRefused(const QString& file);

// Writes one value; always returns 0. A failed write (a full disk, a read-only
// or unreadable settings file) leaves the file as it was and writes a level-0
// program-log line naming the file.
int WriteIni(const QString& section, const QString& key, const QString& value, const QString& file);

// Writes one value as WriteIni does, for callers that must not report a
// failed write as success: false, and a level-0 log line, when the settings
// file could not be written (it then keeps what it held).
bool WriteIniChecked(const QString& section, const QString& key, const QString& value, const QString& file);

// Writes every value in one save of the settings file: afterwards it holds all
// of them or, after a failure, exactly what it held before. A failure is a
// level-0 program-log line naming the file, the reason and the keys not saved,
// and gives false.
bool WriteIniValues(const QString& file, const std::vector<platform::ProfileEntry>& values);
