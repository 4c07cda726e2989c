#pragma once
// Builds small folder trees for the walk and scan tests.
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
