#include "platform/FileCopy.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

CopyOutcome failure(CopyResult result, int error) {
    CopyOutcome out;
    out.result = result;
    out.error = error;
    out.description = QString::fromLocal8Bit(std::strerror(error));
    return out;
}

// Closes a descriptor when the copy leaves early.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// Fallback when the kernel cannot offload the copy: large blocks.
bool copyByBlocks(int in, int out, bool& readFailed) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            readFailed = true;
            return false;
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += w;
        }
    }
}

// Copies the whole of in (positioned at 0) to out. readFailed tells which side failed.
bool copyData(int in, int out, bool& readFailed) {
    constexpr size_t chunk = size_t(1) << 30;
    bool first = true;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
        if (n > 0) {
            first = false;
            continue;
        }
        if (n == 0) return true;
        if (errno == EINTR) continue;
        // Not offloadable between these file systems: copy the rest another way.
        if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM) {
            if (first) {
                for (;;) {
                    const ssize_t s = ::sendfile(out, in, nullptr, chunk);
                    if (s > 0) continue;
                    if (s == 0) return true;
                    if (errno == EINTR) continue;
                    break;
                }
            }
            return copyByBlocks(in, out, readFailed);
        }
        readFailed = (errno == EIO || errno == EISDIR || errno == EBADF);
        return false;
    }
}

}  // namespace

CopyOutcome CopyFileKeepingTimes(const QString& source, const QString& target) {
    const QByteArray sourceName = QFile::encodeName(source);
    const QByteArray targetName = QFile::encodeName(target);

    // Opened without blocking: a name that has become a FIFO since the scan
    // would otherwise wait for a writer for ever. Regular files never block.
    Descriptor in;
    in.fd = ::open(sourceName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in.fd < 0) return failure(CopyResult::SourceFailed, errno);
    struct stat st {};
    if (::fstat(in.fd, &st) != 0) return failure(CopyResult::SourceFailed, errno);
    if (S_ISDIR(st.st_mode)) return failure(CopyResult::SourceFailed, EISDIR);
    if (!S_ISREG(st.st_mode)) return failure(CopyResult::SourceFailed, EINVAL);
    const int flags = ::fcntl(in.fd, F_GETFL);
    if (flags >= 0) ::fcntl(in.fd, F_SETFL, flags & ~O_NONBLOCK);

    // The target already is the source (the same path, a link to it, or the
    // backup folder laid over the source folder): it holds the data already,
    // and replacing it would turn a link into a plain file or split hard links.
    struct stat existing {};
    if (::stat(targetName.constData(), &existing) == 0 && existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)
        return {};

    // The temporary name is short so that a long target name still fits.
    const QString folder = QFileInfo(target).path();
    QByteArray pattern = QFile::encodeName(folder) + "/.corvex-copy-XXXXXX";
    Descriptor out;
    out.fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (out.fd < 0) return failure(CopyResult::TargetFailed, errno);
    const QByteArray tempName = pattern;
    auto discard = [&](CopyResult result, int error) {
        if (out.fd >= 0) ::close(out.release());
        ::unlink(tempName.constData());
        return failure(result, error);
    };

    bool readFailed = false;
    if (!copyData(in.fd, out.fd, readFailed))
        return discard(readFailed ? CopyResult::SourceFailed : CopyResult::TargetFailed, errno);
    if (::fchmod(out.fd, st.st_mode & 07777) != 0) return discard(CopyResult::TargetFailed, errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.fd, times) != 0) return discard(CopyResult::TargetFailed, errno);
    if (::close(out.release()) != 0) return discard(CopyResult::TargetFailed, errno);

    if (::rename(tempName.constData(), targetName.constData()) != 0) {
        const int error = errno;
        struct stat old {};
        const bool targetThere = ::lstat(targetName.constData(), &old) == 0;
        return discard(targetThere ? CopyResult::ReplaceFailed : CopyResult::TargetFailed, error);
    }
    return {};
}

}  // namespace platform
