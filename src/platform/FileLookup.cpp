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

ListingScope* innermost = nullptr;

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

// The listing has already left out hidden names.
bool isOrdinaryEntry([[maybe_unused]] const QString& dir, const DirectoryEntry& entry) {
    if (entry.kind() != EntryKind::File)
        return false;
#ifdef Q_OS_WIN
    return isOrdinaryFile(QFileInfo(dir + QLatin1Char('/') + entry.name));
#else
    return true;
#endif
}

// The directory as spelled; only when that cannot be read is its letter case
// resolved, so a directory spelled right costs no extra call.
void readDirectory(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit) {
    if (!forEachEntry(dir, visit)) {
        const QString resolved = resolveCase(dir);
        if (resolved != dir)
            forEachEntry(resolved, visit);
    }
}

} // namespace

ListingScope::ListingScope() : outer_(innermost) {
    innermost = this;
}

ListingScope::~ListingScope() {
    innermost = outer_;
}

const QStringList& ListingScope::filesIn(const QString& dir) {
    if (holdsListing_ && dir == dir_)
        return files_;
    holdsListing_ = false;
    files_.clear();
    ++reads_;
    readDirectory(dir, [&](const DirectoryEntry& entry) {
        if (isOrdinaryEntry(dir, entry))
            files_.append(entry.name);
        return true;
    });
    dir_ = dir;
    holdsListing_ = true;
    return files_;
}

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

    if (innermost) {
        for (const QString& name : innermost->filesIn(dir)) {
            if (wildcardMatch(namePattern, name))
                return name;
        }
        return {};
    }

    QString found;
    readDirectory(dir, [&](const DirectoryEntry& entry) {
        // The name first: it costs no metadata call.
        if (!wildcardMatch(namePattern, entry.name) || !isOrdinaryEntry(dir, entry))
            return true;
        found = entry.name;
        return false;
    });
    return found;
}

} // namespace platform
