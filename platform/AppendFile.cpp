#include "platform/AppendFile.h"

#include "platform/ByteText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {

AppendFile::~AppendFile() { close(); }

bool AppendFile::open(const QString& path, bool truncate) {
    close();
    m_path = path;
    m_encodedPath = BytesFromText(path);
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
    m_fd = ::open(m_encodedPath.constData(), flags, 0666);
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) == 0) {
        m_device = quint64(st.st_dev);
        m_inode = quint64(st.st_ino);
    }
    m_error = 0;
    return true;
}

void AppendFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool AppendFile::append(const QByteArray& data) {
    if (m_fd < 0) {
        m_error = EBADF;
        return false;
    }
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            m_error = errno;
            return false;
        }
        if (n == 0) {
            m_error = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool AppendFile::stillAtPath() const {
    if (m_fd < 0) return false;
    struct stat st {};
    return ::stat(m_encodedPath.constData(), &st) == 0 && quint64(st.st_dev) == m_device &&
           quint64(st.st_ino) == m_inode;
}

QString AppendFile::errorString() const { return QString::fromLocal8Bit(std::strerror(m_error)); }

}  // namespace platform
