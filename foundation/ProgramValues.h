#pragma once
// Program-wide values that the shared code reads from whichever program it is
// linked into.
#include <QString>

// The host program's logger. Neither program sets it, so every call made
// through it does nothing.
class AppLogger {
public:
    virtual ~AppLogger() = default;
    virtual void log(const QString& details) = 0;
};
extern AppLogger* AppLog;

// Hands a line to AppLog when one is set.
void LogToAppLog(const QString& details);

// Set to ask a running changed-file scan to stop early.
extern bool ScanStopRequested;

// Carries the start folder into the folder picker and the chosen folder out
// ("" on Cancel).
extern QString SelectedFolder;
