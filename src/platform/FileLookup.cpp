#include "platform/FileLookup.h"

#include "platform/Deadline.h"
#include "platform/DirectoryListing.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace platform {

namespace {

#ifndef Q_OS_UNIX
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
#endif

// Whether `name` in `dir`, spelled exactly, is an ordinary file (a link to one
// counts). On POSIX one stat() call: QFileInfo costs more than the call
// itself.
bool isOrdinaryFileNamed(const QString& dir, const QString& name) {
#ifdef Q_OS_UNIX
    if (name.startsWith(QLatin1Char('.')))
        return false; // hidden
    struct stat target {};
    return stat(QFile::encodeName(dir + QLatin1Char('/') + name).constData(), &target) == 0 &&
           S_ISREG(target.st_mode);
#else
    return isOrdinaryFile(QFileInfo(dir + QLatin1Char('/') + name));
#endif
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
// resolved, so a directory spelled right costs no extra call. Tells whether
// the directory was read as spelled. Each call on the disk is bounded by the
// storage deadline.
bool readDirectory(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                   const DirectorySnapshot* held) {
    if (forEachEntry(dir, visit, Hidden::Skip, held))
        return true;
    const QString resolved = withinDeadline(dir, [dir] { return resolveCase(dir); });
    if (resolved != dir)
        forEachEntry(resolved, visit, Hidden::Skip, held);
    return false;
}

} // namespace

QString HeldListings::firstFile(QStringView dir, QStringView namePattern, bool exactFirst) {
    // A listing the snapshot holds is looked at where it lies.
    if (snapshot_) {
        if (auto found = firstFileIn(*snapshot_, dir, namePattern, exactFirst))
            return *std::move(found);
    }
    if (!holdsListing_ || dir != dir_) {
        holdsListing_ = false;
        files_.clear();
        ++reads_;
        dir_ = dir.toString();
        readAsSpelled_ = readDirectory(
            dir_,
            [&](const DirectoryEntry& entry) {
                if (isOrdinaryEntry(dir_, entry))
                    files_.append(entry.name);
                return true;
            },
            snapshot_);
        holdsListing_ = true;
    }
    // As the exact spelling is tried first without a listing: it names an
    // ordinary file only in a directory that exists as spelled.
    if (exactFirst && readAsSpelled_ && files_.contains(namePattern))
        return namePattern.toString();
    for (const QString& name : std::as_const(files_)) {
        if (wildcardMatch(namePattern, name))
            return name;
    }
    return {};
}

QString findFirstFile(const QString& pattern, HeldListings* held) {
    const QString normal = QDir::fromNativeSeparators(pattern);
    const qsizetype cut = normal.lastIndexOf(QLatin1Char('/'));
    // Views: a probe answered from a held listing copies no text.
    const QStringView namePattern = QStringView(normal).mid(cut + 1);
    QStringView dir = cut < 0 ? QStringView(u".") : QStringView(normal).left(cut);
    if (cut == 0)
        dir = u"/";
    if (namePattern.isEmpty())
        return {};
    const bool exactFirst = !hasWildcards(namePattern);

    if (held)
        return held->firstFile(dir, namePattern, exactFirst);

    const QString dirText = dir.toString();
    QString name = namePattern.toString();
    // The common case, an exact name that exists, costs one metadata call.
    if (exactFirst &&
        withinDeadline(dirText, [dirText, name] { return isOrdinaryFileNamed(dirText, name); }))
        return name;
    QString found;
    readDirectory(
        dirText,
        [&](const DirectoryEntry& entry) {
            // The name first: it costs no metadata call.
            if (!wildcardMatch(namePattern, entry.name) || !isOrdinaryEntry(dirText, entry))
                return true;
            found = entry.name;
            return false;
        },
        nullptr);
    return found;
}

} // namespace platform
