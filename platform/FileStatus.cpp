#include "platform/FileStatus.h"

#include "platform/ByteText.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace platform {
namespace {

FileStatus fromStat(const struct stat& st) {
    FileStatus s;
    s.exists = true;
    s.isFile = S_ISREG(st.st_mode);
    s.isFolder = S_ISDIR(st.st_mode);
    s.isLink = S_ISLNK(st.st_mode);
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

QString FileStatus::modifiedMinuteText() const { return exists ? LocalMinuteText(modifiedSecs) : QString(); }

namespace {

// The local time of secs by the C library, which reads the time zone once
// rather than once per call. False for a time it cannot convert and for years
// outside 1..9999, which the toolkit formats in its own way (it counts no
// year 0).
bool localFields(qint64 secs, struct tm& local) {
    const time_t t = time_t(secs);
    if (qint64(t) != secs || !::localtime_r(&t, &local)) return false;
    const int year = local.tm_year + 1900;
    return year >= 1 && year <= 9999;
}

}  // namespace

QString LocalMinuteText(qint64 secs) {
    struct tm local {};
    if (!localFields(secs, local))
        return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                                local.tm_mday, local.tm_hour, local.tm_min);
    return QString::fromLatin1(text, n);
}

QString LocalSecondsText(qint64 secs) {
    struct tm local {};
    if (!localFields(secs, local))
        return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900,
                                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text, n);
}

void RefreshTimeZone() { ::tzset(); }

OpenFolder::OpenFolder(const QByteArray& encodedPath) {
    if (!encodedPath.isEmpty()) m_fd = ::open(encodedPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

OpenFolder::~OpenFolder() {
    if (m_fd >= 0) ::close(m_fd);
}

FileStatus OpenFolder::status(const QByteArray& name) const {
    struct stat st;
    if (m_fd < 0 || name.isEmpty() || ::fstatat(m_fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
    return fromStat(st);
}

FileStatus GetFileStatus(const QByteArray& encodedPath) {
    struct stat st;
    if (encodedPath.isEmpty() || ::stat(encodedPath.constData(), &st) != 0) return {};
    return fromStat(st);
}

FileStatus GetFileStatus(const QString& path) { return GetFileStatus(BytesFromText(path)); }

FileStatus GetEntryStatus(const QByteArray& encodedPath) {
    struct stat st;
    if (encodedPath.isEmpty() || ::lstat(encodedPath.constData(), &st) != 0) return {};
    return fromStat(st);
}

FileStatus GetEntryStatus(const QString& path) { return GetEntryStatus(BytesFromText(path)); }

bool IsSymbolicLink(const QString& path) {
    struct stat st;
    const QByteArray p = BytesFromText(path);
    return !p.isEmpty() && ::lstat(p.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

PathPresence GetPathPresenceBelow(const QString& folder, const QString& path) {
    const QByteArray f = BytesFromText(folder);
    const QByteArray p = BytesFromText(path);
    if (f.isEmpty() || p.isEmpty()) return PathPresence::Unreachable;
    // Opened for reading, as above: a folder that cannot be listed cannot
    // tell what has gone from it.
    const int fd = ::open(f.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return PathPresence::Unreachable;
    ::close(fd);
    struct stat st;
    if (::lstat(p.constData(), &st) == 0) return PathPresence::There;
    // A level missing (or no folder any more) on the way down is as gone as the name.
    return errno == ENOENT || errno == ENOTDIR ? PathPresence::Gone : PathPresence::Unreachable;
}

EntryKind GetEntryKind(const QByteArray& encodedPath) {
    struct stat st;
    if (encodedPath.isEmpty() || ::lstat(encodedPath.constData(), &st) != 0) return EntryKind::Unknown;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Link;
    return EntryKind::Other;
}

QByteArrayView FolderEntries::name(int i) const {
    const quint32 start = m_starts[size_t(i)];
    const quint32 end = size_t(i) + 1 < m_starts.size() ? m_starts[size_t(i) + 1] - 1 : quint32(m_names.size() - 1);
    return QByteArrayView(m_names.constData() + start, qsizetype(end - start));
}

QString FolderEntries::displayName(int i) const { return TextFromBytes(name(i)); }

void FolderEntries::clear() {
    m_names.clear();
    m_starts.clear();
    m_kinds.clear();
}

void FolderEntries::add(QByteArrayView name, EntryKind kind) {
    m_starts.push_back(quint32(m_names.size()));
    m_names.append(name.data(), name.size());
    m_names.append('\0');
    m_kinds.push_back(kind);
}

bool ReadFolderEntries(const QString& folder, FolderEntries& entries, FolderId* id) {
    entries.clear();
    const QByteArray p = BytesFromText(folder);
    if (p.isEmpty()) return false;
    DIR* dir = ::opendir(p.constData());
    if (!dir) return false;
    if (id) {
        struct stat st;
        if (::fstat(::dirfd(dir), &st) == 0) {
            id->device = quint64(st.st_dev);
            id->inode = quint64(st.st_ino);
        }
    }
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        entries.add(QByteArrayView(n, qsizetype(std::strlen(n))), kindOf(e->d_type));
    }
    ::closedir(dir);
    return true;
}

bool ReadSubFolders(const QString& folder, FolderEntries& entries, std::vector<SubFolder>& subFolders, FolderId* id,
                    bool linksToFolders) {
    subFolders.clear();
    if (!ReadFolderEntries(folder, entries, id)) return false;
    const QString folderSlash = folder.endsWith(u'/') ? folder : folder + u'/';
    const QByteArray base = BytesFromText(folderSlash);
    QByteArray path;
    for (int i = 0; i < entries.size(); ++i) {
        EntryKind kind = entries.kind(i);
        if (kind != EntryKind::Folder && kind != EntryKind::Link && kind != EntryKind::Unknown) continue;
        path = base;
        path.append(entries.name(i));
        if (kind == EntryKind::Unknown) kind = GetEntryKind(path);
        if (kind == EntryKind::Folder)
            subFolders.push_back({folderSlash + entries.displayName(i), false});
        else if (kind == EntryKind::Link && linksToFolders && GetFileStatus(path).isFolder)
            subFolders.push_back({folderSlash + entries.displayName(i), true});
    }
    return true;
}

bool GetFolderId(const QString& folder, FolderId& id) {
    struct stat st;
    const QByteArray p = BytesFromText(folder);
    if (p.isEmpty() || ::stat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    return true;
}

bool FolderLiesWithin(const QString& folder, const FolderId& outer) {
    const QByteArray p = BytesFromText(folder);
    if (p.isEmpty()) return false;
    char resolved[PATH_MAX];
    if (!::realpath(p.constData(), resolved)) return false;
    QByteArray level(resolved);
    for (;;) {
        struct stat st;
        if (::stat(level.constData(), &st) == 0 && quint64(st.st_dev) == outer.device &&
            quint64(st.st_ino) == outer.inode)
            return true;
        if (level == "/") return false;
        const qsizetype slash = level.lastIndexOf('/');
        level.truncate(slash <= 0 ? 1 : slash);
    }
}

}  // namespace platform
