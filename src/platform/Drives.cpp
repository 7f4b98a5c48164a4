#include "platform/Drives.h"

#include "platform/Deadline.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStorageInfo>

#include <algorithm>
#include <mutex>

namespace platform {

namespace {

std::optional<QList<Mount>>& injectedTable() {
    static std::optional<QList<Mount>> table;
    return table;
}

QHash<QString, QString>& lastDirectoryByDrive() {
    static QHash<QString, QString> map;
    return map;
}

bool isPseudoType(const QString& type) {
    static const QStringList pseudo = {
        QStringLiteral("proc"),        QStringLiteral("sysfs"),
        QStringLiteral("devtmpfs"),    QStringLiteral("devpts"),
        QStringLiteral("tmpfs"),       QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),     QStringLiteral("securityfs"),
        QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("pstore"),      QStringLiteral("bpf"),
        QStringLiteral("configfs"),    QStringLiteral("fusectl"),
        QStringLiteral("mqueue"),      QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),      QStringLiteral("binfmt_misc"),
        QStringLiteral("efivarfs"),    QStringLiteral("squashfs"),
        QStringLiteral("nsfs"),        QStringLiteral("ramfs"),
        QStringLiteral("rpc_pipefs"),  QStringLiteral("overlay"),
        QStringLiteral("fuse.portal"), QStringLiteral("fuse.gvfsd-fuse"),
    };
    return pseudo.contains(type);
}

bool isNetworkType(const QString& type) {
    return type.startsWith(QLatin1String("nfs")) || type == QLatin1String("cifs") ||
           type == QLatin1String("smb3") || type == QLatin1String("fuse.sshfs") ||
           type == QLatin1String("9p");
}

bool isSystemArea(const QString& path) {
    // Internal mount points of the system, never a place for a game.
    static const QStringList areas = {QStringLiteral("/proc"),    QStringLiteral("/sys"),
                                      QStringLiteral("/dev"),     QStringLiteral("/run"),
                                      QStringLiteral("/boot"),    QStringLiteral("/snap"),
                                      QStringLiteral("/var/lib"), QStringLiteral("/etc")};
    if (path.startsWith(QLatin1String("/run/media/")))
        return false;
    for (const QString& area : areas) {
        if (path == area || path.startsWith(area + QLatin1Char('/')))
            return true;
    }
    return false;
}

QList<Mount> hostTable() {
#ifdef Q_OS_LINUX
    // The kernel's own table names every mount with its device and type, and
    // reading it asks no volume anything: QStorageInfo::mountedVolumes()
    // calls statfs() on each, which waits for good on a share whose server
    // is gone. Every path's drive is looked up here, several times per
    // directory opened, so the table is parsed again only when it changed.
    static std::mutex lock;
    static QByteArray readBefore;
    static QList<Mount> tableBefore;
    QFile kernelTable(QStringLiteral("/proc/self/mountinfo"));
    const QByteArray now = kernelTable.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
                               ? kernelTable.readAll()
                               : QByteArray();
    const std::lock_guard<std::mutex> hold(lock);
    if (now != readBefore || tableBefore.isEmpty()) {
        readBefore = now;
        tableBefore = mountsFromMountInfo(now);
    }
    return tableBefore;
#else
    // Elsewhere the volumes are asked, all within one storage deadline.
    return withinDeadline(QStringLiteral("/"), [] {
        QList<Mount> table;
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (!volume.isValid())
                continue;
            table.append({QDir::fromNativeSeparators(volume.rootPath()),
                          QString::fromLocal8Bit(volume.device()),
                          QString::fromLatin1(volume.fileSystemType())});
        }
        return table;
    });
#endif
}

// The kernel writes a blank, tab, newline or backslash in a path as a
// backslash and three octal digits.
QString unescapedField(const QByteArray& field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                bytes.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        bytes.append(c);
    }
    return QFile::decodeName(bytes);
}

bool contains(const QString& mount, const QString& path) {
    if (mount == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mount || path.startsWith(mount + QLatin1Char('/'));
}

} // namespace

QList<Mount> mountsFromMountInfo(const QByteArray& text) {
    // "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw":
    // the mount point is the fifth field; after the lone "-" come the type
    // and the device.
    QList<Mount> table;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf(QByteArray("-"), 6);
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size())
            continue;
        table.append({unescapedField(fields.at(4)), unescapedField(fields.at(dash + 2)),
                      QString::fromLatin1(fields.at(dash + 1))});
    }
    return table;
}

QStringList recognisedDrives(const QList<Mount>& table) {
    QStringList result;
#ifdef Q_OS_WIN
    for (const Mount& mount : table) {
        if (mount.path.size() >= 2 && mount.path.at(1) == QLatin1Char(':'))
            result.append(mount.path.left(2).toLower());
    }
#else
    result.append(QStringLiteral("/")); // the root is always a drive
    for (const Mount& mount : table) {
        const QString path = withoutTrailingSeparator(mount.path);
        if (path == QLatin1String("/") || !path.startsWith(QLatin1Char('/')))
            continue;
        if (isPseudoType(mount.type) || isSystemArea(path))
            continue;
        if (!mount.device.startsWith(QLatin1String("/dev/")) && !isNetworkType(mount.type))
            continue;
        result.append(path);
    }
#endif
    result.removeDuplicates();
    std::sort(result.begin(), result.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return result;
}

QStringList drives() {
    const auto& injected = injectedTable();
    return recognisedDrives(injected ? *injected : hostTable());
}

void setMountTableForTesting(std::optional<QList<Mount>> table) {
    injectedTable() = std::move(table);
    lastDirectoryByDrive().clear();
}

QString driveOf(const QString& path) {
#ifdef Q_OS_WIN
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        return path.left(2).toLower();
    return {};
#else
    const QString normal = QDir::fromNativeSeparators(path);
    if (!normal.startsWith(QLatin1Char('/')))
        return {};
    QString best;
    for (const QString& drive : drives()) {
        if (contains(drive, normal) && drive.size() > best.size())
            best = drive;
    }
    return best;
#endif
}

QString mountPointOf(const QString& path) {
#ifdef Q_OS_LINUX
    QString best;
    for (const Mount& mount : hostTable()) {
        if (mount.path.size() > best.size() && contains(mount.path, path))
            best = mount.path;
    }
    return best;
#else
    Q_UNUSED(path);
    return {};
#endif
}

bool sameDrive(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return !a.isEmpty() && !b.isEmpty() && a.left(1).toUpper() == b.left(1).toUpper();
#else
    const QString driveA = driveOf(a);
    return !driveA.isEmpty() && driveA == driveOf(b);
#endif
}

QString currentDirectoryOn(const QString& drive) {
    const QString cwd = withoutTrailingSeparator(QDir::currentPath());
    if (driveOf(cwd) == drive)
        return nativePath(cwd);
    QString remembered = lastDirectoryByDrive().value(drive);
    if (!remembered.isEmpty() &&
        withinDeadline(remembered, [remembered] { return QFileInfo(remembered).isDir(); }))
        return remembered;
#ifdef Q_OS_WIN
    return drive.toUpper() + separator();
#else
    return drive;
#endif
}

void noteCurrentDirectory(const QString& path) {
    const QString drive = driveOf(path);
    if (!drive.isEmpty())
        lastDirectoryByDrive().insert(drive, path);
}

bool isDriveText(const QString& text) {
#ifdef Q_OS_WIN
    return text.size() == 2 && text.at(1) == QLatin1Char(':');
#else
    return drives().contains(text);
#endif
}

bool driveAvailable(const QString& drive) {
#ifdef Q_OS_WIN
    return isDriveText(drive) && QStorageInfo(drive + QLatin1Char('/')).isReady();
#else
    return isDriveText(drive);
#endif
}

} // namespace platform
