#pragma once
// Walking a folder and every folder below it into a list control, finding the
// folders that hold a file, and a file's size for the file list.
#include "platform/FileStatus.h"

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

class QWidget;
class QTreeWidget;

// The program's one file-system object, created the first time a routine here
// needs it and kept until the program ends. Besides answering for folders and
// files it can keep the entries of every folder it reads, so that the
// changed-file scan reads each folder of a walked tree only once.
class FileSystemObject {
public:
    static FileSystemObject& Get();

    // The folder's path as rows show it: absolute and cleaned, without a
    // trailing "/" except the root "/". "" when no folder exists there.
    QString FolderPath(const QString& path) const;

    using SubFolder = platform::SubFolder;
    // Reads the folder once and gives its subfolders in the order the file
    // system enumerates them, links to folders among them (marked). False
    // when the folder cannot be opened.
    bool SubFolders(const QString& folder, std::vector<SubFolder>& subFolders, platform::FolderId* id = nullptr);

    // The file's size in bytes; 0 when it cannot be read.
    qint64 FileSize(const QString& path) const;

    // While keeping is on, SubFolders keeps each folder's entries for
    // TakeEntries. Turning it off forgets what was kept.
    void KeepEntries(bool keep);
    // Keeps the entries of folder, read elsewhere, while keeping is on.
    void Keep(const QString& folder, platform::FolderEntries&& entries);
    // Hands over (and forgets) the kept entries of folder, named as
    // SubFolders was given it; false when none were kept.
    bool TakeEntries(const QString& folder, platform::FolderEntries& entries);

private:
    FileSystemObject() = default;
    bool m_keep = false;
    QHash<QString, platform::FolderEntries> m_kept;
};

// Adds a row for the folder and for every folder below it, depth first: a
// folder, then the whole tree of its first subfolder, then of its second.
// The control is a list box or a list view; each row is added last. Before
// each subfolder the window message loop gets a turn. A folder that cannot be
// opened keeps its row but adds no subtree; a symbolic link is never
// followed (a link to a folder gets no row: the scan of its folder lists it as
// a file of its own), and no folder is walked twice. Folders of virtual file
// systems (proc, sysfs, devtmpfs, ...) get no row and are not walked into; a
// root on one is logged and gives no rows. leaveOut, when given, names a
// folder below the root that gets no row and is not walked into (the backup
// destination). stopRequested, when given, is asked before each subfolder and
// ends the walk when it says true. False when no folder exists at folderPath.
// Worker threads read the folders ahead of the walk (FolderPrefetch.h); the
// rows and their order are those of a walk on one thread.
bool WalkFolderTree(const QString& folderPath, QWidget* listControl, const std::function<bool()>& stopRequested = {},
                    const platform::FolderId* leaveOut = nullptr);

// Lists the root and every folder below it into the list view, under the
// hourglass pointer.
void ListAllSubFolders(QTreeWidget* listView, const QString& rootFolder);

// Walks the root into the list box (rows already there stay in front), then
// keeps only the rows whose folder holds a regular file or symbolic link
// named fileName (trimmed); a link is not followed, and a hidden file is found
// only by its own hidden name.
void FindFoldersContainingFile(QWidget* listBox, const QString& rootFolder, const QString& fileName);

// The file's size in bytes as a 64-bit value; 0 when it cannot be read.
qint64 GetFileSizeFso(const QString& filePath);
