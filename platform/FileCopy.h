#pragma once
// Copying one file into place without ever destroying an older copy: the data
// goes into a temporary file in the target's folder, which takes the source's
// permission bits and modification time and only then gets the target's name.
// The temporary file has no name while it is written where the file system
// allows it (a killed copy leaves nothing behind); elsewhere it is named by one
// strict pattern and renamed over the target. A symbolic link is copied as a
// link with the same target, never followed. The kernel's copy offload is used
// where the file systems allow it, and the holes of a sparse file stay holes.
// The data moves in chunks (32 MB), and the waiting window events are handled
// between them, so a big file or a slow disk never leaves the windows frozen.
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <set>
#include <utility>

namespace platform {

enum class CopyResult {
    Copied,         // the target now holds the source's data
    SourceFailed,   // the source could not be opened or read (missing, a folder, I/O error, a read that would block)
    TargetFailed,   // the temporary file could not be created or written (folder missing, disk full)
    ReplaceFailed,  // the data was copied but the existing target could not be replaced
    SameFile,       // the target is the source itself (the same file system object)
    FolderFailed,   // a level of the target folder could not be made or entered
    LeavesFolder,   // the target folder is reached through a symbolic link (or "..") below the root
    SourceLeavesFolder,  // a folder on the source's path below its listed folder is a symbolic link now
    FolderRefused,       // run as root, a target folder that exists belongs to another user or others may write in it
};

struct CopyOutcome {
    CopyResult result = CopyResult::Copied;
    int error = 0;            // the system's error number, 0 when copied
    QString description;      // the system's text for it
    qint64 bytes = 0;         // the target's size when copied (a link's: the length of its target)
    qint64 modifiedSecs = 0;  // the source's last-modified time (seconds since 1970 UTC) when copied
    bool ok() const { return result == CopyResult::Copied; }
};

// A named temporary copy is called kTemporaryCopyPrefix, 12 lower-case hex
// digits and kTemporaryCopySuffix (".corvex-copy-0123456789ab.tmp"). A regular
// file or link of exactly that name in a target folder is a copy an
// interrupted run left behind; any other name is the user's own.
inline constexpr char kTemporaryCopyPrefix[] = ".corvex-copy-";
inline constexpr char kTemporaryCopySuffix[] = ".tmp";
bool IsTemporaryCopyName(const QByteArray& name);

// The owner, group and permission bits of a source folder, as the run read
// them from the folder it held open.
struct FolderBits {
    quint32 uid = 0;
    quint32 gid = 0;
    quint32 mode = 0;
};

// What a series of copies into one backup folder remembers: the backup
// folder itself, held open so that every folder below it is reached from it
// and never by its path again; the source folder and the target folder of
// the last copy, held open so that the next file of the same folder (the rows
// come folder by folder) needs no folder to be opened again; the folders it
// has already cleared of temporary copies left by an earlier, interrupted
// run; and the folders whose owner and bits are to follow a source folder
// once the run is done with them. A held folder that is renamed or replaced
// meanwhile still names the folder the run opened, so a link put in its
// place is never followed; one deleted meanwhile is made and entered afresh.
struct CopyRun {
    CopyRun() = default;
    // Gives the folders their bits (finishFolders) when not done yet.
    ~CopyRun();
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    // Opens the backup folder: destination, reached under the link rule of
    // OpenTrustedPath (run as root, no link root does not own is followed on
    // its way), and with level (one folder name) the folder level in it, made
    // where missing (private when run as root) and opened without following a
    // link. Run as root, a level that already exists is used only when root
    // owns it and nobody else may write in it. False, with the system's error
    // in error and the reason in backupFolderReason, when it cannot be opened
    // or made, when anything but a folder holds the name level, or when it is
    // refused. Once called, the copies go into the folder opened, or fail when
    // none was.
    bool openBackupFolder(const QString& destination, const QString& level, int& error);
    bool backupFolderTried = false;
    int backupFolder = -1;
    int backupFolderError = 0;   // why the backup folder could not be opened
    QString backupFolderReason;  // the same as a text for the logs
    bool backupFolderCleared = false;

    std::set<std::pair<quint64, quint64>> clearedFolders;  // device and inode

    // Set when the relative folder of every copy repeats the source file's own
    // folder path (the copies keep their paths): each level entered stands for
    // the source folder of the same path ("/" and the levels up to it). While
    // the run copies, such a level keeps write and search for its owner; its
    // bits (and, run as root, its owner and group) follow the source folder
    // when finishFolders is called, so a private folder stays private in the
    // backup and a read-only one stays read-only without failing its copies.
    // The source folder's owner and bits are those the run read from the
    // folder it held when it first copied into the level, never read again
    // by its path. Run as root, a level that already exists is used only when
    // it belongs to root or to the source folder's owner and grants nobody
    // more write access than the source folder does.
    bool mirrorSourceFolders = false;
    // The source folders' owners and bits, by path without the leading "/".
    std::map<QByteArray, FolderBits> sourceFolderBits;
    // The backup folders (relative path of the backup folder) whose bits wait
    // for the end of the run, with the bits of the source folder they follow.
    std::map<QByteArray, FolderBits> pendingFolders;
    // Gives every waiting folder the bits of its source folder, the deepest
    // first, and its owner and group where they may be given (run as root);
    // a folder that cannot be given them keeps no set-ID bit. Returns a line
    // (the relative path, " - " and the reason) for each folder that could
    // not be given its bits.
    QStringList finishFolders();

    // The held target folder: its descriptor (-1, or the backup folder's own)
    // and its relative folder as the caller gave it.
    int heldFolder = -1;
    QString heldRelative;
    // The held source side: the listed folder the sources are opened from and
    // the folder of the last source, with their paths.
    int listedFolder = -1;
    QByteArray listedPath;
    int sourceFolder = -1;
    QByteArray sourcePath;
    void release();
};

// Copies the regular file source to the file path target. On any failure the
// target is left exactly as it was and no temporary file remains. A target that
// already is the source file (the same path, a link to it, a hard link) is left
// alone and the copy fails (SameFile). A source that is a symbolic link is
// copied as a link with the same target and the link's own time. Any other
// source that is no regular file (a folder, a FIFO) fails at once; the source
// is read without blocking, so a file whose read would wait (a kernel message
// queue) fails instead of hanging.
CopyOutcome CopyFileKeepingTimes(const QString& source, const QString& target);

// The same for a restore of the backup copy over the original: run as root,
// the restored file (or link) takes the owner and group of the original it
// replaces, not root's.
CopyOutcome RestoreFileCopy(const QString& copy, const QString& original);

// The same into root + relativeFolder + name, where root is run's backup
// folder once it was opened (openBackupFolder), else the folder of that path.
// The levels of relativeFolder are made where missing and entered one by one
// without following symbolic links, so the copy never lands outside root: a
// link (or "..") on the way fails with LeavesFolder. With run, the source is
// opened from listedFolder, the listed folder that holds it (ending in "/"),
// reached under the link rule of OpenTrustedPath, and from there without
// following any link (a level that is a link fails with SourceLeavesFolder);
// a source below no listed folder (listedFolder empty) is opened from "/"
// without following any link at all. Each target folder is first cleared,
// once per run, of the temporary copies an interrupted run left there, and
// the levels follow the source folders when run->mirrorSourceFolders. A copy
// (or link) takes the source's owner and group where the process may give
// them (run as root); a copy that cannot be given them keeps no set-user-ID
// or set-group-ID bit.
CopyOutcome CopyFileBelow(const QString& source, const QString& root, const QString& relativeFolder,
                          const QString& name, CopyRun* run = nullptr, const QString& listedFolder = {});

// Seams for tests: the size of one chunk (0 restores 32 MB), a step run after
// each chunk before the window events are handled (tests slow the copy with
// it; an empty one removes it), whether temporary copies may be unnamed
// (false writes them under a name, as on a file system without unnamed files),
// and whether the kernel may copy the bytes itself (false reads and writes
// them, as between file systems it cannot copy between).
void SetCopyChunkSize(qint64 bytes);
void SetCopyChunkPacer(std::function<void()> pacer);
void SetUnnamedTemporaryCopies(bool allowed);
// A step run before each copy opens its source, with the source's path (tests
// change the file system with it between two copies; an empty one removes it).
void SetBeforeCopyStep(std::function<void(const QString&)> step);
// Whether the folders below a listed folder are opened level by level, as
// where the kernel cannot resolve a path without links in one call.
void SetSourceOpenedLevelByLevel(bool levelByLevel);
void SetCopyOffload(bool allowed);

}  // namespace platform
