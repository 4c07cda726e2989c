#pragma once
// Replacing a whole file safely: the new content goes to a temporary file
// beside it, every write and the final flush to the disk are checked, and only
// then is the temporary file renamed over the old one. Any failure removes the
// temporary file and leaves the old file exactly as it was.
//
// A folder, FIFO, device or socket in the file's place is refused. So is a
// symbolic link for the files the programs keep for themselves (lists and
// logs of a run): QSaveFile would otherwise replace the file the link points
// to. The temporary file is made new and exclusively (it can be neither a
// link nor a file that was there), and the final rename replaces the name
// itself, so a link put in place after the check is replaced by the new file
// and the file it points to stays untouched.
//
// The user's own settings and list files may be links to files kept
// elsewhere, and are saved as text editors save them: the file at the end of
// the links is replaced through a temporary file in its own folder and a
// rename, and the links stay as they are.
#include <QByteArray>
#include <QString>

class QSaveFile;

namespace platform {

// What a save does with a symbolic link at the file's name.
enum class LinkRule {
    Refuse,       // an error: the link and the file it points to stay as they are
    SaveThrough,  // the file the links lead to is replaced (made when missing); the links stay
};

// The file a save of fileName replaces: fileName itself, or with SaveThrough
// the end of its chain of links (relative targets read from the link's own
// folder). False, with the reason in why, for a chain of links that does not
// end (ELOOP) or a link that cannot be read.
bool SaveTarget(const QString& fileName, LinkRule rule, QString& target, QString* why);

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

// Opens, writes data and commits as above, following rule for a link at the
// file's name.
bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why, LinkRule rule = LinkRule::Refuse);

}  // namespace platform
