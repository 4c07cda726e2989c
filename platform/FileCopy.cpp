#include "platform/FileCopy.h"

#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/EventLoop.h"
#include "platform/TrustedLinks.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <climits>

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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
std::function<void(const QString&)> beforeCopyStep;
// Cleared when the kernel lacks openat2 (or a test asks for the other way).
bool resolveInOneCall = true;
bool offloadAllowed = true;

// Between two chunks of one file's data the waiting window events are handled,
// so that a big file (or a slow disk) never leaves the windows frozen.
void betweenChunks() {
    if (chunkPacer) chunkPacer();
    YieldToWindows();
}

// Errors of the copy offload that mean it cannot serve these two files (other
// file systems, or a kind of file it does not handle): the bytes are then
// read and written instead.
bool notOffloadable(int error) {
    return error == ENOSYS || error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == EPERM;
}

// Writes all of buffer[0, n) to out at offset.
bool pwriteAll(int out, const char* buffer, size_t n, off_t offset) {
    size_t done = 0;
    while (done < n) {
        const ssize_t w = ::pwrite(out, buffer + done, n - done, offset + off_t(done));
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(w);
    }
    return true;
}

// The state of one file's copy across its ranges.
struct RangeCopy {
    bool offload = offloadAllowed;  // cleared for good when the kernel refuses
    bool readFailed = false;        // after a failure: the source's side failed
    qint64 copied = 0;              // bytes copied so far
    qint64 sinceTurn = 0;           // bytes since the windows last had their turn
    std::vector<char> buffer;       // for reading and writing, once the offload is refused
};

// Copies len bytes at offset of in to the same offset of out (with len < 0,
// up to the end of in), offloaded to the kernel where it can, else read and
// written in blocks. The windows get their turn after each full chunk: a small
// file is one short chunk and needs none. A source that became shorter
// meanwhile ends the range early.
bool copyRange(int in, int out, off_t offset, off_t len, RangeCopy& copy) {
    while (len != 0) {
        const size_t want = size_t(len < 0 ? chunkBytes : std::min<qint64>(len, chunkBytes));
        ssize_t n;
        if (copy.offload) {
            loff_t from = offset, to = offset;
            n = ::copy_file_range(in, &from, out, &to, want, 0);
            if (n < 0 && notOffloadable(errno)) {
                copy.offload = false;
                continue;
            }
        } else {
            if (copy.buffer.empty()) copy.buffer.resize(size_t(std::min<qint64>(chunkBytes, qint64(1) << 20)));
            n = ::pread(in, copy.buffer.data(), std::min(want, copy.buffer.size()), offset);
            if (n > 0 && !pwriteAll(out, copy.buffer.data(), size_t(n), offset)) return false;
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            // The offload does not tell which side failed; a failed read does.
            copy.readFailed = !copy.offload || isReadError(errno);
            return false;
        }
        if (n == 0) return true;
        offset += n;
        if (len > 0) len -= n;
        copy.copied += n;
        copy.sinceTurn += n;
        if (copy.sinceTurn >= chunkBytes) {
            copy.sinceTurn = 0;
            betweenChunks();
        }
    }
    return true;
}

// Copies the whole of in to out. copied is the number of bytes copied.
bool copyData(int in, int out, bool& readFailed, qint64& copied) {
    RangeCopy copy;
    const bool ok = copyRange(in, out, 0, -1, copy);
    readFailed = copy.readFailed;
    copied = copy.copied;
    return ok;
}

// A file that holds fewer blocks than its size needs may have holes (it may
// also just be compressed, which costs nothing more than two seeks).
bool mayHaveHoles(const struct stat& st) { return qint64(st.st_blocks) * 512 < qint64(st.st_size); }

// Copies only the data regions of in, each to the same offset of out, so the
// holes between them stay holes; the target's size is set at the end, which
// keeps a hole at the end one too. copied is the target's size.
bool copySparse(int in, int out, bool& readFailed, qint64& copied) {
    RangeCopy copy;
    off_t position = 0;
    for (;;) {
        const off_t data = ::lseek(in, position, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // no data after position
            readFailed = true;
            return false;
        }
        const off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0) {
            readFailed = true;
            return false;
        }
        if (!copyRange(in, out, data, hole - data, copy)) {
            readFailed = copy.readFailed;
            return false;
        }
        position = hole;
    }
    const off_t end = ::lseek(in, 0, SEEK_END);
    if (end < 0) {
        readFailed = true;
        return false;
    }
    const off_t size = std::max(end, position);
    if (::ftruncate(out, size) != 0) return false;
    copied = qint64(size);
    return true;
}

constexpr int kTemporaryDigits = 12;
bool unnamedAllowed = true;

// A fresh name of the one pattern of our temporary copies.
QByteArray temporaryName() {
    QByteArray name = kTemporaryCopyPrefix;
    const quint64 random = QRandomGenerator::global()->generate64() & ((quint64(1) << (4 * kTemporaryDigits)) - 1);
    name += QByteArray::number(random, 16).rightJustified(kTemporaryDigits, '0');
    name += kTemporaryCopySuffix;
    return name;
}

// Removes the temporary copies an interrupted run left in the folder, once per
// folder and run: regular files and links named exactly by our pattern. A
// user's file whose name merely begins like one is never touched.
void clearLeftovers(int folder, const struct stat& st, CopyRun& run) {
    if (!run.clearedFolders.insert({quint64(st.st_dev), quint64(st.st_ino)}).second) return;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    std::vector<std::string> leftovers;
    while (const dirent* e = ::readdir(dir)) {
        if (!IsTemporaryCopyName(QByteArray::fromRawData(e->d_name, int(std::strlen(e->d_name))))) continue;
        struct stat entry {};
        if (::fstatat(folder, e->d_name, &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode)))
            leftovers.emplace_back(e->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : leftovers) ::unlinkat(folder, name.c_str(), 0);
}

// The bits of a folder status.
FolderBits bitsOf(const struct stat& st) {
    return {quint32(st.st_uid), quint32(st.st_gid), quint32(st.st_mode & 07777)};
}

// Why, run as root, the existing folder (its status st) that stands for a
// source folder (its bits source, when known) may not take copies: it
// belongs to another user than root and the source folder's owner, or it
// lets more users write in it than the source folder does. Empty when it may.
QString foreignFolder(const struct stat& st, const FolderBits* source) {
    if (!RefusesForeignLinks()) return {};
    if (st.st_uid != 0 && (!source || st.st_uid != source->uid)) return QStringLiteral("it belongs to another user");
    const mode_t othersWrite = st.st_mode & (S_IWGRP | S_IWOTH);
    const mode_t allowed = source ? mode_t(source->mode) & (S_IWGRP | S_IWOTH) : 0;
    if ((othersWrite & ~allowed) != 0 || ((othersWrite & S_IWGRP) && (!source || st.st_gid != source->gid)))
        return QStringLiteral("other users may write in it");
    return {};
}

// Keeps the backup folder fd (the level relative of the backup folder, which
// stands for the source folder "/" + relative) open to its owner while the run
// copies into it, and notes it, with the source folder's bits as the run read
// them, for finishFolders. A folder made now starts with the source folder's
// bits, so a private folder is never open to others.
void followSourceFolder(int fd, const QByteArray& relative, bool made, CopyRun& run) {
    const auto source = run.sourceFolderBits.find(relative);
    struct stat own {};
    if (::fstat(fd, &own) != 0) return;
    mode_t wanted = own.st_mode & 07777;
    if (made && source != run.sourceFolderBits.end()) wanted = mode_t(source->second.mode);
    wanted |= S_IRWXU;
    // A folder that cannot be opened up shows it in the copies that fail.
    if ((own.st_mode & 07777) != wanted) ::fchmod(fd, wanted);
    if (source != run.sourceFolderBits.end()) run.pendingFolders.emplace(relative, source->second);
}

CopyOutcome refusedFolder(const QByteArray& path, const QString& reason) {
    CopyOutcome out = failure(CopyResult::FolderRefused, EPERM);
    out.description = "the backup folder " + TextFromBytes(path) + " is not used - " + reason;
    return out;
}

// Opens (and makes where missing) each level of relative below the open
// folder, never following a symbolic link. The open folder is replaced by the
// last level. With mirrorRun, relative repeats a source folder's path and each
// level follows the source folder it stands for (followSourceFolder); run as
// root, a level that exists and was not entered by this run before must pass
// foreignFolder. Without make, a missing level fails with ENOENT.
CopyOutcome enterFolders(Descriptor& folder, const QByteArray& relative, CopyRun* mirrorRun, bool make = true) {
    QByteArray path;
    for (const QByteArray& level : relative.split('/')) {
        if (level.isEmpty() || level == ".") continue;
        if (level == "..") return failure(CopyResult::LeavesFolder, EXDEV);
        path += (path.isEmpty() ? "" : "/") + level;
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(folder.fd, level.constData(), flags);
        bool made = false;
        if (next < 0 && errno == ENOENT && make) {
            made = true;
            if (::mkdirat(folder.fd, level.constData(), mirrorRun ? 0700 : NewFolderMode()) != 0) {
                if (errno != EEXIST) return failure(CopyResult::FolderFailed, errno);
                made = false;
            }
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
        if (mirrorRun) {
            if (!made && !mirrorRun->pendingFolders.count(path)) {
                struct stat st {};
                if (::fstat(folder.fd, &st) != 0) return failure(CopyResult::FolderFailed, errno);
                const auto source = mirrorRun->sourceFolderBits.find(path);
                const QString why =
                    foreignFolder(st, source == mirrorRun->sourceFolderBits.end() ? nullptr : &source->second);
                if (!why.isEmpty()) return refusedFolder(path, why);
            }
            followSourceFolder(folder.fd, path, made, *mirrorRun);
        }
    }
    return {};
}

// The levels of relative, joined by "/" without "." levels, empty ones and
// "/" at either end.
QByteArray levelsOf(const QString& relative) {
    QByteArray levels;
    for (const QByteArray& level : BytesFromText(relative).split('/')) {
        if (level.isEmpty() || level == ".") continue;
        if (!levels.isEmpty()) levels += '/';
        levels += level;
    }
    return levels;
}

// Replaces folder (the open folder root) by the folder below it, without
// following a link on the way; a level that is a link fails with
// SourceLeavesFolder and names it. With bits, each level is opened in turn
// and its owner and bits are noted there (by path without the leading "/"),
// the first time only.
bool enterSourceLevels(Descriptor& folder, const QByteArray& root, const QByteArray& below, CopyOutcome& failed,
                       std::map<QByteArray, FolderBits>* bits = nullptr) {
    if (resolveInOneCall && !bits) {
        struct open_how how {};
        how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
        const long fd = ::syscall(SYS_openat2, folder.fd, below.constData(), &how, sizeof how);
        if (fd >= 0) {
            folder.reset(int(fd));
            return true;
        }
        if (errno == ENOSYS) resolveInOneCall = false;
        // Any other failure is told apart level by level below.
    }
    QByteArray path = root;
    for (const QByteArray& level : below.split('/')) {
        if (level.isEmpty() || level == ".") continue;
        path += level;
        if (level == "..") {
            failed = failure(CopyResult::SourceLeavesFolder, EXDEV);
            failed.description = TextFromBytes(path) + " leads out of its listed folder";
            return false;
        }
        const int next = ::openat(folder.fd, level.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            const int error = errno;
            struct stat st {};
            if (::fstatat(folder.fd, level.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
                failed = failure(CopyResult::SourceLeavesFolder, ELOOP);
                failed.description = TextFromBytes(path) + " is a link now";
            } else {
                failed = failure(CopyResult::SourceFailed, error);
            }
            return false;
        }
        folder.reset(next);
        struct stat st {};
        if (bits && !bits->count(path.mid(1)) && ::fstat(folder.fd, &st) == 0) bits->emplace(path.mid(1), bitsOf(st));
        path += '/';
    }
    return true;
}

// Opens the folder of source into folder and gives the name in it, from the
// source's own folder (a link there is followed): a copy outside a run.
bool openOwnSourceFolder(const QByteArray& source, Descriptor& folder, QByteArray& name, CopyOutcome& failed) {
    const qsizetype slash = source.lastIndexOf('/');
    name = source.mid(slash + 1);
    const QByteArray own = slash < 0 ? QByteArray("./") : source.left(slash + 1);
    folder.reset(::open(own.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0) {
        failed = failure(CopyResult::SourceFailed, errno);
        return false;
    }
    return true;
}

// Notes the owner and bits of root (open as fd, a listed folder) and of every
// folder above it, each the first time only. The folders above a listed
// folder are reached under the same link rule as the listed folder.
void noteListedFolderBits(const QByteArray& root, int fd, CopyRun& run) {
    struct stat st {};
    const QByteArray key = root.mid(1).chopped(root.size() > 1 ? 1 : 0);
    if (!run.sourceFolderBits.count(key) && ::fstat(fd, &st) == 0) run.sourceFolderBits.emplace(key, bitsOf(st));
    for (qsizetype slash = root.indexOf('/', 1); slash >= 0 && slash < root.size() - 1;
         slash = root.indexOf('/', slash + 1)) {
        const QByteArray above = root.left(slash);
        if (run.sourceFolderBits.count(above.mid(1))) continue;
        const int level = OpenTrustedPath(TextFromBytes(above), O_PATH | O_DIRECTORY, nullptr);
        if (level < 0) continue;
        if (::fstat(level, &st) == 0) run.sourceFolderBits.emplace(above.mid(1), bitsOf(st));
        ::close(level);
    }
}

// The folder of source, held in run: the one held for the last source when
// it is the same folder from the same listed folder, else opened afresh
// from listedFolder (reached under the link rule; "/" when the source lies
// below no listed folder) without following a link below it.
int runSourceFolder(const QByteArray& source, const QByteArray& listedFolder, CopyRun& run, QByteArray& name,
                    CopyOutcome& failed) {
    const qsizetype slash = source.lastIndexOf('/');
    name = source.mid(slash + 1);
    const QByteArray own = source.left(slash + 1);
    const QByteArray root = !listedFolder.isEmpty() && own.startsWith(listedFolder) ? listedFolder : QByteArray("/");
    if (run.sourceFolder >= 0 && run.sourcePath == own && run.listedPath == root) return run.sourceFolder;
    if (run.sourceFolder >= 0) ::close(run.sourceFolder);
    run.sourceFolder = -1;
    if (run.listedFolder < 0 || run.listedPath != root) {
        if (run.listedFolder >= 0) ::close(run.listedFolder);
        QString why;
        run.listedFolder = root == "/" ? ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                       : OpenTrustedPath(TextFromBytes(root), O_RDONLY | O_DIRECTORY, &why);
        if (run.listedFolder < 0) {
            failed = failure(CopyResult::SourceFailed, errno);
            if (!why.isEmpty()) failed.description = why;
            run.listedPath.clear();
            return -1;
        }
        run.listedPath = root;
        if (run.mirrorSourceFolders) noteListedFolderBits(root, run.listedFolder, run);
    }
    Descriptor folder(::fcntl(run.listedFolder, F_DUPFD_CLOEXEC, 0));
    if (folder.fd < 0) {
        failed = failure(CopyResult::SourceFailed, errno);
        return -1;
    }
    const QByteArray below = own.mid(root.size());
    if (!below.isEmpty() &&
        !enterSourceLevels(folder, root, below, failed, run.mirrorSourceFolders ? &run.sourceFolderBits : nullptr))
        return -1;
    run.sourceFolder = folder.release();
    run.sourcePath = own;
    return run.sourceFolder;
}

// A temporary file in the folder named by our pattern; its name goes into name.
int createNamedTemporary(int folder, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName();
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// An unnamed file in the folder (it vanishes with a killed run), where the
// file system allows one and it can be given a name later; else a named one.
// name stays empty for an unnamed file.
int createTemporary(int folder, QByteArray& name) {
    name.clear();
    // Naming an unnamed file goes through /proc, unless the process may name
    // it by its descriptor alone.
    static const bool canName = ::geteuid() == 0 || ::access("/proc/self/fd", X_OK) == 0;
    if (unnamedAllowed && canName) {
        const int fd = ::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600);
        if (fd >= 0) return fd;
    }
    return createNamedTemporary(folder, name);
}

// Gives the unnamed file fd the name name in folder; fails with EEXIST when
// the name is taken.
int nameUnnamed(int fd, int folder, const char* name) {
    if (::linkat(fd, "", folder, name, AT_EMPTY_PATH) == 0) return 0;
    if (errno != ENOENT && errno != EPERM && errno != EINVAL) return -1;
    char path[40];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, path, folder, name, AT_SYMLINK_FOLLOW);
}

// Who the copy belongs to when it is to keep the owner of the file it replaces.
struct Owner {
    uid_t uid;
    gid_t gid;
};

// Gives the new file or folder fd the owner and group of the source (its status st)
// where they differ and the process may (run as root, or a group of its
// own), and returns the permission bits it may take: without the source's
// owner and group, no set-user-ID or set-group-ID bit, which would lend the
// copy's owner or group to whoever runs it.
mode_t takeSourceOwner(int fd, const struct stat& st) {
    const mode_t bits = st.st_mode & 07777;
    struct stat made {};
    if (::fstat(fd, &made) == 0 && made.st_uid == st.st_uid && made.st_gid == st.st_gid) return bits;
    if (::fchown(fd, st.st_uid, st.st_gid) == 0) return bits;
    return bits & ~mode_t(S_ISUID | S_ISGID);
}

// True when targetName in folder already is the source (its status st): the
// same path, a hard link to it, or, with follow, a link to it. Copying would
// only truncate or replace the original, so such a copy is refused.
bool isSource(int folder, const QByteArray& targetName, const struct stat& st, bool follow) {
    struct stat existing {};
    return ::fstatat(folder, targetName.constData(), &existing, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0 &&
           existing.st_dev == st.st_dev && existing.st_ino == st.st_ino;
}

CopyOutcome sameFile() {
    CopyOutcome same = failure(CopyResult::SameFile, EEXIST);
    same.description = QStringLiteral("The target is the source file itself");
    return same;
}

// Renames the complete temporary tempName over targetName. On failure, result
// says whether an older copy stood in the way (ReplaceFailed) or not.
bool renameOver(int folder, const QByteArray& tempName, const QByteArray& targetName, CopyResult& result, int& error) {
    if (::renameat(folder, tempName.constData(), folder, targetName.constData()) == 0) return true;
    error = errno;
    struct stat old {};
    const bool targetThere = ::fstatat(folder, targetName.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    result = targetThere ? CopyResult::ReplaceFailed : CopyResult::TargetFailed;
    return false;
}

CopyOutcome copied(qint64 bytes, const struct stat& st) {
    CopyOutcome done;
    done.bytes = bytes;
    done.modifiedSecs = qint64(st.st_mtim.tv_sec);
    return done;
}

// The target of the symbolic link name in folder, read whole (a link's size
// may be 0 on some file systems, or its target may have grown since its status).
bool readLinkTarget(int folder, const QByteArray& name, const struct stat& st, QByteArray& target) {
    size_t size = st.st_size > 0 ? size_t(st.st_size) + 1 : size_t(PATH_MAX);
    for (;;) {
        target.resize(qsizetype(size));
        const ssize_t n = ::readlinkat(folder, name.constData(), target.data(), size);
        if (n < 0) return false;
        if (size_t(n) < size) {
            target.resize(qsizetype(n));
            return true;
        }
        size *= 2;
    }
}

// Copies the symbolic link sourceName of sourceFolder (its status st) into
// folder as a link with the same target and the link's own time, made under a
// temporary name and renamed over the target. It belongs to owner (a restore
// run as root), else to the source link's owner where the process may give it.
CopyOutcome copyLink(int sourceFolder, const QByteArray& sourceName, const struct stat& st, int folder,
                     const QByteArray& targetName, const Owner* owner) {
    QByteArray linkTarget;
    if (!readLinkTarget(sourceFolder, sourceName, st, linkTarget)) return failure(CopyResult::SourceFailed, errno);
    if (isSource(folder, targetName, st, false)) return sameFile();
    QByteArray tempName;
    for (int attempt = 0;; ++attempt) {
        tempName = temporaryName();
        if (::symlinkat(linkTarget.constData(), folder, tempName.constData()) == 0) break;
        if (errno != EEXIST || attempt == 100) return failure(CopyResult::TargetFailed, errno);
    }
    auto discard = [&](CopyResult result, int error) {
        ::unlinkat(folder, tempName.constData(), 0);
        return failure(result, error);
    };
    if (owner && ::fchownat(folder, tempName.constData(), owner->uid, owner->gid, AT_SYMLINK_NOFOLLOW) != 0)
        return discard(CopyResult::TargetFailed, errno);
    // A link has no bits to lend: one that cannot be given away stays the process's.
    if (!owner) {
        [[maybe_unused]] const int given =
            ::fchownat(folder, tempName.constData(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::utimensat(folder, tempName.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return discard(CopyResult::TargetFailed, errno);
    CopyResult result;
    int error = 0;
    if (!renameOver(folder, tempName, targetName, result, error)) return discard(result, error);
    return copied(qint64(st.st_size), st);
}

// Copies the open regular file in (its status st) into folder under
// targetName, through a temporary file that takes the name only when it is
// complete. It belongs to owner (a restore run as root), else to the source's
// owner and group where the process may give them (takeSourceOwner).
CopyOutcome copyFile(int in, const struct stat& st, int folder, const QByteArray& targetName, const Owner* owner) {
    // A link to the source, or the backup folder laid over the source folder,
    // is the source too.
    if (isSource(folder, targetName, st, true)) return sameFile();

    QByteArray tempName;  // empty while the temporary file has no name
    Descriptor out(createTemporary(folder, tempName));
    if (out.fd < 0) return failure(CopyResult::TargetFailed, errno);
    auto discard = [&](CopyResult result, int error) {
        if (out.fd >= 0) ::close(out.release());
        if (!tempName.isEmpty()) ::unlinkat(folder, tempName.constData(), 0);
        return failure(result, error);
    };

    bool readFailed = false;
    qint64 bytes = 0;
    const bool ok =
        mayHaveHoles(st) ? copySparse(in, out.fd, readFailed, bytes) : copyData(in, out.fd, readFailed, bytes);
    if (!ok) return discard(readFailed ? CopyResult::SourceFailed : CopyResult::TargetFailed, errno);
    // The owner first: changing it clears the set-user and set-group bits.
    mode_t bits = st.st_mode & 07777;
    if (owner) {
        if (::fchown(out.fd, owner->uid, owner->gid) != 0) return discard(CopyResult::TargetFailed, errno);
    } else {
        bits = takeSourceOwner(out.fd, st);
    }
    if (::fchmod(out.fd, bits) != 0) return discard(CopyResult::TargetFailed, errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.fd, times) != 0) return discard(CopyResult::TargetFailed, errno);

    if (tempName.isEmpty()) {
        // The complete unnamed file takes the target's name at once where
        // there is none yet; an older copy is replaced through a rename.
        if (nameUnnamed(out.fd, folder, targetName.constData()) == 0) {
            if (::close(out.release()) != 0) {
                const int error = errno;
                ::unlinkat(folder, targetName.constData(), 0);
                return failure(CopyResult::TargetFailed, error);
            }
            return copied(bytes, st);
        }
        for (int attempt = 0; errno == EEXIST && attempt < 100; ++attempt) {
            const QByteArray candidate = temporaryName();
            if (nameUnnamed(out.fd, folder, candidate.constData()) == 0) {
                tempName = candidate;
                break;
            }
        }
        if (tempName.isEmpty()) return discard(CopyResult::TargetFailed, errno);
    }
    if (::close(out.release()) != 0) return discard(CopyResult::TargetFailed, errno);

    CopyResult result;
    int error = 0;
    if (!renameOver(folder, tempName, targetName, result, error)) return discard(result, error);
    return copied(bytes, st);
}

// The target folder of a copy in run: the backup folder itself, the folder
// held for the last copy when it is the same relative folder, else its
// levels made and entered from the backup folder, cleared of leftovers and
// held for the next copy. entered tells that the folder was entered now.
int runTargetFolder(CopyRun& run, const QString& root, const QString& relativeFolder, bool& entered,
                    CopyOutcome& failed) {
    entered = false;
    if (!run.backupFolderTried) run.openBackupFolder(root, QString(), run.backupFolderError);
    if (run.backupFolder < 0) {
        failed = failure(CopyResult::TargetFailed, run.backupFolderError);
        if (!run.backupFolderReason.isEmpty()) failed.description = run.backupFolderReason;
        return -1;
    }
    const QByteArray levels = levelsOf(relativeFolder);
    if (levels.isEmpty()) {
        struct stat made {};
        if (!run.backupFolderCleared && ::fstat(run.backupFolder, &made) == 0) {
            clearLeftovers(run.backupFolder, made, run);
            run.backupFolderCleared = true;
        }
        return run.backupFolder;
    }
    if (run.heldFolder >= 0 && run.heldRelative == relativeFolder) return run.heldFolder;
    run.release();
    Descriptor folder(::fcntl(run.backupFolder, F_DUPFD_CLOEXEC, 0));
    if (folder.fd < 0) {
        failed = failure(CopyResult::TargetFailed, errno);
        return -1;
    }
    failed = enterFolders(folder, levels, run.mirrorSourceFolders ? &run : nullptr);
    if (!failed.ok()) return -1;
    struct stat made {};
    if (::fstat(folder.fd, &made) == 0) clearLeftovers(folder.fd, made, run);
    entered = true;
    run.heldFolder = folder.release();
    run.heldRelative = relativeFolder;
    return run.heldFolder;
}

CopyOutcome copyBelow(const QString& source, const QString& root, const QString& relativeFolder, const QString& name,
                      CopyRun* run, bool keepOwner, const QString& listedFolder) {
    const QByteArray sourcePath = BytesFromText(source);
    const QByteArray targetName = BytesFromText(name);
    if (targetName.isEmpty() || targetName.contains('/')) return failure(CopyResult::TargetFailed, EINVAL);
    if (beforeCopyStep) beforeCopyStep(source);

    // Opened and read without blocking: a name that has become a FIFO since the
    // scan would otherwise wait for a writer for ever, and some regular files
    // of the kernel's own file systems wait for data that may never come. A
    // symbolic link is not followed: it is copied as a link. Nor is a link
    // followed on the way from the listed folder to it.
    Descriptor ownSourceFolder;
    int sourceFolder = -1;
    QByteArray sourceName;
    CopyOutcome refused;
    if (run) {
        QByteArray listed = BytesFromText(listedFolder);
        if (!listed.isEmpty() && !listed.endsWith('/')) listed += '/';
        sourceFolder = runSourceFolder(sourcePath, listed, *run, sourceName, refused);
        if (sourceFolder < 0) return refused;
    } else {
        if (!openOwnSourceFolder(sourcePath, ownSourceFolder, sourceName, refused)) return refused;
        sourceFolder = ownSourceFolder.fd;
    }
    struct stat st {};
    Descriptor in(::openat(sourceFolder, sourceName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (in.fd < 0) {
        const int error = errno;
        if (error != ELOOP || ::fstatat(sourceFolder, sourceName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(st.st_mode))
            return failure(CopyResult::SourceFailed, error);
    } else {
        if (::fstat(in.fd, &st) != 0) return failure(CopyResult::SourceFailed, errno);
        if (S_ISDIR(st.st_mode)) return failure(CopyResult::SourceFailed, EISDIR);
        if (!S_ISREG(st.st_mode)) return failure(CopyResult::SourceFailed, EINVAL);
    }

    if (run) {
        // The root is the folder the caller chose; below it no link is
        // followed. A run reaches every folder from the backup folder it
        // holds open. A held folder deleted since the last copy is made and
        // entered afresh once.
        for (int attempt = 0;; ++attempt) {
            bool entered = false;
            CopyOutcome failed;
            const int folder = runTargetFolder(*run, root, relativeFolder, entered, failed);
            if (folder < 0) return failed;
            CopyOutcome done = in.fd < 0 ? copyLink(sourceFolder, sourceName, st, folder, targetName, nullptr)
                                         : copyFile(in.fd, st, folder, targetName, nullptr);
            if (done.ok() || entered || attempt > 0 || folder == run->backupFolder ||
                done.result != CopyResult::TargetFailed || done.error != ENOENT)
                return done;
            run->release();
        }
    }

    // Outside a run the root is the folder of the target's path.
    Descriptor ownFolder(::open(BytesFromText(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (ownFolder.fd < 0) return failure(CopyResult::TargetFailed, errno);
    const CopyOutcome entered = enterFolders(ownFolder, BytesFromText(relativeFolder), nullptr);
    if (!entered.ok()) return entered;

    // Only root may give a file away; for anyone else the copy is their own.
    Owner owner{};
    const Owner* keep = nullptr;
    struct stat original {};
    if (keepOwner && ::geteuid() == 0 &&
        ::fstatat(ownFolder.fd, targetName.constData(), &original, AT_SYMLINK_NOFOLLOW) == 0) {
        owner = {original.st_uid, original.st_gid};
        keep = &owner;
    }
    return in.fd < 0 ? copyLink(sourceFolder, sourceName, st, ownFolder.fd, targetName, keep)
                     : copyFile(in.fd, st, ownFolder.fd, targetName, keep);
}

}  // namespace

bool IsTemporaryCopyName(const QByteArray& name) {
    const qsizetype prefix = qsizetype(std::strlen(kTemporaryCopyPrefix));
    if (name.size() != prefix + kTemporaryDigits + qsizetype(std::strlen(kTemporaryCopySuffix)) ||
        !name.startsWith(kTemporaryCopyPrefix) || !name.endsWith(kTemporaryCopySuffix))
        return false;
    for (qsizetype i = prefix; i < prefix + kTemporaryDigits; ++i)
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'f'))) return false;
    return true;
}

CopyRun::~CopyRun() {
    finishFolders();
    release();
    if (backupFolder >= 0) ::close(backupFolder);
    if (listedFolder >= 0) ::close(listedFolder);
    if (sourceFolder >= 0) ::close(sourceFolder);
}

void CopyRun::release() {
    if (heldFolder >= 0) ::close(heldFolder);
    heldFolder = -1;
}

bool CopyRun::openBackupFolder(const QString& destination, const QString& level, int& error) {
    backupFolderTried = true;
    backupFolderCleared = false;
    backupFolderReason.clear();
    release();
    if (backupFolder >= 0) ::close(backupFolder);
    backupFolder = -1;
    const auto fail = [&](int errorNumber, const QString& reason) {
        error = errorNumber;
        backupFolderError = errorNumber;
        backupFolderReason = reason.isEmpty() ? QString::fromLocal8Bit(std::strerror(errorNumber)) : reason;
        return false;
    };
    // The destination is the user's choice and may be a link (run as root,
    // one root owns); the level made in it is the run's own and is never
    // reached through one.
    QString why;
    Descriptor base(OpenTrustedPath(destination, O_RDONLY | O_DIRECTORY, &why));
    if (base.fd < 0) return fail(errno, why);
    if (level.isEmpty()) {
        backupFolder = base.release();
        error = 0;
        return true;
    }
    const QByteArray name = BytesFromText(level);
    if (name.contains('/') || name == "." || name == "..") return fail(EINVAL, {});
    const bool made = ::mkdirat(base.fd, name.constData(), NewFolderMode()) == 0;
    if (!made && errno != EEXIST) return fail(errno, {});
    Descriptor folder(::openat(base.fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.fd < 0) {
        const int openError = errno;
        // The kernel says "Not a directory" of a link too: the log names it.
        struct stat st {};
        const bool isLink = ::fstatat(base.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
        const QString path = (destination.endsWith('/') ? destination : destination + '/') + level;
        return fail(openError, isLink ? path + " is a link, which the run does not follow" : QString());
    }
    // A folder somebody else made, or may write in, before the run would
    // hand them root's copies of every user's files.
    struct stat st {};
    if (!made && ::fstat(folder.fd, &st) != 0) return fail(errno, {});
    if (const QString foreign = made ? QString() : foreignFolder(st, nullptr); !foreign.isEmpty())
        return fail(EPERM, TextFromBytes(BytesFromText(destination)) + '/' + level + " is not used - " + foreign);
    backupFolder = folder.release();
    error = 0;
    return true;
}

QStringList CopyRun::finishFolders() {
    QStringList failures;
    if (pendingFolders.empty()) return failures;
    std::vector<std::pair<QByteArray, FolderBits>> folders(pendingFolders.begin(), pendingFolders.end());
    pendingFolders.clear();
    // The deepest first: a folder that loses its owner's search bit must not
    // lock out the folders below it.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const auto& a, const auto& b) { return a.first.count('/') > b.first.count('/'); });
    release();
    for (const auto& [relative, bits] : folders) {
        Descriptor folder(backupFolder >= 0 ? ::fcntl(backupFolder, F_DUPFD_CLOEXEC, 0) : -1);
        const CopyOutcome entered =
            folder.fd < 0 ? failure(CopyResult::FolderFailed, errno) : enterFolders(folder, relative, nullptr, false);
        // A backup folder removed since has nothing left to protect.
        if (entered.error == ENOENT) continue;
        int error = entered.ok() ? 0 : entered.error;
        // As a copy: the source folder's owner and group where they may be
        // given, as the run read them from the source folder it held.
        struct stat original {};
        original.st_uid = uid_t(bits.uid);
        original.st_gid = gid_t(bits.gid);
        original.st_mode = mode_t(bits.mode);
        if (error == 0 && ::fchmod(folder.fd, takeSourceOwner(folder.fd, original)) != 0) error = errno;
        if (error != 0) failures << TextFromBytes(relative) + " - " + QString::fromLocal8Bit(std::strerror(error));
    }
    return failures;
}

void SetCopyChunkSize(qint64 bytes) { chunkBytes = bytes > 0 ? bytes : kDefaultChunk; }

void SetCopyChunkPacer(std::function<void()> pacer) { chunkPacer = std::move(pacer); }

void SetUnnamedTemporaryCopies(bool allowed) { unnamedAllowed = allowed; }

void SetBeforeCopyStep(std::function<void(const QString&)> step) { beforeCopyStep = std::move(step); }

void SetSourceOpenedLevelByLevel(bool levelByLevel) { resolveInOneCall = !levelByLevel; }
void SetCopyOffload(bool allowed) { offloadAllowed = allowed; }

CopyOutcome CopyFileKeepingTimes(const QString& source, const QString& target) {
    const QFileInfo info(target);
    return copyBelow(source, info.path(), QString(), info.fileName(), nullptr, false, {});
}

CopyOutcome RestoreFileCopy(const QString& copy, const QString& original) {
    const QFileInfo info(original);
    return copyBelow(copy, info.path(), QString(), info.fileName(), nullptr, true, {});
}

CopyOutcome CopyFileBelow(const QString& source, const QString& root, const QString& relativeFolder,
                          const QString& name, CopyRun* run, const QString& listedFolder) {
    return copyBelow(source, root, relativeFolder, name, run, false, listedFolder);
}

}  // namespace platform
