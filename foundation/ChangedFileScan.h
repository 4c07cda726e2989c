#pragma once
// The changed-file scan: turns a folder list, file-name patterns, a window of
// modification dates and the excluded list into the file list, one row per
// file a backup would copy.
#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;
class QProgressBar;
class FileListModel;

// Fills fileList with the files of the checked folder-list
// rows whose modification day lies between fromDate and toDate. The expanded
// folder list goes into expandedList (a private list when it is null) and into
// folders.lis in the program folder; progressBar, when given with an
// expandedList, shows the share of folders scanned.
// Sorting is off while rows are added and on again at the end; with checkAll
// (and a list with check boxes) every row is created ticked. The scan clears
// ScanStopRequested when it starts and ends early, keeping the rows found so
// far, once something sets it (it is checked while the folder list is built,
// before each folder and before each mask).
// Returns the number of failures met, each logged at level 0: a "*" entry
// whose folder is missing, a folder that cannot be read. Their files cannot be
// backed up, so they are errors of the run.
int ListChangedFiles(const QDateTime& fromDate, const QDateTime& toDate, QWidget* folderList, QWidget* patternList,
                     FileListModel* fileList, QWidget* excludedList, QWidget* expandedList, bool detailed,
                     bool checkAll, QProgressBar* progressBar, const QString& backupFolder = {});

// Expands the folder list ("*" entries walk every subfolder) into expandedList,
// then removes the excluded folders: each row whose text, with a "/" appended,
// contains an excluded fragment (letter case counting). The walks leave out
// backupFolder, the destination of the backups, known by its identity (device
// and inode), so that earlier copies are not backed up again at every run; a
// listed folder that lies inside the destination is still scanned, with a
// level-0 log line. Returns the number of "*" entries whose folder is missing
// (each logged).
int BuildFolderList(QWidget* folderList, QWidget* expandedList, QWidget* excludedList,
                    const QString& backupFolder = {});

// Adds the rows of one folder's regular files (and links to them) that match
// one of the masks, mask by mask; a file matching two masks is listed twice.
// A folder that cannot be read adds no rows and leaves a line in the program log.
void ProcessFolderFiles(const QString& folder, const QDateTime& fromDate, const QDateTime& toDate,
                        const QStringList& masks, FileListModel* fileList, bool detailed);

// Adds one full-form row for folder + fileName, ticked when asked and the list has check boxes.
void AddFileToList(const QString& folder, const QString& fileName, FileListModel* fileList, bool ticked = false);

// True when the file's last-modified day (local time) lies between the days of
// fromDate and toDate, both included; false when its date cannot be read.
bool IsFileDateInRange(const QString& filePath, const QDateTime& fromDate, const QDateTime& toDate);
