#include "platform/DirectoryListing.h"

#include "platform/Deadline.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

// Sets what the readers and the snapshot know of an entry.
struct DirectoryEntryAccess {
    static void fill(DirectoryEntry& entry, QString name, EntryKind kind, bool hidden) {
        entry.name = std::move(name);
        entry.kind_ = kind;
        entry.hidden_ = hidden;
    }
    static bool hidden(const DirectoryEntry& entry) { return entry.hidden_; }
#ifdef Q_OS_UNIX
    static void fill(DirectoryEntry& entry, QString name, const dirent* raw, int directoryFd) {
        entry.name = std::move(name);
        entry.rawName_ = raw->d_name;
        entry.type_ = raw->d_type;
        entry.directoryFd_ = directoryFd;
        entry.hidden_ = raw->d_name[0] == '.';
        entry.kind_.reset();
    }
#endif
    static const DirectorySnapshot::Listing* find(const DirectorySnapshot& snapshot,
                                                  const QString& dir) {
        return snapshot.find(dir);
    }
    static std::optional<DirectorySnapshot::Listing> read(const QString& dir, Hidden hidden) {
        return DirectorySnapshot::readListing(dir, hidden);
    }
    static bool visit(const DirectorySnapshot::Listing& listing, Hidden hidden,
                      const std::function<bool(const DirectoryEntry&)>& visit) {
        DirectoryEntry current;
        for (const auto& entry : listing) {
            if (entry.hidden && hidden == Hidden::Skip)
                continue;
            fill(current, entry.name, entry.kind, entry.hidden);
            if (!visit(current))
                break;
        }
        return true;
    }
};

namespace {

thread_local long readsOnThisThread = 0;
thread_local const DirectorySnapshot* activeSnapshot = nullptr;

} // namespace

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

namespace {

// Hand-written over readdir(): QDirIterator builds a QFileInfo for every
// entry, which costs several times the directory read itself, and the scan
// reads one directory per patch over collections of ten thousand and more.
bool readEntries(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                 Hidden hidden) {
    DIR* handle = opendir(QFile::encodeName(dir).constData());
    if (!handle)
        return false;
    DirectoryEntry current;
    while (const dirent* entry = readdir(handle)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' &&
            (hidden == Hidden::Skip || raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
            continue; // ".", ".." and, unless asked for, hidden names
        auto name = decodedName(entry->d_name);
        if (!name)
            continue;
        DirectoryEntryAccess::fill(current, std::move(*name), entry, dirfd(handle));
        if (!visit(current))
            break;
    }
    closedir(handle);
    return true;
}

} // namespace

#else

EntryKind DirectoryEntry::kind() const {
    return kind_.value_or(EntryKind::Other);
}

namespace {

bool readEntries(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                 Hidden hidden) {
    if (!QFileInfo(dir).isDir())
        return false;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot |
                             (hidden == Hidden::Include ? QDir::Hidden : QDir::Filters()));
    DirectoryEntry current;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        DirectoryEntryAccess::fill(current, info.fileName(),
                                   info.isDir()    ? EntryKind::Directory
                                   : info.isFile() ? EntryKind::File
                                                   : EntryKind::Other,
                                   info.isHidden());
        if (!visit(current))
            break;
    }
    return true;
}

} // namespace

#endif

bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden) {
    if (activeSnapshot) {
        if (const auto* listing = DirectoryEntryAccess::find(*activeSnapshot, dir))
            return DirectoryEntryAccess::visit(*listing, hidden, visit);
    }
    // Read whole on a thread of its own, kinds included (a kind may cost a
    // metadata call), so that only the deadline is spent here when the
    // directory does not answer.
    const auto listing =
        withinDeadline(dir, [dir, hidden] { return DirectoryEntryAccess::read(dir, hidden); });
    if (!listing)
        return false;
    ++readsOnThisThread;
    return DirectoryEntryAccess::visit(*listing, Hidden::Include, visit);
}

long directoriesReadOnThisThread() {
    return readsOnThisThread;
}

std::optional<DirectorySnapshot::Listing> DirectorySnapshot::readListing(const QString& dir,
                                                                         Hidden hidden) {
    Listing listing;
    const bool read = readEntries(
        dir,
        [&listing](const DirectoryEntry& entry) {
            listing.push_back({entry.name, entry.kind(), DirectoryEntryAccess::hidden(entry)});
            return true;
        },
        hidden);
    if (!read)
        return std::nullopt;
    return listing;
}
SnapshotScope::SnapshotScope(const DirectorySnapshot* snapshot) : outer_(activeSnapshot) {
    activeSnapshot = snapshot;
}

SnapshotScope::~SnapshotScope() {
    activeSnapshot = outer_;
}

ParallelReadingScope::ParallelReadingScope(const QString& root, const QStringList& paths) {
    if (activeSnapshot && activeSnapshot->coversSubdirectoriesOf(root))
        return;
    const QString prefix = QDir::fromNativeSeparators(root).endsWith(QLatin1Char('/'))
                               ? QDir::fromNativeSeparators(root)
                               : QDir::fromNativeSeparators(root) + QLatin1Char('/');
    QStringList names;
    names.reserve(paths.size());
    for (const QString& path : paths) {
        const QString normal = QDir::fromNativeSeparators(path);
        if (normal.startsWith(prefix) && !normal.mid(prefix.size()).contains(QLatin1Char('/')))
            names.append(normal.mid(prefix.size()));
    }
    if (names.isEmpty())
        return;
    reading_.emplace(DirectorySnapshot::startSubdirectories(root, names));
    scope_.emplace(&*reading_);
}

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
