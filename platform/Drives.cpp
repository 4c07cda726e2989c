#include "platform/Drives.h"

#include <QFile>
#include <QSet>

#include <sys/sysmacros.h>

namespace platform {
namespace {

const QSet<QString>& virtualFileSystems() {
    static const QSet<QString> names = {"proc",      "sysfs",        "cgroup",          "cgroup2",     "devpts",
                                        "devtmpfs",  "mqueue",       "debugfs",         "tracefs",     "securityfs",
                                        "pstore",    "bpf",          "configfs",        "fusectl",     "hugetlbfs",
                                        "autofs",    "binfmt_misc",  "efivarfs",        "rpc_pipefs",  "nsfs",
                                        "selinuxfs", "overlay-proc", "fuse.gvfsd-fuse", "fuse.portal", "rootfs"};
    return names;
}

// /proc/mounts escapes blanks and a few other characters as octal "\040".
QString unescapeMountField(const QString& field) {
    QString out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

struct Mount {
    QString point;
    QString type;
};

QList<Mount> parseMounts(const QString& table) {
    QList<Mount> mounts;
    for (const QString& line : table.split('\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() < 3) continue;
        mounts.append({unescapeMountField(f[1]), f[2]});
    }
    return mounts;
}

QString readMountTable() {
    QFile f(QStringLiteral("/proc/mounts"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

}  // namespace

QSet<quint64> VirtualFileSystemDevicesFromMountInfo(const QString& mountInfo) {
    // Each line: id, parent id, major:minor, root, mount point, options,
    // optional fields, "-", file system type, source, super options.
    QSet<quint64> devices;
    for (const QString& line : mountInfo.split('\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        const qsizetype dash = f.indexOf(QStringLiteral("-"));
        if (f.size() < 5 || dash < 0 || dash + 1 >= f.size()) continue;
        // The root file system of an early boot stage counts as a real one here.
        const QString& type = f[dash + 1];
        if (type == QLatin1String("rootfs") || !virtualFileSystems().contains(type)) continue;
        const QStringList number = f[2].split(':');
        bool majorOk = false;
        bool minorOk = false;
        const uint major = number.value(0).toUInt(&majorOk);
        const uint minor = number.value(1).toUInt(&minorOk);
        if (majorOk && minorOk) devices.insert(quint64(makedev(major, minor)));
    }
    return devices;
}

QSet<quint64> VirtualFileSystemDevices() {
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return VirtualFileSystemDevicesFromMountInfo(QString::fromLocal8Bit(f.readAll()));
}

QStringList LogicalDrivesFromMountTable(const QString& mountTable) {
    QStringList drives{QStringLiteral("/")};
    for (const Mount& m : parseMounts(mountTable)) {
        if (virtualFileSystems().contains(m.type) || drives.contains(m.point)) continue;
        drives << m.point;
    }
    return drives;
}

QStringList LogicalDrives() { return LogicalDrivesFromMountTable(readMountTable()); }

DriveType DriveTypeOf(const QString& mountPoint, const QString& t) {
    if (t == "nfs" || t == "nfs4" || t == "cifs" || t == "smb" || t == "smbfs" || t == "smb3" || t == "fuse.sshfs" ||
        t == "sshfs")
        return DriveType::Remote;
    if (t == "iso9660" || t == "udf") return DriveType::CdRom;
    if (t == "tmpfs" || t == "ramfs") return DriveType::RamDisk;
    if (mountPoint.startsWith("/media/") || mountPoint.startsWith("/run/media/")) return DriveType::Removable;
    return DriveType::Fixed;
}

DriveType GetDriveType(const QString& mountPoint) {
    QString point = mountPoint;
    while (point.size() > 1 && point.endsWith('/')) point.chop(1);
    QString type;
    bool found = false;
    for (const Mount& m : parseMounts(readMountTable())) {
        if (m.point == point) {  // a later mount over the same point wins
            type = m.type;
            found = true;
        }
    }
    if (!found) return point == "/" ? DriveType::Fixed : DriveType::NoRootDir;
    return DriveTypeOf(point, type);
}

}  // namespace platform
