#pragma once
// The copy loop of every backup: copies the ticked rows of the file list into
// the backup folder and writes the run's lists, logs and planner records.
#include "foundation/ChangedFileScan.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class FileListModel;
struct StatusControls;
namespace platform {
struct CopyRun;
}

// Copies every ticked row of rows (text = the file's full path) into
// destination, or below it along the file's own folder when keep is 1.
// destination gains a trailing "/". status (lblFile and ProgressBarTotal are
// used) may be null. Writes copied.txt in the program folder, _files.txt and
// _fileDetails.txt in destination, the failed.log, events.log and error.log
// lines, the planner records, and [general] dateOfLastBackup = namedAt (the
// moment the list was made, which the caller named the backup folder for; the
// clock's time at the start when not given). A test run, and a run whose
// list may miss changes (scan.awayEntries: listed folders that were missing
// or could not be read; scan.gaps: a folder list not read),
// keep the stored date, the latter with a level-0 line for each, so the next
// run lists their changes again. failed.txt, the files waiting for a retry, is replaced
// whole at the end: the files it listed that were not copied and still wait
// (as AddEarlierFailures tells from listedEntries, the folder list's entries)
// and this run's failures; a test run leaves it as it was. earlierErrors counts the failures
// met before the copy loop (lists and folders that could not be read); they
// are errors of the run and count in the events.log line, the planner run
// record and the status caption. run, when given, holds the backup folder
// already opened (OpenBackupFolder); else destination is opened as the
// backup folder. Each file is opened from the entry of listedEntries (the
// folder list's entries) that holds it (ListedFolderOf), or from "/" without
// following any link when none does. Nothing below them is reached through a
// link, and the folders made for kept paths follow their source folders'
// owners and bits once the loop is done. Without storeDate (a second try of
// the rows the run before could not copy) dateOfLastBackup keeps the value
// that run stored. A date that cannot be stored is an error of the run.
struct BackupOutcome {
    // false: the run stopped before the first row because another run of the
    // program folder holds its lock (RunLock) or the destination's list files
    // could not be written; nothing was copied or recorded.
    bool ran = false;
    qint64 errors = 0;        // the run's errors: earlierErrors, failed copies, a destination that cannot be written
    qint64 failedCopies = 0;  // the copies that failed
};
BackupOutcome BackupList(const FileListModel* rows, QString& destination, const StatusControls* status, int keep,
                         int earlierErrors = 0, const QDateTime& namedAt = QDateTime(),
                         platform::CopyRun* run = nullptr, const ScanReport& scan = {}, bool storeDate = true,
                         const QStringList& listedEntries = {});

// Adds to the file list, ticked and with the rows the scan builds, the files of
// the program folder's failed.txt (the copies earlier runs could not make)
// that still exist as regular files or links below their listed folder (the
// longest of listedEntries, the folder list's entries, that holds them:
// ListedFolderOf) and are not listed yet, so that they are tried again by the
// next run. A file whose listed folder is missing or cannot be read (or a
// folder below it cannot be read) stays in failed.txt: it is logged at level
// 0 and counted in the number returned, the errors of the run. A file gone
// from a listed folder that can be read, whatever folders between them are
// missing, and a file below no listed folder are left out; the copy loop
// takes them out of failed.txt, each with a level-1 line.
int AddEarlierFailures(FileListModel* fileList, const QStringList& listedEntries);
