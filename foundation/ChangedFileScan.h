#pragma once
// The changed-file scan: turns a folder list, file-name patterns, a window of
// modification dates and the excluded list into the file list, one row per
// file a backup would copy. Also the small file routines the copy loop and
// the backup-folder naming use.
#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;
class QProgressBar;
class QTreeWidget;

// Fills fileList (a QTreeWidget) with the files of the checked folder-list
// rows whose modification day lies between fromDate and toDate. The expanded
// folder list goes into the host window's list named "lstAllPaths" (a private
// list when the host has none) and into folders.lis in the program folder.
// Sorting is off while rows are added and on again at the end. The scan clears
// ScanStopRequested when it starts and ends early, keeping the rows found so
// far, once something sets it (it is checked while the folder list is built,
// before each folder and before each mask).
void ListChangedFiles(const QDateTime& fromDate, const QDateTime& toDate, QWidget* folderList, QWidget* patternList,
                      QTreeWidget* fileList, QWidget* excludedList, QWidget* hostWindow, bool detailed, bool checkAll,
                      QProgressBar* progressBar, const QString& backupFolder = {});

// Expands the folder list ("*" entries walk every subfolder) into expandedList,
// then removes the excluded folders. backupFolder, the destination of the
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

// The text after the last "." of the whole path, or "" when it holds no dot.
// A dot in a folder name counts: "/a.b/c" gives "b/c".
QString GetFileExtension(const QString& path);

// The size in bytes of the regular file (or link to one) at path, or -1 when
// there is no such file or its status cannot be read. Reports nothing.
qint64 GetFileLength(const QString& path);

// One text line describing the file: each chosen field followed by separator,
// in this order: the path unchanged, the file name, the folder with its
// trailing "/", the extension (GetFileExtension, case kept), the size in plain
// decimal (GetFileLength, so -1 for a missing file), the last-modified time as
// "yyyy/MM/dd hh:mm:ss". With the date asked for and a file whose date cannot
// be read, the result is "" so that the caller can leave the line out.
QString FormatFileDetails(const QString& path, const QString& separator, bool fullPath, bool name, bool folder,
                          bool extension, bool size, bool date);

// Creates every missing folder level of path, outermost first. Failures are
// ignored and the current folder is not changed; returns true.
bool MakeFullPath(const QString& path);

// Makes folder and every missing level above it. True when the folder exists
// afterwards; otherwise error and description say why.
bool MakeFolderWithReason(const QString& folder, int& error, QString& description);
