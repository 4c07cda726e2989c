#include "foundation/FolderWalk.h"

#include "foundation/ListFiles.h"
#include "foundation/PathHelpers.h"
#include "platform/EventLoop.h"
#include "platform/Pointer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTreeWidget>
#include <set>
#include <utility>

namespace {

QString childPath(const QString& folder, QByteArrayView name) {
    const QString n = QFile::decodeName(name.toByteArray());
    return folder.endsWith(u'/') ? folder + n : folder + u'/' + n;
}

QByteArray pathOf(const QByteArray& base, QByteArrayView name) {
    QByteArray path = base;
    path.append(name);
    return path;
}

using VisitedFolders = std::set<std::pair<quint64, quint64>>;

// Returns false when the walk must end: stopped, or the list control was
// destroyed while window events ran.
bool walk(const QString& folder, const QPointer<QWidget>& control, VisitedFolders& visited,
          const std::function<bool()>& stop) {
    AddListRow(control, folder);
    std::vector<FileSystemObject::SubFolder> subFolders;
    platform::FolderId id;
    if (!FileSystemObject::Get().SubFolders(folder, subFolders, &id)) return true;
    // A folder met again (a bind mount of an outer folder) is listed but not walked twice.
    if (!visited.insert({id.device, id.inode}).second) return true;
    for (const FileSystemObject::SubFolder& sub : subFolders) {
        platform::YieldToWindows();
        if (!control || (stop && stop())) return false;
        if (sub.isLink)
            AddListRow(control, sub.path);
        else if (!walk(sub.path, control, visited, stop))
            return false;
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
    subFolders.clear();
    platform::FolderEntries entries;
    if (!platform::ReadFolderEntries(folder, entries, id)) return false;
    const QByteArray base = QFile::encodeName(folder.endsWith(u'/') ? folder : folder + u'/');
    for (int i = 0; i < entries.size(); ++i) {
        platform::EntryKind kind = entries.kind(i);
        if (kind == platform::EntryKind::Unknown) kind = platform::GetEntryKind(pathOf(base, entries.name(i)));
        if (kind == platform::EntryKind::Folder) {
            subFolders.push_back({childPath(folder, entries.name(i)), false});
        } else if (kind == platform::EntryKind::Link) {
            if (platform::GetFileStatus(pathOf(base, entries.name(i))).isFolder)
                subFolders.push_back({childPath(folder, entries.name(i)), true});
        }
    }
    if (m_keep) m_kept.insert(folder, std::move(entries));
    return true;
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

void WalkFolderTree(const QString& folderPath, QWidget* listControl, const std::function<bool()>& stopRequested) {
    // A folder that does not exist gives no row at all.
    const QString root = FileSystemObject::Get().FolderPath(folderPath);
    if (root.isEmpty() || !listControl) return;
    VisitedFolders visited;
    walk(root, QPointer<QWidget>(listControl), visited, stopRequested);
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
    // Hidden files (names beginning with ".") do not count as found.
    const bool visibleName = !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/');
    RemoveListRowsWhere(listBox, [&](const QString& row) {
        if (!visibleName) return true;
        QString folder = row;
        return !platform::GetFileStatus(JoinPath(folder, name)).isFile;
    });
    platform::SetPointer(platform::Pointer::Default);
}

qint64 GetFileSizeFso(const QString& filePath) { return FileSystemObject::Get().FileSize(filePath); }
