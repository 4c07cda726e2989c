#pragma once
// Access to the settings file. The functions hold no state.
#include "platform/ProfileFile.h"

#include <QString>
#include <vector>

// Full path of the settings file (SettingsFilePath()); each program sets it at start.
extern QString IniFile;

// The trimmed value of key in section of file, or "" when the file, section or
// key is missing or the value is empty. Values are cut to 31,999 characters.
QString ReadIni(const QString& file, const QString& section, const QString& key);

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
