#pragma once
// Copying one file into place without ever destroying an older copy: the data
// goes into a temporary file in the target's folder, which takes the source's
// permission bits and modification time and is then renamed over the target.
// The kernel's copy offload is used where the file systems allow it.
#include <QString>

namespace platform {

enum class CopyResult {
    Copied,         // the target now holds the source's data
    SourceFailed,   // the source could not be opened or read (missing, a folder, I/O error)
    TargetFailed,   // the temporary file could not be created or written (folder missing, disk full)
    ReplaceFailed,  // the data was copied but the existing target could not be replaced
};

struct CopyOutcome {
    CopyResult result = CopyResult::Copied;
    int error = 0;        // the system's error number, 0 when copied
    QString description;  // the system's text for it
    bool ok() const { return result == CopyResult::Copied; }
};

// Copies the regular file source to the file path target. On any failure the
// target is left exactly as it was and no temporary file remains. A target that
// already is the source file (same file system object) is left alone and counts
// as copied. A source that is no regular file (a folder, a FIFO) fails at once.
CopyOutcome CopyFileKeepingTimes(const QString& source, const QString& target);

}  // namespace platform
