#pragma once
// What the file-properties report needs to know about one file, read in one
// go: whether it is there and can be opened, its kind, size, owner write
// permission, its three times and the file system's compression flag.
#include <QDateTime>
#include <QString>

namespace platform {

struct FileDetails {
    bool found = false;   // the path names something (links are followed)
    bool opened = false;  // it could be opened for reading
    bool isFile = false;  // a regular file
    bool isFolder = false;
    bool ownerCanWrite = false;
    qint64 size = 0;
    // In UTC. created is the birth time where the file system records it, else
    // the last-modified time. Invalid unless timesRead.
    bool timesRead = false;
    QDateTime created;
    QDateTime accessed;
    QDateTime modified;
    // The file system's compression attribute (FS_COMPR_FL); false where the
    // file system keeps no such flag.
    bool compressed = false;
};

// Reads the details of path. A path that cannot be opened (missing, a socket,
// no permission) has opened false; found still tells whether it exists.
FileDetails GetFileDetails(const QString& path);

}  // namespace platform
