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

// What a series of copies into one backup folder remembers: the backup
// folder itself, held open so that every folder below it is reached from it
// and never by its path again; the listed folders the sources lie below; the
// folders it has already cleared of temporary copies left by an earlier,
// interrupted run; the folders whose permission bits are to follow a source
// folder once the run is done with them; and the last target folder it made
// and entered, held open so that the next copy into the same folder need not
// make and enter every level again. Before that folder is used again, one
// status call (from the backup folder, not following a link at its last
// level) checks that it is still in its place; a folder deleted, renamed or
// replaced meanwhile is made and entered afresh, with the same refusal of
// links as the first time.
struct CopyRun {
    CopyRun() = default;
    // Gives the folders their bits (finishFolders) when not done yet.
    ~CopyRun();
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    // Opens the backup folder: destination, followed when it is a link, and
    // with level (one folder name) the folder level in it, made where missing
    // (private when run as root) and opened without following a link. False,
    // with the system's error in error, when it cannot be opened or made, or
    // when anything but a folder holds the name level. Once called, the copies
    // go into the folder opened, or fail when none was.
    bool openBackupFolder(const QString& destination, const QString& level, int& error);
    bool backupFolderTried = false;
    int backupFolder = -1;
    int backupFolderError = 0;  // why the backup folder could not be opened

    // The listed folders (a trailing "*" is left out). A source is opened from
    // the longest of them that holds it (followed when it is a link) without
    // following a link in any level below it; a source below none of them is
    // opened from its own folder.
    QStringList sourceFolders;

    std::set<std::pair<quint64, quint64>> clearedFolders;  // device and inode

    // Set when the relative folder of every copy repeats the source file's own
    // folder path (the copies keep their paths): each level entered stands for
    // the source folder of the same path ("/" and the levels up to it). While
    // the run copies, such a level keeps write and search for its owner; its
    // bits (and, run as root, its owner and group) follow the source folder
    // when finishFolders is called, so a private folder stays private in the
    // backup and a read-only one stays read-only without failing its copies.
    bool mirrorSourceFolders = false;
    // The backup folders (relative path of the backup folder) whose bits wait
    // for the end of the run, with the source folder they follow.
    std::map<QByteArray, QByteArray> pendingFolders;
    // Gives every waiting folder the bits of its source folder, the deepest
    // first, and its owner and group where they may be given (run as root);
    // a folder that cannot be given them keeps no set-ID bit. Returns a line
    // (the relative path, " - " and the reason) for each folder that could
    // not be given its bits.
    QStringList finishFolders();

    // The held target folder: its descriptor (-1, or the backup folder's own),
    // its relative folder as the caller gave it and the path of its levels,
    // and its device and inode.
    int heldFolder = -1;
    QString heldRelative;
    QByteArray heldPath;
    quint64 heldDevice = 0;
    quint64 heldInode = 0;
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
// opened from its listed folder without following a link below it (a level
// that is a link fails with SourceLeavesFolder), each target folder is first
// cleared, once per run, of the temporary copies an interrupted run left
// there, and the levels follow the source folders when
// run->mirrorSourceFolders. A copy (or link) takes the source's owner and
// group where the process may give them (run as root); a copy that cannot be
// given them keeps no set-user-ID or set-group-ID bit.
CopyOutcome CopyFileBelow(const QString& source, const QString& root, const QString& relativeFolder,
                          const QString& name, CopyRun* run = nullptr);

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
