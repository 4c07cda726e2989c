#include "platform/SaveFile.h"

#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/TrustedLinks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <random>

namespace platform {
namespace {

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// As many links as the system itself follows in one path before it gives up.
constexpr int kMaxLinks = 40;

// The chain of links at path followed to its end, the folders on the way as
// they are: how an ordinary user's save finds the file to replace.
bool followLinks(QByteArray& path, QString* why) {
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        if (links == kMaxLinks) return fail(why, WriteErrorText(ELOOP));
        QByteArray next(qsizetype(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        const ssize_t length = ::readlink(path.constData(), next.data(), size_t(next.size()));
        if (length < 0) return fail(why, systemError(errno));
        if (length >= next.size()) return fail(why, QStringLiteral("The link changed while it was read"));
        next.truncate(length);
        // A relative target is read from the folder that holds the link.
        if (!next.startsWith('/')) next.prepend(path.left(path.lastIndexOf('/') + 1));
        path = next;
    }
}

// A name for the temporary file beside name that nothing holds yet is found
// by making it exclusively; -1 with errno set when none could be made.
int makeTemporary(int folder, const QByteArray& name, QByteArray& temporary, mode_t mode) {
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = name + '.' + QByteArray::number(quint32(random()), 36) + ".tmp";
        const int fd =
            ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Writes data into the new temporary file fd and renames it over name, all
// in folder. On a failure the temporary file goes again.
bool saveInFolder(int folder, const QByteArray& name, int fd, const QByteArray& temporary, const QByteArray& data,
                  QString* why) {
    int error = 0;
    // A full disk often shows itself only when the data is forced out.
    if (!writeAll(fd, data) || (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::renameat(folder, temporary.constData(), folder, name.constData()) != 0) error = errno;
    if (error == 0) return true;
    ::unlinkat(folder, temporary.constData(), 0);
    return fail(why, WriteErrorText(error));
}

}  // namespace

bool SaveTarget(const QString& fileName, LinkRule rule, QString& target, QString* why) {
    if (rule == LinkRule::SaveThrough && RefusesForeignLinks()) return ResolveTrustedPath(fileName, true, target, why);
    QByteArray path = BytesFromText(fileName);
    if (rule == LinkRule::SaveThrough && !followLinks(path, why)) return false;
    target = TextFromBytes(path);
    return true;
}

bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why, LinkRule rule) {
    QString target;
    if (!SaveTarget(fileName, rule, target, why)) return false;
    QByteArray name;
    const int folder = OpenTrustedFolderOf(target, name, why);
    if (folder < 0) return false;

    struct stat st {};
    const bool exists = ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    QString refusal;
    if (exists && S_ISLNK(st.st_mode))
        refusal = WriteErrorText(ELOOP);
    else if (exists && S_ISDIR(st.st_mode))
        refusal = WriteErrorText(EISDIR);
    else if (exists && !S_ISREG(st.st_mode))
        refusal = WriteErrorText(kNotARegularFile);
    else if (exists && (st.st_mode & S_IWUSR) == 0)
        refusal = QStringLiteral("The file is read-only");
    if (!refusal.isEmpty()) {
        ::close(folder);
        return fail(why, refusal);
    }
    // A replaced file keeps its bits; a new one is made as every file the
    // programs make (private run as root).
    QByteArray temporary;
    const int fd = makeTemporary(folder, name, temporary, exists ? 0600 : NewFileMode());
    if (fd < 0) {
        const int error = errno;
        ::close(folder);
        return fail(why, WriteErrorText(error));
    }
    if (exists && ::fchmod(fd, st.st_mode & 0777) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlinkat(folder, temporary.constData(), 0);
        ::close(folder);
        return fail(why, WriteErrorText(error));
    }
    const bool saved = saveInFolder(folder, name, fd, temporary, data, why);
    ::close(folder);
    return saved;
}

}  // namespace platform
