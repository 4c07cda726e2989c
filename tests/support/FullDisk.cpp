#include "support/FullDisk.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

FullDisk::FullDisk() {
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=256k,mode=0777") == 0;
}

FullDisk::~FullDisk() {
    if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void FullDisk::fill() {
    const int fd = ::open(QFile::encodeName(path("filler")).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    static const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {}
    // Whatever space is left below one block goes too.
    while (::write(fd, block, 1) > 0) {}
    ::close(fd);
}

QStringList FullDisk::names() const {
    return QDir(m_dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
