#include "platform/Drives.h"

#include <QFile>
#include <QSet>

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
