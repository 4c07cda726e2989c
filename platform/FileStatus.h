#pragma once
// One status call for a path, and a folder's entries as one pass over the
// folder gives them. Used where speed matters (the changed-file scan and the
// folder walk read every folder once and every file's status once).
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <vector>

namespace platform {

// What one status call tells about a path. GetFileStatus follows links, so a
// link to a regular file counts as a file and a dangling link does not exist;
// GetEntryStatus tells about the link itself.
struct FileStatus {
    bool exists = false;
    bool isFile = false;  // a regular file
    bool isFolder = false;
    bool isLink = false;  // a symbolic link (only when the link itself was asked about)
    bool ownerCanWrite = false;
    qint64 size = 0;          // bytes; 0 unless exists
    qint64 modifiedSecs = 0;  // last-modified time, seconds since 1970 UTC
    int modifiedNsecs = 0;

    // The last-modified time in local time; invalid unless exists.
    QDateTime modified() const;
    // The same as "yyyy-MM-dd hh:mm" text (what modified().toString gives for
    // that format), converted by the C library, which reads the time zone once
    // rather than once per call; empty unless exists.
    QString modifiedMinuteText() const;
};

// A time in seconds since 1970 UTC as local "yyyy-MM-dd hh:mm" or
// "yyyy/MM/dd hh:mm:ss" text (what QDateTime gives for those formats),
// converted by the C library as modifiedMinuteText does.
QString LocalMinuteText(qint64 secs);
QString LocalSecondsText(qint64 secs);

// Reads the time zone again (modifiedMinuteText keeps the one it read last):
// a long piece of work calls it once at its start.
void RefreshTimeZone();

FileStatus GetFileStatus(const QString& path);
// The same for a path already in the file system's encoding.
FileStatus GetFileStatus(const QByteArray& encodedPath);

// The status of the path itself: a symbolic link is not followed, and its
// own time and size (the length of its target) are given.
FileStatus GetEntryStatus(const QString& path);
FileStatus GetEntryStatus(const QByteArray& encodedPath);

// A folder held open, so that the status of each of its entries is read
// relative to it instead of through the whole path every time.
class OpenFolder {
public:
    explicit OpenFolder(const QByteArray& encodedPath);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    bool isOpen() const { return m_fd >= 0; }
    // The status of the entry name itself (a link not followed, as
    // GetEntryStatus does).
    FileStatus status(const QByteArray& name) const;

private:
    int m_fd = -1;
};

// True when the path itself is a symbolic link (whatever it points to).
bool IsSymbolicLink(const QString& path);

// Whether a path is known to be there or gone, told from folder, a folder
// that path lies below. There: the path itself exists (a link counts as
// itself). Gone: it does not, and folder can be read, whatever folders
// between them are missing. Unreachable: folder is missing, is no folder or
// cannot be read (an unplugged disk, a share not mounted), or a folder
// between it and path cannot be searched, so whether the file is still there
// cannot be told.
enum class PathPresence { There, Gone, Unreachable };
PathPresence GetPathPresenceBelow(const QString& folder, const QString& path);

// The kind of a folder entry as the listing reports it, without a status call.
enum class EntryKind : unsigned char { File, Folder, Link, Other, Unknown };

// The kind of the path itself (a link is a Link, whatever it points to);
// Unknown when its status cannot be read.
EntryKind GetEntryKind(const QByteArray& encodedPath);

// A folder's entries as one pass over the folder gives them, kept compact
// (one block of names) because a scan may hold those of many folders at once.
class FolderEntries {
public:
    int size() const { return int(m_kinds.size()); }
    bool empty() const { return m_kinds.empty(); }
    // The name in the file system's encoding, and as text.
    QByteArrayView name(int i) const;
    QString displayName(int i) const;
    EntryKind kind(int i) const { return m_kinds[size_t(i)]; }
    void clear();
    void add(QByteArrayView name, EntryKind kind);

private:
    QByteArray m_names;             // every name followed by a NUL
    std::vector<quint32> m_starts;  // where each name begins in m_names
    std::vector<EntryKind> m_kinds;
};

// The identity of a folder (device and inode), so that a walk can tell when it
// meets a folder it has already been in.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FolderId&) const = default;
};
bool GetFolderId(const QString& folder, FolderId& id);  // false when no folder is there

// True when folder is the folder outer or lies anywhere below it, told by
// identity rather than by spelling: every level of folder's real path, from
// the folder up to the root, is compared with outer.
bool FolderLiesWithin(const QString& folder, const FolderId& outer);

// Reads the folder's entries in the order the file system enumerates them,
// leaving out "." and "..", and, when id is given, the folder's identity.
// Returns false (and leaves entries empty) when the folder cannot be opened;
// a read error part-way keeps what was read.
bool ReadFolderEntries(const QString& folder, FolderEntries& entries, FolderId* id = nullptr);

// One subfolder of a folder as ReadSubFolders gives it.
struct SubFolder {
    QString path;
    bool isLink = false;  // a link to a folder
};

// Reads the folder once (ReadFolderEntries) and gives its subfolders in the
// order the file system enumerates them. Links to folders are among them,
// marked, only with linksToFolders (a folder picker shows them; a walk never
// goes through one, and then no link's target is looked at). Touches no
// shared state, so worker threads may call it. False when the folder cannot
// be opened.
bool ReadSubFolders(const QString& folder, FolderEntries& entries, std::vector<SubFolder>& subFolders, FolderId* id,
                    bool linksToFolders);

}  // namespace platform
