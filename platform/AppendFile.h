#pragma once
// A file held open for appending. Each line goes to the file with one write,
// so it is in the file (and visible to a reader) as soon as append returns,
// without opening and closing the file for every line.
#include <QByteArray>
#include <QString>

namespace platform {

class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens path for appending, creating it; with truncate, any earlier
    // content goes. False (and error() says why) when it cannot be opened.
    bool open(const QString& path, bool truncate = false);
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
