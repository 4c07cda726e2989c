#include "foundation/FolderWalk.h"

#include "foundation/FolderPrefetch.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "platform/Drives.h"
#include "platform/EventLoop.h"
#include "platform/Pointer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTreeWidget>
#include <memory>
#include <set>
#include <utility>

namespace {

using VisitedFolders = std::set<std::pair<quint64, quint64>>;

// What one walk keeps: the folders it has been in, the folder it leaves out,
// the devices of the virtual file systems, and the stop request.
struct Walk {
    QPointer<QWidget> control;
    VisitedFolders visited;
    const platform::FolderId* leaveOut = nullptr;
    QSet<quint64> virtualDevices;
    std::function<bool()> stop;
    std::unique_ptr<WalkPrefetch> prefetch;  // reads the folders ahead on worker threads

    // A folder the walk passes over without a row: the one it was told to
    // leave out, or one of a virtual file system (proc, sysfs, devtmpfs...),
    // whose files are no data and may block whoever reads them.
    bool passesOver(const platform::FolderId& id) const {
        return (leaveOut && id == *leaveOut) || virtualDevices.contains(id.device);
    }
};

// Returns false when the walk must end: stopped, or the list control was
// destroyed while window events ran.
bool walk(const QString& folder, Walk& w) {
    WalkRead read = w.prefetch->take(folder);
    const std::vector<platform::SubFolder>& subFolders = read.subFolders;
    platform::FolderId& id = read.id;
    if (!read.opened) {
        // Not opened: it keeps its row, and the scan says that it cannot be read.
        if (!platform::GetFolderId(folder, id) || !w.passesOver(id)) AddListRow(w.control, folder);
        return true;
    }
    if (w.passesOver(id)) return true;
    FileSystemObject::Get().Keep(folder, std::move(read.entries));
    AddListRow(w.control, folder);
    // A folder met again (a bind mount of an outer folder) is listed but not walked twice.
    if (!w.visited.insert({id.device, id.inode}).second) return true;
    // Links to folders are not among the subfolders: a walk never follows a link.
    for (const platform::SubFolder& sub : subFolders) {
        platform::YieldToWindows();
        if (!w.control || (w.stop && w.stop())) return false;
        if (!walk(sub.path, w)) return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

FileSystemObject& FileSystemObject::Get() {
    static FileSystemObject* object = new FileSystemObject;  // lives until the program ends
    return *object;
}

QString FileSystemObject::FolderPath(const QString& path) const {
    if (path.isEmpty()) return {};
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return platform::GetFileStatus(full).isFolder ? full : QString();
}

bool FileSystemObject::SubFolders(const QString& folder, std::vector<SubFolder>& subFolders, platform::FolderId* id) {
    platform::FolderEntries entries;
    if (!platform::ReadSubFolders(folder, entries, subFolders, id, true)) return false;
    Keep(folder, std::move(entries));
    return true;
}

void FileSystemObject::Keep(const QString& folder, platform::FolderEntries&& entries) {
    if (m_keep) m_kept.insert(folder, std::move(entries));
}

qint64 FileSystemObject::FileSize(const QString& path) const {
    const platform::FileStatus st = platform::GetFileStatus(path);
    return st.isFile ? st.size : 0;
}

void FileSystemObject::KeepEntries(bool keep) {
    m_keep = keep;
    if (!keep) m_kept.clear();
}

bool FileSystemObject::TakeEntries(const QString& folder, platform::FolderEntries& entries) {
    auto it = m_kept.find(folder);
    if (it == m_kept.end()) return false;
    entries = std::move(it.value());
    m_kept.erase(it);
    return true;
}

// ---------------------------------------------------------------------------

bool WalkFolderTree(const QString& folderPath, QWidget* listControl, const std::function<bool()>& stopRequested,
                    const platform::FolderId* leaveOut) {
    // A folder that does not exist gives no row at all.
    const QString root = FileSystemObject::Get().FolderPath(folderPath);
    if (root.isEmpty()) return false;
    if (!listControl) return true;
    Walk w;
    w.control = listControl;
    w.stop = stopRequested;
    w.virtualDevices = platform::VirtualFileSystemDevices();
    platform::FolderId rootId;
    if (platform::GetFolderId(root, rootId)) {
        if (w.virtualDevices.contains(rootId.device)) {
            WriteLog("WalkFolderTree : " + root + " is a virtual file system - not walked", 0);
            return true;
        }
        // A walk that starts in the folder to leave out still walks it.
        if (leaveOut && rootId == *leaveOut) leaveOut = nullptr;
    }
    w.leaveOut = leaveOut;
    w.prefetch = std::make_unique<WalkPrefetch>(leaveOut, w.virtualDevices);
    walk(root, w);
    return true;
}

void ListAllSubFolders(QTreeWidget* listView, const QString& rootFolder) {
    platform::SetPointer(platform::Pointer::Hourglass);
    WalkFolderTree(rootFolder, listView);
    platform::SetPointer(platform::Pointer::Default);
}

void FindFoldersContainingFile(QWidget* listBox, const QString& rootFolder, const QString& fileName) {
    platform::SetPointer(platform::Pointer::Hourglass);
    const QPointer<QWidget> list(listBox);
    WalkFolderTree(rootFolder, listBox);
    if (!list) {
        platform::SetPointer(platform::Pointer::Default);
        return;
    }
    const QString name = fileName.trimmed();
    // A hidden file (a name beginning with ".") is found only when that hidden
    // name is the one asked for. A link stands for itself: a backup copy of a
    // link is a link.
    const bool plainName = !name.isEmpty() && !name.contains(u'/');
    RemoveListRowsWhere(listBox, [&](const QString& row) {
        if (!plainName) return true;
        QString folder = row;
        const platform::FileStatus st = platform::GetEntryStatus(JoinPath(folder, name));
        return !st.isFile && !st.isLink;
    });
    platform::SetPointer(platform::Pointer::Default);
}

qint64 GetFileSizeFso(const QString& filePath) { return FileSystemObject::Get().FileSize(filePath); }
