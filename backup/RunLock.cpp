#include "backup/RunLock.h"

#include "backup/BackupValues.h"
#include "foundation/Logging.h"
#include "platform/Dialogs.h"
#include "platform/SystemInfo.h"

#include <QLockFile>

namespace {
int& depth() {
    static int d = 0;
    return d;
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
    auto lock = std::make_unique<QLockFile>(path());
    // A run may last for hours: only a holder that is gone makes the lock stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
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
