#pragma once
// The copy loop of every backup: copies the ticked rows of the file list into
// the backup folder and writes the run's lists, logs and planner records.
#include <QString>

class QTreeWidget;
class QWidget;

// True for a destination whose first nine characters, lower-cased, are
// "/dev/null": a test run that lists and counts the ticked files but copies
// nothing and keeps no list files in the backup folder.
bool IsTestDestination(const QString& destination);

// Copies every ticked row of rows (text = the file's full path) into
// destination, or below it along the file's own folder when keep is 1.
// destination gains a trailing "/". statusWindow (lblFile, ProgressBarTotal)
// may be null. Writes copied.txt and failed.txt in the program folder,
// _files.txt and _fileDetails.txt in destination, the failed.log, events.log
// and error.log lines, the planner records, and [general] dateOfLastBackup.
// False when the run stopped before the first row because the destination's
// list files could not be written (nothing was copied or recorded).
bool BackupList(QTreeWidget* rows, QString& destination, QWidget* statusWindow, int keep);
