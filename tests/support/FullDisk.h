#pragma once
// A small file system of its own (tmpfs) for one test, which fill() makes
// full, so that the next write into it fails for lack of space. Mounting needs
// root; where it is not allowed, mounted() is false and the test skips.
#include <QString>
#include <QTemporaryDir>

class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_dir.path() + '/' + name; }
    // Takes every free block with a filler file ("filler").
    void fill();
    // The names in the file system, sorted: what a failed write left behind.
    QStringList names() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
