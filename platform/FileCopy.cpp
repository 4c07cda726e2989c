#include "platform/FileCopy.h"

#include "platform/ByteText.h"
#include "platform/EventLoop.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
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
    Descriptor() = default;
    explicit Descriptor(int f) : fd(f) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    void reset(int f) {
        if (fd >= 0) ::close(fd);
        fd = f;
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

// A read that would wait (the source is opened without blocking) is a failed read.
bool isReadError(int error) {
    return error == EIO || error == EISDIR || error == EBADF || error == EAGAIN || error == EWOULDBLOCK;
}

// How much of a file's data is copied between two turns of the windows.
constexpr qint64 kDefaultChunk = qint64(32) << 20;
qint64 chunkBytes = kDefaultChunk;
std::function<void()> chunkPacer;

// Between two chunks of one file's data the waiting window events are handled,
// so that a big file (or a slow disk) never leaves the windows frozen.
void betweenChunks() {
    if (chunkPacer) chunkPacer();
    YieldToWindows();
}

// Writes all of buffer[0, n) to out.
bool writeAll(int out, const char* buffer, ssize_t n) {
    ssize_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(out, buffer + done, size_t(n - done));
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += w;
    }
    return true;
}

// Fallback when the kernel cannot offload the copy: large blocks, with a turn
// of the windows after each chunk's worth of them.
bool copyByBlocks(int in, int out, bool& readFailed, qint64& copied) {
    std::vector<char> buffer(size_t(std::min<qint64>(chunkBytes, qint64(1) << 20)));
    qint64 sinceTurn = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            readFailed = true;
            return false;
        }
        if (!writeAll(out, buffer.data(), n)) return false;
        copied += n;
        sinceTurn += n;
        if (sinceTurn >= chunkBytes) {
            sinceTurn = 0;
            betweenChunks();
        }
    }
}

// Copies the whole of in (positioned at 0) to out, one chunk at a time, and
// counts the bytes in copied. readFailed tells which side failed. The windows
// get their turn after a full chunk, when more may follow: a small file is one
// short chunk and needs none.
bool copyData(int in, int out, bool& readFailed, qint64& copied) {
    const size_t chunk = size_t(chunkBytes);
    bool first = true;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
        if (n > 0) {
            first = false;
            copied += n;
            if (size_t(n) == chunk) betweenChunks();
            continue;
        }
        if (n == 0) return true;
        if (errno == EINTR) continue;
        // Not offloadable between these file systems: copy the rest another way.
        if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM) {
            if (first) {
                for (;;) {
                    const ssize_t s = ::sendfile(out, in, nullptr, chunk);
                    if (s > 0) {
                        copied += s;
                        if (size_t(s) == chunk) betweenChunks();
                        continue;
                    }
                    if (s == 0) return true;
                    if (errno == EINTR) continue;
                    break;
                }
            }
            return copyByBlocks(in, out, readFailed, copied);
        }
        readFailed = isReadError(errno);
        return false;
    }
}

// Removes the temporary copies an interrupted run left in the folder, once per
// folder and run. Only regular files whose name marks them as ours are removed.
void clearLeftovers(int folder, const struct stat& st, CopyRun& run) {
    if (!run.clearedFolders.insert({quint64(st.st_dev), quint64(st.st_ino)}).second) return;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    const size_t prefixLength = std::strlen(kTemporaryCopyPrefix);
    std::vector<std::string> leftovers;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strncmp(e->d_name, kTemporaryCopyPrefix, prefixLength) != 0) continue;
        struct stat entry {};
        if (::fstatat(folder, e->d_name, &entry, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(entry.st_mode))
            leftovers.emplace_back(e->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : leftovers) ::unlinkat(folder, name.c_str(), 0);
}

// Opens (and makes where missing) each level of relative below the open
// folder, never following a symbolic link. The open folder is replaced by the
// last level.
CopyOutcome enterFolders(Descriptor& folder, const QByteArray& relative) {
    for (const QByteArray& level : relative.split('/')) {
        if (level.isEmpty() || level == ".") continue;
        if (level == "..") return failure(CopyResult::LeavesFolder, EXDEV);
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(folder.fd, level.constData(), flags);
        if (next < 0 && errno == ENOENT) {
            if (::mkdirat(folder.fd, level.constData(), 0777) != 0 && errno != EEXIST)
                return failure(CopyResult::FolderFailed, errno);
            next = ::openat(folder.fd, level.constData(), flags);
        }
        if (next < 0) {
            const int error = errno;
            struct stat st {};
            if (::fstatat(folder.fd, level.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
                return failure(CopyResult::LeavesFolder, error);
            return failure(CopyResult::FolderFailed, error);
        }
        folder.reset(next);
    }
    return {};
}

// A temporary file in the folder, named as ours; its name goes into name.
int createTemporary(int folder, QByteArray& name) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = kTemporaryCopyPrefix;
        for (int i = 0; i < 6; ++i) name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The path that leads to root + relative: relative's levels below root,
// without a trailing "/" (which would make a status call follow a link).
QByteArray folderPath(const QString& root, const QString& relative) {
    QByteArray path = BytesFromText(root);
    for (const QByteArray& level : BytesFromText(relative).split('/')) {
        if (level.isEmpty() || level == ".") continue;
        if (!path.endsWith('/')) path += '/';
        path += level;
    }
    return path;
}

// The held folder of run, when it is the folder root + relative and its path
// still leads to it: the root itself may be reached through links, a level
// below it only without a link at its end (the walk that made it refused links
// at every level). Otherwise -1, and the held folder is let go.
int heldFolderFor(CopyRun& run, const QString& root, const QString& relative) {
    if (run.heldFolder < 0) return -1;
    if (run.heldRoot == root && run.heldRelative == relative) {
        struct stat st {};
        const int r = run.heldIsRoot ? ::stat(run.heldPath.constData(), &st) : ::lstat(run.heldPath.constData(), &st);
        if (r == 0 && S_ISDIR(st.st_mode) && quint64(st.st_dev) == run.heldDevice &&
            quint64(st.st_ino) == run.heldInode)
            return run.heldFolder;
    }
    run.release();
    return -1;
}

}  // namespace

CopyRun::~CopyRun() { release(); }

void CopyRun::release() {
    if (heldFolder >= 0) ::close(heldFolder);
    heldFolder = -1;
}

void SetCopyChunkSize(qint64 bytes) { chunkBytes = bytes > 0 ? bytes : kDefaultChunk; }

void SetCopyChunkPacer(std::function<void()> pacer) { chunkPacer = std::move(pacer); }

CopyOutcome CopyFileKeepingTimes(const QString& source, const QString& target) {
    const QFileInfo info(target);
    return CopyFileBelow(source, info.path(), QString(), info.fileName());
}

CopyOutcome CopyFileBelow(const QString& source, const QString& root, const QString& relativeFolder,
                          const QString& name, CopyRun* run) {
    const QByteArray sourceName = BytesFromText(source);
    const QByteArray targetName = BytesFromText(name);
    if (targetName.isEmpty() || targetName.contains('/')) return failure(CopyResult::TargetFailed, EINVAL);

    // Opened and read without blocking: a name that has become a FIFO since the
    // scan would otherwise wait for a writer for ever, and some regular files
    // of the kernel's own file systems wait for data that may never come.
    Descriptor in(::open(sourceName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.fd < 0) return failure(CopyResult::SourceFailed, errno);
    struct stat st {};
    if (::fstat(in.fd, &st) != 0) return failure(CopyResult::SourceFailed, errno);
    if (S_ISDIR(st.st_mode)) return failure(CopyResult::SourceFailed, EISDIR);
    if (!S_ISREG(st.st_mode)) return failure(CopyResult::SourceFailed, EINVAL);

    // The root is the folder the caller chose; below it no link is followed.
    Descriptor ownFolder;
    int folder = run ? heldFolderFor(*run, root, relativeFolder) : -1;
    if (folder < 0) {
        ownFolder.reset(::open(BytesFromText(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (ownFolder.fd < 0) return failure(CopyResult::TargetFailed, errno);
        const CopyOutcome entered = enterFolders(ownFolder, BytesFromText(relativeFolder));
        if (!entered.ok()) return entered;
        folder = ownFolder.fd;
        struct stat made {};
        if (run && ::fstat(folder, &made) == 0) {
            clearLeftovers(folder, made, *run);
            run->heldFolder = ownFolder.release();
            run->heldRoot = root;
            run->heldRelative = relativeFolder;
            run->heldPath = folderPath(root, relativeFolder);
            run->heldIsRoot = run->heldPath == folderPath(root, QString());
            run->heldDevice = quint64(made.st_dev);
            run->heldInode = quint64(made.st_ino);
        }
    }

    // The target already is the source (the same path, a link to it, or the
    // backup folder laid over the source folder): copying would only truncate
    // or replace the original, so it is refused.
    struct stat existing {};
    if (::fstatat(folder, targetName.constData(), &existing, 0) == 0 && existing.st_dev == st.st_dev &&
        existing.st_ino == st.st_ino) {
        CopyOutcome same = failure(CopyResult::SameFile, EEXIST);
        same.description = QStringLiteral("The target is the source file itself");
        return same;
    }

    QByteArray tempName;
    Descriptor out(createTemporary(folder, tempName));
    if (out.fd < 0) return failure(CopyResult::TargetFailed, errno);
    auto discard = [&](CopyResult result, int error) {
        if (out.fd >= 0) ::close(out.release());
        ::unlinkat(folder, tempName.constData(), 0);
        return failure(result, error);
    };

    bool readFailed = false;
    qint64 copied = 0;
    if (!copyData(in.fd, out.fd, readFailed, copied))
        return discard(readFailed ? CopyResult::SourceFailed : CopyResult::TargetFailed, errno);
    if (::fchmod(out.fd, st.st_mode & 07777) != 0) return discard(CopyResult::TargetFailed, errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.fd, times) != 0) return discard(CopyResult::TargetFailed, errno);
    if (::close(out.release()) != 0) return discard(CopyResult::TargetFailed, errno);

    if (::renameat(folder, tempName.constData(), folder, targetName.constData()) != 0) {
        const int error = errno;
        struct stat old {};
        const bool targetThere = ::fstatat(folder, targetName.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
        return discard(targetThere ? CopyResult::ReplaceFailed : CopyResult::TargetFailed, error);
    }
    CopyOutcome done;
    done.bytes = copied;
    done.modifiedSecs = qint64(st.st_mtim.tv_sec);
    return done;
}

}  // namespace platform
