#include "platform/AppendFile.h"

#include "platform/ByteText.h"
#include "platform/TrustedLinks.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool isNullDevice(const struct stat& st) { return S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, 3); }

// The group a file its owner makes in the folder gets: the folder's own with
// its set-group-ID bit, else the owner's primary group (the folder's where
// the user database does not know her).
gid_t groupOfNewFile(const struct stat& folder) {
    if (folder.st_mode & S_ISGID) return folder.st_gid;
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getpwuid_r(folder.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) return found->pw_gid;
    return folder.st_gid;
}

// Gives the file fd, just made in folder, to the folder's owner, private,
// unless root owns the folder.
bool handOver(int fd, int folder) {
    struct stat st {};
    if (::fstat(folder, &st) != 0) return false;
    if (st.st_uid == 0) return true;
    return ::fchown(fd, st.st_uid, groupOfNewFile(st)) == 0 && ::fchmod(fd, 0600) == 0;
}

// Opens path with flags as a run as root does for NewFileOwner::FolderOwner:
// a file it makes in a folder another user owns is hers and private before
// anything is written to it; one in root's folder is root's (NewFileMode).
int openHandedOver(const QString& path, int flags) {
    QByteArray name;
    const int folder = OpenTrustedFolderOf(path, name, nullptr);
    if (folder < 0) return -1;
    int fd = ::openat(folder, name.constData(), flags | O_CREAT | O_EXCL, NewFileMode());
    const bool made = fd >= 0;
    if (!made && errno == EEXIST) fd = ::openat(folder, name.constData(), flags);
    if (made && !handOver(fd, folder)) {
        const int error = errno;
        ::close(fd);
        ::unlinkat(folder, name.constData(), 0);
        fd = -1;
        errno = error;
    }
    const int error = errno;
    ::close(folder);
    errno = error;
    return fd;
}

}  // namespace

unsigned NewFileMode() { return ::geteuid() == 0 ? 0600 : 0666; }

unsigned NewFolderMode() { return ::geteuid() == 0 ? 0700 : 0777; }

int OpenForWriting(const QString& path, WriteOpen mode, int& error, NewFileOwner owner) {
    // O_NONBLOCK: a FIFO without a reader fails at once (ENXIO) instead of
    // waiting for one; it is cleared again once the file is known to be regular.
    // O_TRUNC is left out: a file is emptied only after that check.
    const int opening = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int fd = owner == NewFileOwner::FolderOwner && ::geteuid() == 0
                       ? openHandedOver(path, opening)
                       : OpenTrustedPath(path, opening | O_CREAT, nullptr, NewFileMode());
    if (fd < 0) {
        error = errno == ENXIO ? kNotARegularFile : errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    const bool regular = S_ISREG(st.st_mode);
    if (!regular && !isNullDevice(st)) {
        error = kNotARegularFile;
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        (regular && mode == WriteOpen::Truncate && ::ftruncate(fd, 0) != 0)) {
        error = errno;
        ::close(fd);
        return -1;
    }
    error = 0;
    return fd;
}

QString WriteErrorText(int error) {
    if (error == kNotARegularFile) return QStringLiteral("Not a regular file");
    // O_NOFOLLOW reports a link in the last component as a loop of links.
    if (error == ELOOP) return QStringLiteral("Is a symbolic link");
    return QString::fromLocal8Bit(std::strerror(error));
}

bool AppendToFile(const QString& path, const QByteArray& data, int* error, NewFileOwner owner) {
    AppendFile file;
    const bool ok = file.open(path, false, owner) && file.append(data);
    if (error) *error = file.error();
    return ok;
}

AppendFile::~AppendFile() { close(); }

bool AppendFile::open(const QString& path, bool truncate, NewFileOwner owner) {
    close();
    m_path = path;
    m_encodedPath = BytesFromText(path);
    m_fd = OpenForWriting(path, truncate ? WriteOpen::Truncate : WriteOpen::Append, m_error, owner);
    if (m_fd < 0) return false;
    struct stat st {};
    if (::fstat(m_fd, &st) == 0) {
        m_device = quint64(st.st_dev);
        m_inode = quint64(st.st_ino);
    }
    return true;
}

bool AppendFile::openNew(int folder, const QString& name, const QString& path) {
    close();
    m_path = path;
    m_encodedPath = BytesFromText(path);
    const QByteArray encoded = BytesFromText(name);
    m_error = 0;
    struct stat st {};
    if (::fstatat(folder, encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            m_error = ELOOP;
        else if (S_ISDIR(st.st_mode))
            m_error = EISDIR;
        else if (!S_ISREG(st.st_mode))
            m_error = kNotARegularFile;
        else if (::unlinkat(folder, encoded.constData(), 0) != 0)
            m_error = errno;
        if (m_error != 0) return false;
    }
    // O_EXCL: whatever took the name since is not written to.
    m_fd = ::openat(folder, encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC,
                    NewFileMode());
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    if (::fstat(m_fd, &st) == 0) {
        m_device = quint64(st.st_dev);
        m_inode = quint64(st.st_ino);
    }
    return true;
}

void AppendFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool AppendFile::append(const QByteArray& data) {
    if (m_fd < 0) {
        m_error = EBADF;
        return false;
    }
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            m_error = errno;
            return false;
        }
        if (n == 0) {
            m_error = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool AppendFile::stillAtPath() const {
    if (m_fd < 0) return false;
    // lstat: a link put in the file's place is not the file.
    struct stat st {};
    return ::lstat(m_encodedPath.constData(), &st) == 0 && quint64(st.st_dev) == m_device &&
           quint64(st.st_ino) == m_inode;
}

QString AppendFile::errorString() const { return WriteErrorText(m_error); }

}  // namespace platform
