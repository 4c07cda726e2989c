#pragma once
// The copy loop of every backup: copies the ticked rows of the file list into
// the backup folder and writes the run's lists, logs and planner records.
#include <QString>

class QTreeWidget;
struct StatusControls;

// Copies every ticked row of rows (text = the file's full path) into
// destination, or below it along the file's own folder when keep is 1.
// destination gains a trailing "/". status (lblFile and ProgressBarTotal are
// used) may be null. Writes copied.txt and failed.txt in the program folder,
// _files.txt and _fileDetails.txt in destination, the failed.log, events.log
// and error.log lines, the planner records, and [general] dateOfLastBackup.
// False when the run stopped before the first row because another run of the
// program folder holds its lock (RunLock) or the destination's list files
// could not be written (nothing was copied or recorded).
bool BackupList(QTreeWidget* rows, QString& destination, const StatusControls* status, int keep);
