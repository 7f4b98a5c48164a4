#include "platform/Drives.h"
#include "platform/System.h"
#include "support/TempTree.h"

#include <QDir>
#include <gtest/gtest.h>

using platform::Mount;

namespace {

const QList<Mount> table = {
    {"/", "overlay", "overlay"},
    {"/proc", "proc", "proc"},
    {"/sys", "sysfs", "sysfs"},
    {"/dev/shm", "tmpfs", "tmpfs"},
    {"/tmp", "tmpfs", "tmpfs"},
    {"/boot/efi", "/dev/sda1", "vfat"},
    {"/home", "/dev/sda3", "ext4"},
    {"/media/usb", "/dev/sdb1", "vfat"},
    {"/run/user/1000", "tmpfs", "tmpfs"},
    {"/run/media/me/STICK", "/dev/sdc1", "exfat"},
    {"/mnt/nas", "server:/export", "nfs4"},
    {"/snap/core/1", "/dev/loop0", "squashfs"},
};

class Drives : public ::testing::Test {
  protected:
    void SetUp() override { platform::setMountTableForTesting(table); }
    void TearDown() override { platform::setMountTableForTesting(std::nullopt); }
};

} // namespace

#ifndef Q_OS_WIN
TEST_F(Drives, AreTheRootAndTheRealVolumesOnly) {
    EXPECT_EQ(platform::drives(),
              QStringList({"/", "/home", "/media/usb", "/mnt/nas", "/run/media/me/STICK"}));
}

TEST_F(Drives, APathLiesOnTheDriveWithTheLongestMountPathHoldingIt) {
    EXPECT_EQ(platform::driveOf("/media/usb/quake/id1"), "/media/usb");
    EXPECT_EQ(platform::driveOf("/media/usb"), "/media/usb");
    EXPECT_EQ(platform::driveOf("/media/usbstick/quake"), "/"); // not a path component
    EXPECT_EQ(platform::driveOf("/tmp/quake"), "/");            // tmpfs is no drive
    EXPECT_EQ(platform::driveOf("/home/me/quake"), "/home");
    EXPECT_EQ(platform::driveOf(""), "");
    EXPECT_EQ(platform::driveOf("quake"), "");
}

TEST_F(Drives, SameDriveComparesDrivesNotFirstCharacters) {
    EXPECT_TRUE(platform::sameDrive("/home", "/home/me/quake"));
    EXPECT_TRUE(platform::sameDrive("/", "/opt/quake"));
    // Both begin with "/", yet they are different drives.
    EXPECT_FALSE(platform::sameDrive("/media/usb", "/home/me/quake"));
    EXPECT_FALSE(platform::sameDrive("/", ""));
    EXPECT_FALSE(platform::sameDrive("", ""));
}

TEST_F(Drives, KeepTheirOwnCurrentDirectory) {
    testing_support::TempTree tree; // under /tmp: on the root drive of this table
    const QString before = QDir::currentPath();
    // Never visited: the drive's root.
    EXPECT_EQ(platform::currentDirectoryOn("/media/usb"), "/media/usb");
    platform::noteCurrentDirectory("/media/usb/quake");
    platform::changeDirectory(tree.dir("here"));
    // Not a real directory here, so the remembered one cannot be opened: root.
    EXPECT_EQ(platform::currentDirectoryOn("/media/usb"), "/media/usb");
    platform::noteCurrentDirectory(tree.dir("games"));
    // The process's own current directory wins on its drive.
    EXPECT_EQ(platform::currentDirectoryOn("/"), tree.path("here"));
    QDir::setCurrent(before);
}
#endif

TEST(MountTable, IsReadFromTheKernelsTableWithItsEscapes) {
    const QByteArray text =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "40 22 8:17 / /media/me/My\\040Disk rw shared:2 master:3 - vfat /dev/sdb1 rw\n"
        "41 22 0:50 / /mnt/nas rw - nfs4 nas:/export rw,vers=4.2\n"
        "42 22 0:51 / /proc rw - proc proc rw\n"
        "broken line\n"
        // Network shares are drives whatever names their server.
        "43 22 0:52 / /mnt/cifs rw - cifs //nas/quake rw\n"
        "44 22 0:53 / /mnt/smb rw - smb3 //nas/games rw\n"
        "45 22 0:54 / /mnt/ssh rw - fuse.sshfs me@host:/quake rw\n"
        "46 22 0:55 / /mnt/host rw - 9p hostshare rw\n"
        "47 22 0:56 / /mnt/other rw - fuse.other other rw\n";
    const QList<platform::Mount> mounts = platform::mountsFromMountInfo(text);
    ASSERT_EQ(mounts.size(), 9);
    EXPECT_EQ(mounts[1].path, "/media/me/My Disk");
    EXPECT_EQ(mounts[1].device, "/dev/sdb1");
    EXPECT_EQ(mounts[1].type, "vfat");
    EXPECT_EQ(platform::recognisedDrives(mounts),
              QStringList({"/", "/media/me/My Disk", "/mnt/cifs", "/mnt/host", "/mnt/nas",
                           "/mnt/smb", "/mnt/ssh"}));
}
