#pragma once
// The eight backup types: the one table both programs read them from.
#include <QString>
#include <QStringList>

#include <span>

// How a backup type names the folder below the destination that receives the
// copies (the date parts are those of the moment the folder is named).
enum class BackupFolderRule {
    Destination,  // the destination itself
    Date,         // yyyyMMdd
    DayName,      // the short day name of the system's language
    WeekNumber,   // "Week" and the week of the year
    MonthName,    // the short month name of the system's language
    YearMonth,    // yyyy-<short month name>
    YearQuarter,  // yyyy-Q<quarter>
    DateTime,     // yyyyMMdd_HHmm
};

struct BackupTypeEntry {
    int number;               // the stored [general] backupType and the type list's index
    const char* listText;     // the text of the type lists of both programs
    const char* name;         // the short description: logs, the last-backup window, the finder's tag
    BackupFolderRule folder;  // the backup folder it names
};

// Every backup type, in the order of their numbers 0, 1, 2, ...
std::span<const BackupTypeEntry> BackupTypes();

// The type stored as number, or null for a number that names no type.
const BackupTypeEntry* FindBackupType(int number);

// The text of each backup type, by its stored number.
QStringList BackupTypeTexts();
