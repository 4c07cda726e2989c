#include "platform/FileDetails.h"

#include "platform/ByteText.h"

#include <QFile>
#include <QTimeZone>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QDateTime utc(const struct statx_timestamp& t) {
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, QTimeZone::utc());
}

}  // namespace

FileDetails GetFileDetails(const QString& path) {
    FileDetails d;
    const QByteArray name = BytesFromText(path);
    if (name.isEmpty()) return d;
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return d;
    d.found = true;
    d.isFile = S_ISREG(st.st_mode);
    d.isFolder = S_ISDIR(st.st_mode);
    d.ownerCanWrite = (st.st_mode & S_IWUSR) != 0;
    d.size = qint64(st.st_size);

    // Without blocking: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return d;
    d.opened = true;

    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
        d.timesRead = true;
        d.accessed = utc(sx.stx_atime);
        d.modified = utc(sx.stx_mtime);
        d.created = (sx.stx_mask & STATX_BTIME) ? utc(sx.stx_btime) : d.modified;
    }
    int flags = 0;
    if ((d.isFile || d.isFolder) && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0)
        d.compressed = (flags & FS_COMPR_FL) != 0;
    ::close(fd);
    return d;
}

}  // namespace platform
