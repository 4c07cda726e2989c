#pragma once
// The changed-file scan: turns a folder list, file-name patterns, a window of
// modification dates and the excluded list into the file list, one row per
// file a backup would copy.
#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;
class QProgressBar;
class QTreeWidget;

// Fills fileList (a QTreeWidget) with the files of the checked folder-list
// rows whose modification day lies between fromDate and toDate. The expanded
// folder list goes into expandedList (a private list when it is null) and into
// folders.lis in the program folder; progressBar, when given with an
// expandedList, shows the share of folders scanned.
// Sorting is off while rows are added and on again at the end. The scan clears
// ScanStopRequested when it starts and ends early, keeping the rows found so
// far, once something sets it (it is checked while the folder list is built,
// before each folder and before each mask).
void ListChangedFiles(const QDateTime& fromDate, const QDateTime& toDate, QWidget* folderList, QWidget* patternList,
                      QTreeWidget* fileList, QWidget* excludedList, QWidget* expandedList, bool detailed, bool checkAll,
                      QProgressBar* progressBar, const QString& backupFolder = {});

// Expands the folder list ("*" entries walk every subfolder) into expandedList,
// then removes the excluded folders: each row whose text, with a "/" appended,
// contains an excluded fragment (letter case counting). backupFolder, the destination of the
// backups, is removed with every folder below it: a destination inside a
// scanned folder would otherwise have its copies backed up again at every run.
void BuildFolderList(QWidget* folderList, QWidget* expandedList, QWidget* excludedList,
                     const QString& backupFolder = {});

// Adds the rows of one folder's regular files (and links to them) that match
// one of the masks, mask by mask; a file matching two masks is listed twice.
// A folder that cannot be read adds no rows and leaves a line in the program log.
void ProcessFolderFiles(const QString& folder, const QDateTime& fromDate, const QDateTime& toDate,
                        const QStringList& masks, QTreeWidget* fileList, bool detailed);

// Adds one full-form row for folder + fileName.
void AddFileToList(const QString& folder, const QString& fileName, QTreeWidget* fileList);

// True when the file's last-modified day (local time) lies between the days of
// fromDate and toDate, both included; false when its date cannot be read.
bool IsFileDateInRange(const QString& filePath, const QDateTime& fromDate, const QDateTime& toDate);
