#pragma once
// Replacing a whole file safely: the new content goes to a temporary file
// beside it, every write and the final flush to the disk are checked, and only
// then is the temporary file renamed over the old one. Any failure removes the
// temporary file and leaves the old file exactly as it was.
//
// A folder, FIFO, device or socket in the file's place is refused. So is a
// symbolic link for the files the programs keep for themselves (lists and
// logs of a run), which would otherwise replace the file the link points to.
// The file's folder is opened once and everything after happens in it: the
// temporary file is made there new and exclusively (it can be neither a link
// nor a file that was there), and the final rename replaces the name itself,
// so a link put in place after the check is replaced by the new file and the
// file it points to stays untouched. Run as root, the folder is reached under
// the link rule of TrustedLinks.h.
//
// The user's own settings and list files may be links to files kept
// elsewhere, and are saved as text editors save them: the file at the end of
// the links is replaced through a temporary file in its own folder and a
// rename, and the links stay as they are. Run as root, only links root owns
// are saved through, anywhere on the path.
#include <QByteArray>
#include <QString>

namespace platform {

// What a save does with a symbolic link at the file's name.
enum class LinkRule {
    Refuse,       // an error: the link and the file it points to stay as they are
    SaveThrough,  // the file the links lead to is replaced (made when missing); the links stay
};

// The file a save of fileName replaces: fileName itself, or with SaveThrough
// the end of its chain of links (relative targets read from the link's own
// folder). Run as root, SaveThrough gives the path with every link on it
// resolved, and refuses a link root does not own anywhere on it, the file's
// own chain and its folders alike (TrustedLinks.h). False, with the reason in
// why, for a refused link (the reason names it and its owner), a chain of
// links that does not end (ELOOP) or a link that cannot be read.
bool SaveTarget(const QString& fileName, LinkRule rule, QString& target, QString* why);

// Replaces the file (SaveTarget) with data: written whole to a temporary file
// in its folder, every write checked and forced to the disk, then renamed
// over it. Fails, with the reason in why and the old file as it was, when
// something other than a regular file is at its name, when the file exists
// and is read-only (its owner has no write permission: the file is then never
// replaced, whoever runs the program), or when any step fails. A replaced
// file keeps its permission bits; a new one is private run as root
// (NewFileMode), else as the umask leaves it.
bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why, LinkRule rule = LinkRule::Refuse);

}  // namespace platform
