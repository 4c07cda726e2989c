#pragma once
// The machine's drives: "/" first, then the mount points of real file systems.
#include <QSet>
#include <QString>
#include <QStringList>

namespace platform {

enum class DriveType { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

// "/" first, then the mount points of the mount table (each once, in table
// order), leaving out virtual file systems (proc, sysfs, cgroup, devpts, ...).
QStringList LogicalDrives();
// The same, from the text of a mount table in /proc/mounts form.
QStringList LogicalDrivesFromMountTable(const QString& mountTable);

// The devices (as a file's status gives them) of the virtual file systems
// mounted now: the ones LogicalDrives leaves out. A walk never descends into them.
QSet<quint64> VirtualFileSystemDevices();
// The same, from the text of a mount table in /proc/self/mountinfo form.
QSet<quint64> VirtualFileSystemDevicesFromMountInfo(const QString& mountInfo);

// The kind of drive a mount point is: remote for network file systems, CD-ROM
// for disc images, RAM disk for memory file systems, removable below /media or
// /run/media, fixed otherwise. A path that is not a mount point gives NoRootDir.
DriveType GetDriveType(const QString& mountPoint);
DriveType DriveTypeOf(const QString& mountPoint, const QString& fileSystemType);

}  // namespace platform
