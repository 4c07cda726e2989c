#include "platform/FileStatus.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {
namespace {

FileStatus fromStat(const struct stat& st) {
    FileStatus s;
    s.exists = true;
    s.isFile = S_ISREG(st.st_mode);
    s.isFolder = S_ISDIR(st.st_mode);
    s.ownerCanWrite = (st.st_mode & S_IWUSR) != 0;
    s.size = qint64(st.st_size);
    s.modifiedSecs = qint64(st.st_mtim.tv_sec);
    s.modifiedNsecs = int(st.st_mtim.tv_nsec);
    return s;
}

EntryKind kindOf(unsigned char type) {
    switch (type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK: return EntryKind::Link;
    case DT_UNKNOWN: return EntryKind::Unknown;
    default: return EntryKind::Other;
    }
}

}  // namespace

QDateTime FileStatus::modified() const {
    if (!exists) return {};
    return QDateTime::fromMSecsSinceEpoch(modifiedSecs * 1000 + modifiedNsecs / 1000000);
}

FileStatus GetFileStatus(const QByteArray& encodedPath) {
    struct stat st;
    if (encodedPath.isEmpty() || ::stat(encodedPath.constData(), &st) != 0) return {};
    return fromStat(st);
}

FileStatus GetFileStatus(const QString& path) { return GetFileStatus(QFile::encodeName(path)); }

bool IsSymbolicLink(const QString& path) {
    struct stat st;
    const QByteArray p = QFile::encodeName(path);
    return !p.isEmpty() && ::lstat(p.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString FolderEntry::displayName() const { return QFile::decodeName(name); }

bool ReadFolderEntries(const QString& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const QByteArray p = QFile::encodeName(folder);
    if (p.isEmpty()) return false;
    DIR* dir = ::opendir(p.constData());
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        entries.push_back(FolderEntry{QByteArray(n), kindOf(e->d_type)});
    }
    ::closedir(dir);
    return true;
}

bool GetFolderId(const QString& folder, FolderId& id) {
    struct stat st;
    const QByteArray p = QFile::encodeName(folder);
    if (p.isEmpty() || ::stat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    return true;
}

}  // namespace platform
