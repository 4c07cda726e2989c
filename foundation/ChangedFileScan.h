#pragma once
// The changed-file scan: turns a folder list, file-name patterns, a window of
// modification dates and the excluded list into the file list, one row per
// file a backup would copy.
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

class QWidget;
class QProgressBar;
class FileListModel;

// What a scan tells beyond its rows.
struct ScanReport {
    // When the scan began: the list holds the files changed up to this
    // moment, so the next date window starts from it.
    QDateTime startedAt;
    // The folder-list entries, as listed, that were missing or could not be
    // read: files they hold may have changed without being listed.
    QStringList awayEntries;
    // Other reasons why the list may miss changes, as log texts: a folder
    // list that could not be read.
    QStringList gaps;
};

// Fills fileList with the files of the checked folder-list
// rows whose modification day lies between fromDate and toDate (or after
// fromDate's day, when toDate's day is today or later). The expanded
// folder list goes into expandedList (a private list when it is null) and into
// folders.lis in the program folder; progressBar, when given with an
// expandedList, shows the share of folders scanned.
// Sorting is off while rows are added and on again at the end; with checkAll
// (and a list with check boxes) every row is created ticked. The scan clears
// ScanStopRequested when it starts and ends early, keeping the rows found so
// far, once something sets it (it is checked while the folder list is built,
// before each folder and before each mask). Nothing in the programs sets it
// (closing the main window ends the program at once): a caller that does
// must not let a backup of the shortened list store its date.
// Returns the number of failures met, each logged at level 0: a "*" entry
// whose folder is missing, a folder that cannot be read. Their files cannot be
// backed up, so they are errors of the run. report, when given, gets the
// scan's start and the listed entries among those failures (a folder below
// a listed entry that cannot be read is not one).
int ListChangedFiles(const QDateTime& fromDate, const QDateTime& toDate, QWidget* folderList, QWidget* patternList,
                     FileListModel* fileList, QWidget* excludedList, QWidget* expandedList, bool detailed,
                     bool checkAll, QProgressBar* progressBar, const QString& backupFolder = {},
                     ScanReport* report = nullptr);

// The entries of the folder list the scan takes: every row of a list, the
// ticked rows of a list view with check boxes. A trailing "*" means the
// folder with its subfolders. The copy loop opens each file from the entry
// that holds it.
// Each entry comes cleaned (CleanListEntry), so that the scan and the copy
// see one folder however the user wrote it.
QStringList ListedEntries(QWidget* folderList);

// A folder-list entry with its folder written one way: "//", "/./" and
// "x/.." taken out by their text, as a shell's cd does ("/home/u//*",
// "/home/u/./*" and "/home/../home/u/*" are "/home/u/*"). A trailing "/" and
// the trailing "*" stay.
QString CleanListEntry(const QString& entry);

// The listed folder that holds path, with "/" at its end: the longest of
// entries (cleaned) whose folder holds it, a "*" entry anywhere below its
// folder, a plain entry only directly in it. "" when none does.
QString ListedFolderOf(const QString& path, const QStringList& entries);

// Expands the folder list ("*" entries walk every subfolder) into expandedList,
// then removes the excluded folders: each row whose text, with a "/" appended,
// contains an excluded fragment (letter case counting; a fragment of blanks
// only is passed over). Then each folder is left once, at its first place
// (told by identity: two entries may cover it), and a plain entry on a
// virtual file system (proc, sysfs, ...) is taken out with a level-0 log line.
// Entries the user wrote may be links and are followed; inside a walked
// folder no link is. The walks leave out
// backupFolder, the destination of the backups, known by its identity (device
// and inode), so that earlier copies are not backed up again at every run; a
// listed folder that lies inside the destination is still scanned, with a
// level-0 log line. Returns the number of "*" entries whose folder is missing
// (each logged). listed, when given, gets for each entry the row that stands
// for its own folder (row text -> entry as listed; a missing "*" entry has
// none and is in awayEntries).
struct ListedFolderRows {
    QHash<QString, QString> rows;
    QStringList awayEntries;
};
int BuildFolderList(QWidget* folderList, QWidget* expandedList, QWidget* excludedList, const QString& backupFolder = {},
                    ListedFolderRows* listed = nullptr);

// Adds the rows of one folder's regular files and symbolic links that match
// one of the masks, mask by mask; a file matching two masks is listed twice.
// A link is never followed: it is a file of its own, with its own time and
// size, whether it points to a file, a folder or nothing.
// A folder that cannot be read adds no rows and leaves a line in the program log.
void ProcessFolderFiles(const QString& folder, const QDateTime& fromDate, const QDateTime& toDate,
                        const QStringList& masks, FileListModel* fileList, bool detailed);

// Adds one full-form row for folder + fileName, ticked when asked and the list has check boxes.
void AddFileToList(const QString& folder, const QString& fileName, FileListModel* fileList, bool ticked = false);

// True when the file's last-modified day (local time) lies between the days of
// fromDate and toDate, both included, or after fromDate's day when toDate's day
// is today or later; false when its date cannot be read. A link's own date
// counts.
bool IsFileDateInRange(const QString& filePath, const QDateTime& fromDate, const QDateTime& toDate);
