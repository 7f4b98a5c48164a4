#include "platform/System.h"

#include "platform/Drives.h"
#include "platform/Error.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace platform {

void changeDirectory(const QString& path) {
    const QString resolved = resolveCase(path);
    if (path.isEmpty())
        throw Error(QStringLiteral("Cannot change to the directory"), QStringLiteral("\"\""),
                    systemReason(ENOENT));
    errno = 0;
    if (!QDir::setCurrent(resolved)) {
        const int code = errno;
        QString reason = code != 0 ? systemReason(code) : QString();
        if (code == 0) {
            const QFileInfo info(resolved);
            reason = systemReason(!info.exists() ? ENOENT : !info.isDir() ? ENOTDIR : EACCES);
        }
        throw Error(QStringLiteral("Cannot change to the directory"), nativePath(path), reason);
    }
    noteCurrentDirectory(currentDirectory());
}

QString currentDirectory() {
    return nativePath(withoutTrailingSeparator(QDir::currentPath()));
}

QString shownDirectoryPath(const QString& path) {
    const QString absolute =
        QDir::cleanPath(QDir(currentDirectory()).absoluteFilePath(resolveCase(path)));
    return nativePath(withoutTrailingSeparator(absolute));
}

QString programDirectory() {
    return nativePath(withoutTrailingSeparator(QCoreApplication::applicationDirPath()));
}

QString installedDataDirectory(const QString& programDir) {
    return nativePath(
        QDir::cleanPath(programDir + QLatin1Char('/') + QStringLiteral(RUNEMARK_DATA_FROM_BIN)));
}

} // namespace platform
