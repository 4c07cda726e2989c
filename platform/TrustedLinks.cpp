#include "platform/TrustedLinks.h"

#include "platform/ByteText.h"

#include <QList>

#include <fcntl.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// As many links as the system itself follows in one path before it gives up.
constexpr int kMaxLinks = 40;

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The user's name, or the number where the user database has none.
QString ownerName(uid_t uid) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

// The components of path, in order ("" and "." left out).
QList<QByteArray> componentsOf(const QByteArray& path) {
    QList<QByteArray> parts;
    for (const QByteArray& part : path.split('/'))
        if (!part.isEmpty() && part != ".") parts.append(part);
    return parts;
}

// Opens the link-free absolute path without following any link on it: in one
// call where the kernel can, else level by level.
int openWithoutLinks(const QByteArray& path, int flags, mode_t mode) {
    static bool oneCall = true;
    if (oneCall) {
        struct open_how how {};
        how.flags = quint64(flags | O_CLOEXEC);
        how.mode = (flags & (O_CREAT | O_TMPFILE)) ? mode : 0;
        how.resolve = RESOLVE_NO_SYMLINKS;
        const long fd = ::syscall(SYS_openat2, AT_FDCWD, path.constData(), &how, sizeof how);
        if (fd >= 0 || errno != ENOSYS) return int(fd);
        oneCall = false;
    }
    const QList<QByteArray> parts = componentsOf(path);
    int folder = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parts.isEmpty() || folder < 0) {
        if (folder >= 0 && parts.isEmpty() && (flags & O_DIRECTORY)) return folder;
        if (folder >= 0) ::close(folder);
        return parts.isEmpty() ? ::open("/", flags | O_CLOEXEC, mode) : -1;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const int next = last ? ::openat(folder, parts[i].constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode)
                              : ::openat(folder, parts[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        ::close(folder);
        if (next < 0) {
            errno = error;
            return -1;
        }
        folder = next;
    }
    return folder;
}

}  // namespace

// The file-system identity decides what the process may reach; it is the
// effective user's unless the thread took another one.
bool RefusesForeignLinks() { return ::setfsuid(uid_t(-1)) == 0; }

bool ResolveTrustedPath(const QString& path, bool followLast, QString& resolved, QString* why) {
    QByteArray written = BytesFromText(path);
    if (!written.startsWith('/')) {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd)) return fail(why, systemError(errno));
        written.prepend(QByteArray(cwd) + '/');
    }
    const bool strict = RefusesForeignLinks();
    QList<QByteArray> pending = componentsOf(written);
    QByteArray done;  // link-free so far: "" stands for "/"
    bool missing = false;
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part == "..") {
            // done holds no link, so its parent is found by its text.
            done.truncate(qMax<qsizetype>(0, done.lastIndexOf('/')));
            continue;
        }
        const QByteArray candidate = done + '/' + part;
        const bool last = pending.isEmpty();
        struct stat st {};
        // Nothing below a missing component can be a link yet.
        const int found = missing ? -1 : ::lstat(candidate.constData(), &st);
        if (found != 0 && !missing && errno == ENOENT) missing = true;
        if (found != 0 || !S_ISLNK(st.st_mode) || (last && !followLast)) {
            done = candidate;
            continue;
        }
        if (strict && st.st_uid != 0)
            return fail(why, TextFromBytes(candidate) + " is a link owned by " + ownerName(st.st_uid));
        if (++links > kMaxLinks) return fail(why, systemError(ELOOP));
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        const ssize_t length = ::readlink(candidate.constData(), target.data(), size_t(target.size()));
        if (length < 0) return fail(why, systemError(errno));
        if (length >= target.size()) return fail(why, QStringLiteral("The link changed while it was read"));
        target.truncate(length);
        // A relative target is read from the folder that holds the link.
        if (target.startsWith('/')) done.clear();
        pending = componentsOf(target) + pending;
    }
    resolved = done.isEmpty() ? QStringLiteral("/") : TextFromBytes(done);
    return true;
}

int OpenTrustedPath(const QString& path, int flags, QString* why, mode_t mode) {
    if (!RefusesForeignLinks()) {
        const int fd = ::open(BytesFromText(path).constData(), flags | O_CLOEXEC, mode);
        if (fd < 0 && why) *why = systemError(errno);
        return fd;
    }
    QString resolved;
    if (!ResolveTrustedPath(path, (flags & O_NOFOLLOW) == 0, resolved, why)) {
        errno = ELOOP;
        return -1;
    }
    const int fd = openWithoutLinks(BytesFromText(resolved), flags & ~O_NOFOLLOW, mode);
    if (fd < 0) {
        const int error = errno;
        // A link where none was a moment ago: somebody is changing the path.
        if (why) *why = error == ELOOP ? resolved + " has become a link" : systemError(error);
        errno = error;
    }
    return fd;
}

int OpenTrustedFolderOf(const QString& path, QByteArray& name, QString* why) {
    const QByteArray bytes = BytesFromText(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    name = bytes.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") {
        fail(why, systemError(EISDIR));
        errno = EISDIR;
        return -1;
    }
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
    return OpenTrustedPath(TextFromBytes(folder), O_PATH | O_DIRECTORY, why);
}

bool RefusedPath(const QString& path, QString* why) {
    QString resolved;
    return RefusesForeignLinks() && !ResolveTrustedPath(path, true, resolved, why);
}

TrustedRead ReadTrustedFile(const QString& path, QByteArray& data, QString* why) {
    data.clear();
    // O_NONBLOCK: a FIFO without a writer is not waited for.
    const int fd = OpenTrustedPath(path, O_RDONLY | O_NONBLOCK | O_NOCTTY, why);
    if (fd < 0) {
        const int error = errno;
        if (RefusesForeignLinks() && error == ELOOP) return TrustedRead::Refused;
        struct stat st {};
        // A link that leads nowhere is there all the same.
        if (error == ENOENT && ::lstat(BytesFromText(path).constData(), &st) != 0) return TrustedRead::Missing;
        fail(why, systemError(error));
        return TrustedRead::Failed;
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        fail(why, known ? QStringLiteral("Not a regular file") : systemError(errno));
        ::close(fd);
        return TrustedRead::Failed;
    }
    data.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail(why, systemError(errno));
            ::close(fd);
            data.clear();
            return TrustedRead::Failed;
        }
        if (n == 0) break;
        data.append(buffer, n);
    }
    ::close(fd);
    return TrustedRead::Read;
}

}  // namespace platform
