#pragma once
// One rule for the symbolic links on a path the programs reach by name (the
// destination, a listed folder, the settings file and lists, the planner's
// data folder): run as root, a link that root does not own is never
// followed, anywhere on the path. Root can write everywhere, so a link that
// an ordinary user made or owns would let her point root's reads and writes
// at files she may not touch (the kernel's protected-links idea, made strict
// for the one user it does not restrain). Links root owns (/bin, /var/run)
// are followed, and a program run by an ordinary user follows every link.
#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace platform {

// True when the rule refuses links root does not own: the process (its
// file-system identity) runs as root.
bool RefusesForeignLinks();

// The path with every link on it replaced by what it leads to, "." and ".."
// taken out; with followLast false the last component stays as it is, link
// or not. Components that do not exist (yet) are kept as written. False, with
// the reason in why, when a link on the way is refused (the reason names the
// link and its owner: "/media/anna/disk/backup is a link owned by anna"),
// cannot be read, or the chain of links does not end. A relative path is
// taken from the working folder.
bool ResolveTrustedPath(const QString& path, bool followLast, QString& resolved, QString* why);

// Opens path with flags (and mode when O_CREAT is among them) under the same
// rule: where it refuses links, the path is resolved as above and then opened
// without following any link, so a folder swapped for a link after the
// resolution fails the open instead of being followed. Otherwise the path is
// opened as given (and flags decide about its last component). -1 with errno
// set and why filled on failure.
int OpenTrustedPath(const QString& path, int flags, QString* why, mode_t mode = 0);

// Opens the folder that holds path's last component (O_PATH, so that a
// folder one may write but not list can be opened too) under the same rule,
// and gives that component's name. -1 with errno set and why filled on
// failure; a path whose last component names no file ("/", "x/..") is EISDIR.
int OpenTrustedFolderOf(const QString& path, QByteArray& name, QString* why);

// True when the rule refuses path: the process runs as root and a link on it
// (its last component included) is not root's, or its chain of links does
// not end; why then names the link and its owner as above. Always false for
// an ordinary user.
bool RefusedPath(const QString& path, QString* why);

// What a read of a whole file under the rule found.
enum class TrustedRead {
    Read,     // data holds the file's bytes
    Missing,  // nothing at all at the path, not even a link
    Refused,  // run as root, a link on the path is refused (why names it and its owner)
    Failed,   // a folder, FIFO, device, a link that leads nowhere, no permission, a read error
};

// Reads the regular file at path whole, opened with OpenTrustedPath and
// never waiting on a FIFO. why says what went wrong unless the result is Read.
TrustedRead ReadTrustedFile(const QString& path, QByteArray& data, QString* why);

}  // namespace platform
