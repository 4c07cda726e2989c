#pragma once
// Builds small folder trees for the walk and scan tests.
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

// Makes a file (and its folders) holding size bytes, last modified at when.
inline void MakeFile(const QString& path, const QDateTime& when, qint64 size = 0) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    if (size > 0) {
        ASSERT_TRUE(f.resize(size));
    }
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

inline void MakeFolder(const QString& path) { ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString(); }

// Makes a symbolic link to target (which need not exist), the link itself
// last modified at when.
inline void MakeLink(const QString& target, const QString& path, const QDateTime& when) {
    ASSERT_TRUE(QFile::link(target, path)) << path.toStdString();
    const struct timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}
