#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// One line of the host's mount table.
struct Mount {
    QString path;   // mount point, "/" style
    QString device; // "/dev/sda1", "tmpfs", "server:/export", ...
    QString type;   // file system type, "ext4", "proc", ...
};

// The mounts listed in the text of Linux's /proc/self/mountinfo.
QList<Mount> mountsFromMountInfo(const QByteArray& text);

// Drives as a user would recognise them. On Windows each drive letter is a
// drive, shown as "c:". On POSIX hosts a drive is a mounted file system: the
// root and real volumes (block devices, network shares, removable media), not
// pseudo or internal mounts; its text is its mount path.
QStringList recognisedDrives(const QList<Mount>& table);

// The drives of this host, read from the mount table (or the one injected),
// again each time: a disk plugged in is listed at the next call. On Linux no
// volume is asked anything; elsewhere the volumes are asked within the
// storage deadline.
QStringList drives();

// For tests: use `table` instead of the host's mount table; nullopt restores it.
void setMountTableForTesting(std::optional<QList<Mount>> table);

// The drive holding `path`: the drive with the longest mount path containing
// it. Empty text for an empty or relative path.
QString driveOf(const QString& path);

// The mount point that the absolute path `path` lies on, told from its text
// and the kernel's mount table without asking any volume; empty text where
// the table is not read that way (hosts other than Linux).
QString mountPointOf(const QString& path);

// Whether two paths (or drive texts) lie on the same drive. On Windows this is
// the comparison of their upper-cased first letters; elsewhere it compares
// driveOf(), since every absolute POSIX path begins with the same "/".
bool sameDrive(const QString& a, const QString& b);

// The current directory kept for a drive: the process's current directory
// when it lies on that drive, else the last directory made current on it,
// else the drive's root.
QString currentDirectoryOn(const QString& drive);

// Called by changeDirectory() so each drive remembers its last directory.
void noteCurrentDirectory(const QString& path);

// True when `text` names a drive exactly as drives() lists it.
bool isDriveText(const QString& text);

// Whether the drive can be opened now: still mounted (POSIX), or ready with
// its medium in (Windows). The drive list is read once, and drives come and
// go while the program runs.
bool driveAvailable(const QString& drive);

} // namespace platform
