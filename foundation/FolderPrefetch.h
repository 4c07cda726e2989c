#pragma once
// Reading folders on worker threads ahead of the window thread. The window
// thread still decides everything: it takes the reads one by one in the order
// a walk or scan on one thread would make them, and only finished reads. The
// workers make nothing but system calls; they never touch a widget, a list of
// the program or the log. Destroying a prefetch stops its workers and waits
// for them, so a walk or scan that ends early leaves no thread behind.
#include "platform/FileStatus.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// How many worker threads a walk or scan reads folders with: by default the
// number of processors, at most 8; 0 reads every folder on the thread that
// takes it, as one thread would (tests compare the two).
void SetFolderReadThreads(int count);
// Back to the default.
void ResetFolderReadThreads();

// One folder as the walk reads it.
struct WalkRead {
    bool opened = false;
    platform::FolderId id;
    platform::FolderEntries entries;
    std::vector<platform::SubFolder> subFolders;
};

// Reads the folders of one walk ahead of it. A folder read by a worker gets
// its subfolders queued at the front, first subfolder first, so the workers
// run along the depth-first path the walk takes. Links are never gone into
// (they are not among the subfolders), nor the folder left out, folders of virtual file systems or a folder whose
// identity a worker has met before (so a bind-mount loop ends); the walk reads
// such a folder itself if it does need it.
class WalkPrefetch {
public:
    WalkPrefetch(const platform::FolderId* leaveOut, QSet<quint64> virtualDevices);
    ~WalkPrefetch();
    WalkPrefetch(const WalkPrefetch&) = delete;
    WalkPrefetch& operator=(const WalkPrefetch&) = delete;

    // The read of folder: a worker's when one has it (waiting while a worker
    // reads it, with window turns during a long wait), else read here.
    WalkRead take(const QString& folder);

private:
    struct State;
    std::unique_ptr<State> d;
};

// One folder as the scan reads it: the files that a mask matches and whose
// last-modified time lies in [first, end) seconds since 1970. A symbolic link
// is a file of its own here, with its own time and size, whatever it points
// to (a file, a folder, nothing).
struct ScanRead {
    struct File {
        QString name;
        platform::FileStatus status;
    };
    bool readable = false;
    std::vector<File> files;                   // in the order of the folder's entries
    std::vector<std::vector<int>> rowsByMask;  // per mask, the files (indices) it lists
};

// Reads the folder for the scan: its entries (or those given, read by the
// walk), then the status of each entry that may be a file or link and matches
// a mask, once, relative to the open folder, without following a link.
// Folders, devices, pipes and sockets get no status call and are never opened. Ends early, with what it has, once
// cancel says true.
ScanRead ReadFolderForScan(const QString& folderSlash, platform::FolderEntries* given, const QStringList& masks,
                           qint64 first, qint64 end, const std::atomic<bool>* cancel = nullptr);

// Reads the scan's folders on workers, a bounded number ahead of the row the
// window thread takes next. takeKept, when given, hands over the entries a
// walk kept for a folder (false when none); it is called on the window thread
// as the folder is queued.
using TakeKeptEntries = std::function<bool(const QString& folder, platform::FolderEntries& entries)>;
class ScanPrefetch {
public:
    ScanPrefetch(const QStringList& folders, const QStringList& masks, qint64 first, qint64 end,
                 TakeKeptEntries takeKept = {});
    ~ScanPrefetch();
    ScanPrefetch(const ScanPrefetch&) = delete;
    ScanPrefetch& operator=(const ScanPrefetch&) = delete;

    // The read of folders[index]; indices are taken in rising order.
    ScanRead take(qsizetype index);

private:
    struct State;
    std::unique_ptr<State> d;
};
