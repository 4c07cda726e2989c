#include "platform/Drives.h"

#include <gtest/gtest.h>

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
