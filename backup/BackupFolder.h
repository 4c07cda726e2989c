#pragma once
// The backup folder: its name for each backup type, the folder below it that
// keeps a source's own folders, and the test destination.
#include "platform/Clock.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace platform {
struct CopyRun;
}

// The backup folder (ending in "/") for base and type, or "" for an unknown
// type. base gains a trailing "/". The dated part of the name is formed for
// when: a run names its folder for the moment it starts, the windows that look
// back at a run for the time that run was made. With create, the folder is
// made as OpenBackupFolder makes it; a failure is left to the copy loop, which
// reports a destination it cannot write.
QString MakeBackupFolderName(QString& base, int type, bool create, const QDateTime& when = platform::Now());

// Makes and opens folder, the backup folder MakeBackupFolderName named for
// base (ending in "/"), as run's backup folder: base is made where missing and
// followed when it is a link; the folder of the backup type below it is made
// (private when run as root) and opened without following a link, so nothing
// put in its place later can redirect the copies. A failure is left to the
// copy loop, which reports a destination it cannot write.
void OpenBackupFolder(const QString& base, const QString& folder, platform::CopyRun& run);

// The time of the last backup as [general] dateOfLastBackup stores it
// ("yyyy-mm-dd hh:mm:ss"): the moment that run named its backup folder, so the
// folder is found from it even when it lies ahead of the clock. The clock's
// time when none is stored or the value is no date.
QDateTime LastBackupTime();

// Stores when as the time of the last backup: dateOfLastBackup in its own
// zone's local time and, in the same save, dateOfLastBackupUtcOffset, that
// zone's offset from UTC then (seconds east of it). False, with a level-0
// line, when the settings file could not be written; it then keeps both old
// values.
bool StoreLastBackupTime(const QDateTime& when);

// The first moment of the date window that lists the changed files: the stored
// dateOfLastBackup; now less 62 days when none is stored, and also, with a
// level-0 log line, when the value is no date or lies after now. The stored
// time is the local time of the zone the last backup ran in: read in a zone
// with another offset from UTC (dateOfLastBackupUtcOffset) it may name a
// later moment than that run's (a zone further west), and the window then
// starts at that run's own moment, so nothing changed in between is missed.
// Without a stored offset the time is taken as local.
QDateTime DateWindowStart(const QDateTime& now);

// The level-0 program-log line and the failed.log line of a backup folder
// that cannot be made or written, each with the folder and the reason.
void LogUnwritableDestination(const QString& folder, const QString& reason);

// Why run's backup folder could not be made or opened, as text.
QString BackupFolderReason(const platform::CopyRun& run);

// The backup type's short description, "Unknown Backup type" for a number
// that names none.
QString BackupTypeName(int type);

// The folder below destination that receives the copy of source when the
// source folders are kept.
QString KeepPathFolder(const QString& destination, const QString& source);

// The week of the year, 1 to 54: weeks begin on Sunday and the week holding
// 1 January is week 1.
int WeekOfYear(const QDate& date);

// True for a destination whose first nine characters, lower-cased, are
// "/dev/null": a test run that lists and counts the ticked files but copies
// nothing and keeps no list files in the backup folder.
bool IsTestDestination(const QString& destination);
