#include "platform/UserDirectories.h"

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace platform {

QString homeDirectory() {
    return QDir::homePath();
}

QString userConfigDirectory() {
    // Written out rather than QStandardPaths::AppConfigLocation: that one
    // takes a relative XDG_CONFIG_HOME as it stands and names the directory
    // after the application's display name ("Runemark"), while the
    // directory is the program's own name.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return withoutTrailingSeparator(QDir::cleanPath(configured));
    return withoutTrailingSeparator(QDir::cleanPath(homeDirectory() + QStringLiteral("/.config")));
}

void makeDirectories(const QString& path) {
    const QString target = QDir::cleanPath(QDir(path).absolutePath());
    // The missing directories, outermost first.
    QStringList missing;
    for (QString at = target; !QFileInfo(at).exists() && !QFileInfo(at).isSymLink();) {
        missing.prepend(at);
        const QString parent = QFileInfo(at).path();
        if (parent == at)
            break;
        at = parent;
    }
    for (const QString& dir : missing) {
#ifdef Q_OS_UNIX
        if (::mkdir(QFile::encodeName(dir).constData(), S_IRWXU) != 0 && errno != EEXIST)
            throw Error(QStringLiteral("Cannot create the directory"), nativePath(dir),
                        systemReason(errno));
#else
        if (!QDir().mkdir(dir))
            throw Error(QStringLiteral("Cannot create the directory"), nativePath(dir),
                        QStringLiteral("The system refused"));
#endif
    }
    if (!QFileInfo(target).isDir())
        throw Error(QStringLiteral("Cannot create the directory"), nativePath(target),
                    systemReason(ENOTDIR));
}

} // namespace platform
