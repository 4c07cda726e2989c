#pragma once
// Replacing a whole file safely: the new content goes to a temporary file
// beside it, every write and the final flush to the disk are checked, and only
// then is the temporary file renamed over the old one. Any failure removes the
// temporary file and leaves the old file exactly as it was.
//
// A symbolic link, folder, FIFO, device or socket in the file's place is
// refused, never written through: QSaveFile would otherwise replace the file
// the link points to. The temporary file is made new and exclusively (it can
// be neither a link nor a file that was there), and the final rename replaces
// the name itself, so a link put in place after the check is replaced by the
// new file and the file it points to stays untouched.
#include <QByteArray>
#include <QString>

class QSaveFile;

namespace platform {

// Opens file (a QSaveFile naming the file to replace) for writing. Fails, with
// the reason in why, when something other than a regular file is at its name,
// when the file exists and is read-only (its owner has no write permission:
// the file is then never replaced, whoever runs the program) or when the
// temporary file cannot be made.
bool OpenSaveFile(QSaveFile& file, QString* why);

// Flushes what was written, forces it to the disk and renames the temporary
// file over the old one. On a failure, or when a write before it failed, the
// temporary file is removed, the old file stays and why holds the reason.
bool CommitSaveFile(QSaveFile& file, QString* why);

// Opens, writes data and commits as above.
bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why);

}  // namespace platform
