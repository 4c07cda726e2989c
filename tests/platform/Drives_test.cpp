#include "platform/Drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using platform::DriveType;

TEST(Drives, RootFirstThenRealMountsInTableOrder) {
    const QString table =
        "/dev/vda / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "devpts /dev/pts devpts rw 0 0\n"
        "/dev/sdb1 /media/anna/USB\\040Stick vfat rw 0 0\n"
        "server:/share /mnt/nfs nfs4 rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n";
    EXPECT_EQ(platform::LogicalDrivesFromMountTable(table),
              QStringList({"/", "/media/anna/USB Stick", "/mnt/nfs", "/tmp"}));
}

TEST(Drives, TypesByFileSystemAndPlace) {
    EXPECT_EQ(platform::DriveTypeOf("/mnt/nfs", "nfs"), DriveType::Remote);
    EXPECT_EQ(platform::DriveTypeOf("/mnt/w", "cifs"), DriveType::Remote);
    EXPECT_EQ(platform::DriveTypeOf("/mnt/s", "fuse.sshfs"), DriveType::Remote);
    EXPECT_EQ(platform::DriveTypeOf("/media/cd", "iso9660"), DriveType::CdRom);
    EXPECT_EQ(platform::DriveTypeOf("/tmp", "tmpfs"), DriveType::RamDisk);
    EXPECT_EQ(platform::DriveTypeOf("/run/media/anna/key", "vfat"), DriveType::Removable);
    EXPECT_EQ(platform::DriveTypeOf("/home", "ext4"), DriveType::Fixed);
    EXPECT_EQ(platform::GetDriveType("/"), DriveType::Fixed);
    EXPECT_EQ(platform::GetDriveType("/no/such/mount/point"), DriveType::NoRootDir);
    EXPECT_EQ(platform::LogicalDrives().value(0), "/");
}

TEST(Drives, VirtualFileSystemDevicesFromTheMountInfo) {
    const QString info =
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "22 26 0:21 / /sys rw,relatime shared:7 - sysfs sysfs rw\n"
        "23 26 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
        "24 23 0:22 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
        "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "1 0 0:1 / / rw - rootfs rootfs rw\n"
        "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";
    const QSet<quint64> devices = platform::VirtualFileSystemDevicesFromMountInfo(info);
    EXPECT_EQ(devices, (QSet<quint64>{makedev(0, 20), makedev(0, 21), makedev(0, 6), makedev(0, 37)}));
    // The live table holds the proc file system this test reads it from.
    struct stat st {};
    ASSERT_EQ(::stat("/proc/self", &st), 0);
    EXPECT_TRUE(platform::VirtualFileSystemDevices().contains(quint64(st.st_dev)));
}
