#include "backup/RunLock.h"

#include "backup/BackupValues.h"
#include "foundation/Logging.h"
#include "platform/AppendFile.h"
#include "platform/ByteText.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/SystemInfo.h"

#include <QLockFile>
#include <QThread>

#include <cerrno>

namespace {
int& depth() {
    static int d = 0;
    return d;
}

// True when the lock file names no holder, read twice a moment apart: a run
// that has just made the file writes its holder right after.
bool holderUnreadable(const QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString program;
    if (lock.getLockInfo(&pid, &host, &program)) return false;
    QThread::msleep(100);
    return !lock.getLockInfo(&pid, &host, &program);
}
}  // namespace

RunLock::RunLock() = default;

RunLock::~RunLock() {
    if (m_nested || m_lock) --depth();
}

QString RunLock::path() { return platform::ProgramFolder() + QStringLiteral("/corvex.lock"); }

bool RunLock::take(bool showBox) {
    if (m_nested || m_lock) return true;
    if (depth() > 0) {
        m_nested = true;
        ++depth();
        return true;
    }
    // The lock is never read or written through a link, nor opened when a
    // FIFO or other special file is in its place (reading a FIFO would wait
    // for ever). Such a thing is no lock of ours: an error, and the run goes on
    // without a lock, as when the folder cannot hold one.
    const platform::EntryKind kind = platform::GetEntryKind(platform::BytesFromText(path()));
    if (kind != platform::EntryKind::File && kind != platform::EntryKind::Unknown) {
        const int error = kind == platform::EntryKind::Link     ? ELOOP
                          : kind == platform::EntryKind::Folder ? EISDIR
                                                                : platform::kNotARegularFile;
        WriteLog("Cant use the lock file " + path() + " - " + platform::WriteErrorText(error) +
                     " - the run goes on without it",
                 0);
        ++RunErrors;
        m_nested = true;
        ++depth();
        return true;
    }
    auto lock = std::make_unique<QLockFile>(path());
    // A run may last for hours: only a holder that is gone makes the lock stale.
    lock->setStaleLockTime(0);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() == QLockFile::LockFailedError && holderUnreadable(*lock)) {
        // Left empty or garbled by a power cut: no run can ever be shown to
        // hold it, so it would stop every later run.
        WriteLog("The lock file " + path() + " names no holder - taken over as stale", 0);
        lock->removeStaleLockFile();
        locked = lock->tryLock(0);
    }
    if (locked) {
        m_lock = std::move(lock);
        ++depth();
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock file (read-only, say): back up all the same.
        WriteLog("Cant create the lock file " + path() + " - the run goes on without it", 0);
        m_nested = true;
        ++depth();
        return true;
    }
    WriteLog("Another backup run holds " + path() + " - nothing backed up", 0);
    ++RunErrors;
    if (showBox)
        platform::MsgBox("Another backup is running from " + platform::ProgramFolder() +
                             ".\r\nWait until it has finished, then start the backup again.",
                         platform::Buttons::OK, platform::Icon::Information, QStringLiteral("Backup already running"));
    return false;
}
