#include "platform/FileLookup.h"

#include "platform/DirectoryListing.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"

#include <QDir>
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

    // The common case, an exact name that exists, costs one metadata call.
    if (!hasWildcards(namePattern)) {
        const QFileInfo exact(dir + QLatin1Char('/') + namePattern);
        if (isOrdinaryFile(exact))
            return exact.fileName();
    }

    QString found;
    const auto visit = [&](const DirectoryEntry& entry) {
        // The name first: it costs no metadata call.
        if (!wildcardMatch(namePattern, entry.name) || entry.kind() != EntryKind::File)
            return true;
#ifdef Q_OS_WIN
        if (!isOrdinaryFile(QFileInfo(dir + QLatin1Char('/') + entry.name)))
            return true;
#endif
        found = entry.name;
        return false;
    };
    // The directory as spelled; only when that cannot be read is its letter
    // case resolved, so a directory spelled right costs no extra call.
    if (!forEachEntry(dir, visit)) {
        const QString resolved = resolveCase(dir);
        if (resolved != dir)
            forEachEntry(resolved, visit);
    }
    return found;
}

} // namespace platform
