#include "platform/FileLookup.h"

#include "platform/Paths.h"
#include "platform/Wildcard.h"

#include <QDirIterator>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

namespace {

bool isOrdinaryFile(const QFileInfo& info) {
    if (!info.isFile() || info.isHidden())
        return false;
#ifdef Q_OS_WIN
    // Qt lists files with the system attribute as ordinary ones.
    const DWORD attributes =
        GetFileAttributesW(reinterpret_cast<const wchar_t*>(info.filePath().utf16()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM))
        return false;
#endif
    return true;
}

} // namespace

QString findFirstFile(const QString& pattern) {
    const QString normal = QDir::fromNativeSeparators(pattern);
    const qsizetype cut = normal.lastIndexOf(QLatin1Char('/'));
    const QString namePattern = normal.mid(cut + 1);
    QString dir = cut < 0 ? QStringLiteral(".") : normal.left(cut);
    if (cut == 0)
        dir = QStringLiteral("/");
    if (namePattern.isEmpty())
        return {};

    dir = resolveCase(dir);
    if (!QFileInfo(dir).isDir())
        return {};

    // One metadata call settles the common case of an exact name that exists.
    if (!hasWildcards(namePattern)) {
        const QFileInfo exact(dir + QLatin1Char('/') + namePattern);
        if (isOrdinaryFile(exact))
            return exact.fileName();
    }

    QDirIterator it(dir, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (wildcardMatch(namePattern, info.fileName()) && isOrdinaryFile(info))
            return info.fileName();
    }
    return {};
}

} // namespace platform
