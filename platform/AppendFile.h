#pragma once
// Opening a file the program writes, and a file held open for appending.
//
// Every file the programs write or append to (their lists, logs, the lock,
// the test file of a destination, the lines of cFileIO) is opened through
// OpenForWriting: never through a symbolic link in the last component of its
// path, and only when it is a regular file or absent. A FIFO, device, socket
// or folder in its place is refused without waiting (the open does not block
// on a FIFO that has no reader), so a link or special file planted where the
// program writes can neither redirect a write nor hang a run.
#include <QByteArray>
#include <QString>

namespace platform {

enum class WriteOpen {
    Append,    // writes go to the end; the content stays
    Truncate,  // the content goes first; writes go to the end
};

// The error of an open refused because something other than a regular file
// is in the way (a FIFO, device or socket). Outside the range of errno values.
inline constexpr int kNotARegularFile = 0x10000;

// The modes of the files and folders the programs make for themselves (their
// lists, logs, backup folders): private (0600, 0700) when run as root, whose
// lists name every file of every user; else 0666 and 0777 less the umask.
unsigned NewFileMode();
unsigned NewFolderMode();

// Who owns a file that a run as root makes.
enum class NewFileOwner {
    Program,      // root, private (NewFileMode): the run's own lists and logs
    FolderOwner,  // the owner of the folder it is made in, with the group her
                  // own file would get there, private (0600): files kept for
                  // another program of hers (the planner's data files)
};

// Opens path for writing, creating it when absent (NewFileMode, or handed
// over to the folder's owner before anything is written, as owner says).
// Run as root, path is reached under the link rule of TrustedLinks.h.
// Returns the descriptor (blocking, close-on-exec), or -1 with error set:
// ELOOP for a symbolic link (or a refused one on the way), EISDIR for a
// folder, kNotARegularFile for a FIFO, device or socket, else the system's
// error. The null device is accepted as the sink it is; nobody but root can
// put one in place of a file.
int OpenForWriting(const QString& path, WriteOpen mode, int& error, NewFileOwner owner = NewFileOwner::Program);

// The reason for an error of OpenForWriting, AppendFile or a write, as text.
QString WriteErrorText(int error);

// Appends data to path (opened as above) and closes it again. False, with the
// error in *error when given, unless all of it was written.
bool AppendToFile(const QString& path, const QByteArray& data, int* error = nullptr,
                  NewFileOwner owner = NewFileOwner::Program);

// A file held open for appending. Each line goes to the file with one write,
// so it is in the file (and visible to a reader) as soon as append returns,
// without opening and closing the file for every line.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens path for appending (OpenForWriting), creating it (owned as owner
    // says); with truncate, any earlier content goes. False (and error() says
    // why) when it cannot be opened.
    bool open(const QString& path, bool truncate = false, NewFileOwner owner = NewFileOwner::Program);
    // Makes name afresh in the open folder and opens it: a regular file of
    // that name is replaced by a new, empty one (NewFileMode), so nobody who
    // held the old one open reads the new lines; a link, folder or special
    // file in its place is refused (ELOOP, EISDIR, kNotARegularFile). path
    // names the file in messages.
    bool openNew(int folder, const QString& name, const QString& path);
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    void close();

    // Appends data at the end of the file. True only when all of it was written.
    bool append(const QByteArray& data);

    // True when path still names the open file: it has not been deleted,
    // renamed or replaced since it was opened. One status call.
    bool stillAtPath() const;

    int error() const { return m_error; }
    QString errorString() const;

private:
    int m_fd = -1;
    int m_error = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    QString m_path;
    QByteArray m_encodedPath;
};

}  // namespace platform
