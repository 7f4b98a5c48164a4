#include "platform/DirectoryListing.h"

#include "platform/Deadline.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#endif

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
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
    static const DirectorySnapshot::Listing* find(const DirectorySnapshot& snapshot,
                                                  QStringView dir) {
        return snapshot.find(dir);
    }
    static std::optional<DirectorySnapshot::Listing> read(const QString& dir, Hidden hidden) {
        return DirectorySnapshot::readListing(dir, hidden);
    }
    static QString firstFile(const DirectorySnapshot::Listing& listing, QStringView namePattern,
                             bool exactFirst) {
        const auto ordinary = [](const DirectorySnapshot::Entry& entry) {
            return entry.kind == EntryKind::File && !entry.hidden;
        };
        if (exactFirst) {
            for (const auto& entry : listing.entries) {
                if (ordinary(entry) && listing.nameOf(entry) == namePattern)
                    return listing.nameOf(entry).toString();
            }
        }
        for (const auto& entry : listing.entries) {
            if (ordinary(entry) && wildcardMatch(namePattern, listing.nameOf(entry)))
                return listing.nameOf(entry).toString();
        }
        return {};
    }
    static bool visit(const DirectorySnapshot::Listing& listing, Hidden hidden,
                      const std::function<bool(const DirectoryEntry&)>& visit) {
        DirectoryEntry current;
        for (const auto& entry : listing.entries) {
            if (entry.hidden && hidden == Hidden::Skip)
                continue;
            fill(current, listing.nameOf(entry).toString(), entry.kind, entry.hidden);
            if (!visit(current))
                break;
        }
        return true;
    }
};

namespace {

thread_local long readsOnThisThread = 0;

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

EntryKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Directory;
    return EntryKind::Other;
}

// A link whose target lies on other storage than its directory: its kind is
// asked there apart from the listing, so a target that does not answer
// holds up nothing but itself.
struct FarLink {
    size_t entry;
    QString target;
};

// The kind of a raw entry: its type from the listing, or where the listing
// does not say (a file system that does not tell), from the entry itself;
// for a link, its target's, asked here when the target lies on the same
// storage as `dir` (which is answering), or else noted in `far`.
EntryKind kindOf(const QString& dir, int type, int directoryFd, const char* rawName, size_t entry,
                 std::vector<FarLink>& far) {
    if (type == DT_REG)
        return EntryKind::File;
    if (type == DT_DIR)
        return EntryKind::Directory;
    struct stat target {};
    if (type == DT_UNKNOWN) {
        if (fstatat(directoryFd, rawName, &target, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryKind::Other;
        if (!S_ISLNK(target.st_mode))
            return kindOfMode(target.st_mode);
    } else if (type != DT_LNK) {
        return EntryKind::Other;
    }
    char text[4096];
    const ssize_t length = readlinkat(directoryFd, rawName, text, sizeof text - 1);
    if (length <= 0)
        return EntryKind::Other;
    const QString path = QDir::cleanPath(
        QDir(dir).absoluteFilePath(QFile::decodeName(QByteArray(text, int(length)))));
    if (detail::placeOf(path) != detail::placeOf(dir)) {
        far.push_back({entry, path});
        return EntryKind::Other;
    }
    if (fstatat(directoryFd, rawName, &target, 0) != 0)
        return EntryKind::Other;
    return kindOfMode(target.st_mode);
}

// The kinds of the far links' targets, each asked on a worker of its own,
// all waited for until `until`. A target that has not answered by then (or
// whose storage is known not to answer) stays of kind Other: the listing is
// not held up by it, and its storage counts as stuck until it returns.
template <typename Entries>
void learnFarKinds(const std::vector<FarLink>& far, Entries& entries,
                   std::chrono::steady_clock::time_point until) {
    struct Asked {
        std::shared_ptr<detail::Ticket> ticket;
        std::shared_ptr<std::atomic<int>> kind;
    };
    std::vector<Asked> asked;
    for (const FarLink& link : far) {
        auto kind = std::make_shared<std::atomic<int>>(int(EntryKind::Other));
        const QString target = link.target;
        asked.push_back({detail::submit(
                             target,
                             [target, kind] {
                                 struct stat info {};
                                 if (stat(QFile::encodeName(target).constData(), &info) == 0)
                                     kind->store(int(kindOfMode(info.st_mode)));
                             },
                             detail::Start::NowOrNever),
                         kind});
    }
    for (size_t i = 0; i < far.size(); ++i) {
        const auto& ticket = asked[i].ticket;
        if (!ticket)
            continue;
        if (detail::waitUntil(*ticket, until))
            entries[far[i].entry].kind = EntryKind(asked[i].kind->load());
        else
            detail::abandon(ticket);
    }
}

} // namespace

namespace {

// Whether a raw name is read: not ".", not "..", and not hidden unless asked.
bool wanted(const char* raw, Hidden hidden) {
    return raw[0] != '.' ||
           (hidden == Hidden::Include && raw[1] != '\0' && (raw[1] != '.' || raw[2] != '\0'));
}

#ifdef Q_OS_LINUX

// The kernel's record of one entry, as getdents64(2) fills the buffer.
struct KernelDirent {
    quint64 inode;
    qint64 offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Calls raw(name, type, directoryFd) for each entry of `dir` but "." and
// ".." (and hidden ones unless asked for) until it returns false; false when
// the directory cannot be read. Hand-written over getdents64(): QDirIterator
// builds a QFileInfo for every entry, which costs several times the
// directory read itself, and even readdir()'s opendir() costs a metadata
// call and a 32 KB buffer from the heap for each directory. The scan reads
// one directory per patch over collections of ten thousand and more: this
// reads each with one open, as few reads as it takes into a buffer on the
// stack, and one close.
template <typename Raw> bool readRaw(const QString& dir, Hidden hidden, Raw raw) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    alignas(8) char buffer[8192];
    bool more = true;
    while (more) {
        const long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            // Part of the listing is no listing: patches would go missing
            // without a word.
            const int error = errno;
            ::close(fd);
            throw Error(QStringLiteral("Cannot read"), nativePath(dir), systemReason(error));
        }
        for (long at = 0; at < got && more;) {
            const auto* entry = reinterpret_cast<const KernelDirent*>(buffer + at);
            at += entry->length;
            if (wanted(entry->name, hidden))
                more = raw(static_cast<const char*>(entry->name), int(entry->type), fd);
        }
    }
    ::close(fd);
    return true;
}

#else

// As above, over readdir(): QDirIterator builds a QFileInfo for every entry,
// which costs several times the directory read itself.
template <typename Raw> bool readRaw(const QString& dir, Hidden hidden, Raw raw) {
    DIR* handle = opendir(QFile::encodeName(dir).constData());
    if (!handle)
        return false;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(handle);
        if (!entry) {
            const int error = errno;
            closedir(handle);
            if (error != 0) // part of the listing is no listing
                throw Error(QStringLiteral("Cannot read"), nativePath(dir), systemReason(error));
            return true;
        }
        if (wanted(entry->d_name, hidden) &&
            !raw(static_cast<const char*>(entry->d_name), int(entry->d_type), dirfd(handle)))
            break;
    }
    closedir(handle);
    return true;
}

#endif

} // namespace

#else

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
                  Hidden hidden, const DirectorySnapshot* held) {
    if (held) {
        if (const auto* listing = DirectoryEntryAccess::find(*held, dir))
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

std::optional<QString> firstFileIn(const DirectorySnapshot& held, QStringView dir,
                                   QStringView namePattern, bool exactFirst) {
#ifdef Q_OS_WIN
    // There the system attribute needs a look at each file.
    Q_UNUSED(held);
    Q_UNUSED(dir);
    Q_UNUSED(namePattern);
    Q_UNUSED(exactFirst);
    return std::nullopt;
#else
    const auto* listing = DirectoryEntryAccess::find(held, dir);
    if (!listing)
        return std::nullopt;
    return DirectoryEntryAccess::firstFile(*listing, namePattern, exactFirst);
#endif
}

long directoriesReadOnThisThread() {
    return readsOnThisThread;
}

std::optional<DirectorySnapshot::Listing> DirectorySnapshot::readListing(const QString& dir,
                                                                         Hidden hidden) {
    Listing listing;
    listing.entries.reserve(8); // a patch holds a few files
    listing.names.reserve(128);
#ifdef Q_OS_UNIX
    // Straight into the two blocks: no text of its own for each name.
    const auto began = std::chrono::steady_clock::now();
    std::vector<FarLink> far;
    const bool read = readRaw(dir, hidden, [&](const char* raw, int type, int fd) {
        const qsizetype offset = listing.names.size();
        const qsizetype length = qsizetype(std::strlen(raw));
        const QByteArrayView bytes(raw, length);
        if (std::all_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            listing.names.append(QLatin1String(bytes));
        } else {
            const auto name = decodedName(raw);
            listing.names.append(name ? *name : undecodableFileName(bytes));
        }
        listing.entries.push_back({offset, listing.names.size() - offset,
                                   kindOf(dir, type, fd, raw, listing.entries.size(), far),
                                   raw[0] == '.'});
        return true;
    });
    // Half the deadline: whoever waits for this listing still has it in time.
    if (!far.empty())
        learnFarKinds(far, listing.entries, began + storageDeadline() / 2);
#else
    const bool read = readEntries(
        dir,
        [&listing](const DirectoryEntry& entry) {
            const qsizetype offset = listing.names.size();
            listing.names.append(entry.name);
            listing.entries.push_back(
                {offset, entry.name.size(), entry.kind(), DirectoryEntryAccess::hidden(entry)});
            return true;
        },
        hidden);
#endif
    if (!read)
        return std::nullopt;
    return listing;
}

std::optional<DirectorySnapshot> readingForScan(const QString& root, const QStringList& paths,
                                                const DirectorySnapshot* held) {
    std::optional<DirectorySnapshot> kept;
    if (held)
        kept = *held; // copies share its reading
    if (held && held->coversSubdirectoriesOf(root))
        return kept;
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
        return kept;
    return DirectorySnapshot::startSubdirectories(root, names);
}

QStringList subdirectoryNames(const QString& dir, Hidden hidden, const DirectorySnapshot* held) {
    QStringList names;
    forEachEntry(
        dir,
        [&names](const DirectoryEntry& entry) {
            if (entry.kind() == EntryKind::Directory)
                names.append(entry.name);
            return true;
        },
        hidden, held);
    return names;
}

} // namespace platform
