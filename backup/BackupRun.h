#pragma once
// An automatic backup run, and the steps every backup takes once its file
// list is made.
#include "backup/BackupList.h"
#include "foundation/ChangedFileScan.h"

#include <QString>

struct BackupParameters;
struct StatusControls;
class FileListModel;

// Runs one automatic backup with the parameters held by the main window's
// controls and reports progress in status, which may be null (a silent run).
// The files of failed.txt are tried again. A missing destination starts no
// backup: a level-0 log line, one run error, and with a status window the
// message below. Returns the run's number of errors: lists
// and folders that could not be read, failed copies, a missing destination, a
// backup folder that could not be named, made or written; they are added to
// RunErrors.
int RunBackup(const BackupParameters& parameters, const StatusControls* status);

// The steps of every backup once its file list is made, for the automatic run
// and the main window's start alike: a missing destination (IsMissingDestination)
// or a number that names no backup type starts nothing (a level-0 line); else
// the backup folder of type is named for the moment the list was made
// (scan.startedAt; now when the scan gave none) and made (a test destination
// is used as it is), and the copy loop copies rows into it with keep and
// earlierErrors, storing that moment as the last backup's unless the scan
// missed listed folders (scan.awayEntries). The copy loop opens each file from
// the entry of listedFolders (the folder list's entries) that holds it, never
// through a link below it, and tells from those entries which files of
// failed.txt still wait for a retry. A folder that cannot be made is reported by the
// copy loop as a destination that cannot be written. The outcome's errors
// include earlierErrors and one for a stop before the copy loop; a status
// window (may be null) gets the boxes. Without storeDate the stored date is
// left as it is (BackupList).
BackupOutcome BackupIntoDestination(const FileListModel* rows, const QString& destination, int type, int keep,
                                    const StatusControls* status, int earlierErrors,
                                    const QStringList& listedFolders = {}, const ScanReport& scan = {},
                                    bool storeDate = true);

// True, after a level-0 line and, with tellUser, an information box, both
// saying what is wrong (MissingDestinationReason), when destination is
// missing (IsMissingDestination).
bool RefuseMissingDestination(const QString& destination, bool tellUser);

// Adds to scan the gap of a folder list (PathListFile) that could not be
// read: the run's list may miss changes, so it keeps the stored date.
void NoteUnreadFolderList(ScanReport& scan);
