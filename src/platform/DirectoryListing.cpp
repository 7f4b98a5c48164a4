#include "platform/DirectoryListing.h"

#include <QDirIterator>
#include <QFile>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace platform {

#ifdef Q_OS_UNIX

namespace {

// Names are nearly always plain ASCII, which converts without the cost of
// the general decoder and always round-trips.
std::optional<QString> decodedName(const char* raw) {
    const char* end = raw;
    bool ascii = true;
    for (; *end; ++end)
        ascii = ascii && static_cast<unsigned char>(*end) < 0x80;
    const QByteArrayView bytes(raw, end - raw);
    if (ascii)
        return QString::fromLatin1(bytes);
    QString name = QFile::decodeName(bytes.toByteArray());
    if (QFile::encodeName(name) != bytes)
        return std::nullopt;
    return name;
}

} // namespace

EntryKind DirectoryEntry::kind() const {
    if (kind_)
        return *kind_;
    EntryKind kind = EntryKind::Other;
    if (type_ == DT_REG) {
        kind = EntryKind::File;
    } else if (type_ == DT_DIR) {
        kind = EntryKind::Directory;
    } else if (type_ == DT_LNK || type_ == DT_UNKNOWN) {
        struct stat target {};
        if (fstatat(directoryFd_, rawName_, &target, 0) == 0) {
            if (S_ISREG(target.st_mode))
                kind = EntryKind::File;
            else if (S_ISDIR(target.st_mode))
                kind = EntryKind::Directory;
        }
    }
    kind_ = kind;
    return kind;
}

// Hand-written over readdir(): QDirIterator builds a QFileInfo for every
// entry, which costs several times the directory read itself, and the scan
// reads one directory per patch over collections of ten thousand and more.
bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden) {
    DIR* handle = opendir(QFile::encodeName(dir).constData());
    if (!handle)
        return false;
    DirectoryEntry current;
    current.directoryFd_ = dirfd(handle);
    while (const dirent* entry = readdir(handle)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' &&
            (hidden == Hidden::Skip || raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
            continue; // ".", ".." and, unless asked for, hidden names
        auto name = decodedName(entry->d_name);
        if (!name)
            continue;
        current.name = std::move(*name);
        current.rawName_ = entry->d_name;
        current.type_ = entry->d_type;
        current.kind_.reset();
        if (!visit(current))
            break;
    }
    closedir(handle);
    return true;
}

#else

EntryKind DirectoryEntry::kind() const {
    return kind_.value_or(EntryKind::Other);
}

bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden) {
    if (!QFileInfo(dir).isDir())
        return false;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot |
                             (hidden == Hidden::Include ? QDir::Hidden : QDir::Filters()));
    DirectoryEntry current;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        current.name = info.fileName();
        current.kind_ = info.isDir()    ? EntryKind::Directory
                        : info.isFile() ? EntryKind::File
                                        : EntryKind::Other;
        if (!visit(current))
            break;
    }
    return true;
}

#endif

QStringList subdirectoryNames(const QString& dir, Hidden hidden) {
    QStringList names;
    forEachEntry(
        dir,
        [&names](const DirectoryEntry& entry) {
            if (entry.kind() == EntryKind::Directory)
                names.append(entry.name);
            return true;
        },
        hidden);
    return names;
}

} // namespace platform
