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

using Clock = std::chrono::steady_clock;

// What a reading and its threads share. The threads hold it too, so a
// listing that comes back after everyone else stopped waiting for it lands
// here and harms nothing. No lock is held while a directory is read.
struct DirectorySnapshot::State {
    QString root;
    QString prefix; // the root with one separator after it
    std::optional<Listing> rootListing;
    // Fixed before the threads start; read-only afterwards.
    QStringList names;
    QHash<QString, int> slotOf; // by sub-directory name

    enum class Phase { Waiting, Reading, Read, Failed };
    struct Slot {
        Phase phase = Phase::Waiting;
        Clock::time_point began;
        Listing listing;
    };
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Slot> listings;
    qsizetype next = 0;
    int waiters = 0;
    int held = 0;
    bool stopped = false;
    Clock::time_point lastAnswer = Clock::now();

    // One of the reading's threads: takes the next sub-directory until none
    // is left or the reading is stopped.
    static void work(const std::shared_ptr<State>& state) {
        for (;;) {
            qsizetype i = 0;
            {
                const std::lock_guard<std::mutex> hold(state->lock);
                if (state->stopped || state->next >= state->names.size())
                    return;
                i = state->next++;
                Slot& slot = state->listings[static_cast<size_t>(i)];
                slot.phase = Phase::Reading;
                slot.began = Clock::now();
            }
            auto listing = readListing(state->prefix + state->names.at(i), Hidden::Include);
            const std::lock_guard<std::mutex> hold(state->lock);
            Slot& slot = state->listings[static_cast<size_t>(i)];
            if (listing) {
                slot.listing = std::move(*listing);
                slot.phase = Phase::Read;
                ++state->held;
            } else {
                slot.phase = Phase::Failed;
            }
            state->lastAnswer = Clock::now();
            if (state->waiters > 0)
                state->changed.notify_all();
        }
    }
};

// Held by the copies of a snapshot, not by its threads: when the last copy
// goes, no further listing is begun.
struct DirectorySnapshot::Owner {
    explicit Owner(std::shared_ptr<State> reading) : state(std::move(reading)) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    std::shared_ptr<State> state;
    ~Owner() {
        const std::lock_guard<std::mutex> hold(state->lock);
        state->stopped = true;
    }
};

DirectorySnapshot DirectorySnapshot::begin(const QString& root, std::optional<Listing> rootListing,
                                           QStringList names) {
    auto state = std::make_shared<State>();
    state->root = QDir::fromNativeSeparators(root);
    state->prefix =
        state->root.endsWith(QLatin1Char('/')) ? state->root : state->root + QLatin1Char('/');
    state->rootListing = std::move(rootListing);
    state->names = std::move(names);
    state->listings.resize(static_cast<size_t>(state->names.size()));
    state->slotOf.reserve(state->names.size());
    for (qsizetype i = 0; i < state->names.size(); ++i)
        state->slotOf.insert(state->names.at(i), static_cast<int>(i));
    DirectorySnapshot snapshot;
    snapshot.state_ = state;
    snapshot.owner_ = std::make_shared<Owner>(state);
    const auto threads = std::min<qsizetype>(ListingsInFlight, state->names.size());
    for (qsizetype i = 0; i < threads; ++i) {
        try {
            detail::runDetached(root, [state] { State::work(state); });
        } catch (const Error&) {
            // Fewer threads read it; with none, every listing is read when
            // asked for.
            if (i == 0)
                snapshot.owner_.reset();
            break;
        }
    }
    return snapshot;
}

DirectorySnapshot DirectorySnapshot::start(const QString& root) {
    std::optional<Listing> top = readListing(root, Hidden::Include);
    QStringList names;
    if (top) {
        for (const Entry& entry : *top) {
            if (entry.kind == EntryKind::Directory)
                names.append(entry.name);
        }
    }
    return begin(root, std::move(top), std::move(names));
}

DirectorySnapshot DirectorySnapshot::startSubdirectories(const QString& root,
                                                         const QStringList& names) {
    return begin(root, std::nullopt, names);
}

DirectorySnapshot DirectorySnapshot::read(const QString& root, const std::atomic<bool>* stop) {
    if (stop && stop->load()) {
        DirectorySnapshot snapshot = begin(root, readListing(root, Hidden::Include), {});
        return snapshot;
    }
    DirectorySnapshot snapshot = start(root);
    if (!snapshot.owner_)
        return snapshot; // no thread to read the rest: it is read when asked for
    std::unique_lock<std::mutex> hold(snapshot.state_->lock);
    ++snapshot.state_->waiters;
    snapshot.state_->changed.wait(hold, [&] {
        const State& state = *snapshot.state_;
        return std::all_of(
            state.listings.begin(), state.listings.end(), [](const State::Slot& slot) {
                return slot.phase == State::Phase::Read || slot.phase == State::Phase::Failed;
            });
    });
    --snapshot.state_->waiters;
    return snapshot;
}

const QString& DirectorySnapshot::root() const {
    return state_->root;
}

int DirectorySnapshot::directoriesHeld() const {
    const std::lock_guard<std::mutex> hold(state_->lock);
    return state_->held + (state_->rootListing ? 1 : 0);
}

bool DirectorySnapshot::coversSubdirectoriesOf(const QString& dir) const {
    return state_->rootListing && QDir::fromNativeSeparators(dir) == state_->root;
}

const DirectorySnapshot::Listing* DirectorySnapshot::find(const QString& dir) const {
    State& state = *state_;
    const QString path = QDir::fromNativeSeparators(dir);
    if (path == state.root)
        return state.rootListing ? &*state.rootListing : nullptr;
    if (!path.startsWith(state.prefix) || path.size() == state.prefix.size())
        return nullptr;
    const auto found =
        state.slotOf.constFind(QStringView(path).mid(state.prefix.size()).toString());
    if (found == state.slotOf.cend())
        return nullptr;
    State::Slot& slot = state.listings[static_cast<size_t>(*found)];
    std::unique_lock<std::mutex> hold(state.lock);
    for (;;) {
        if (slot.phase == State::Phase::Read)
            return &slot.listing;
        if (slot.phase == State::Phase::Failed ||
            (slot.phase == State::Phase::Waiting && (state.stopped || !owner_)))
            return nullptr; // read from disk, as it is now
        // Each listing has the deadline from when it began; one not begun
        // yet waits while the others answer, as a queue that moves.
        const auto due = (slot.phase == State::Phase::Reading ? slot.began : state.lastAnswer) +
                         storageDeadline();
        if (Clock::now() >= due)
            throw notAnswering(dir);
        ++state.waiters;
        state.changed.wait_until(hold, due);
        --state.waiters;
    }
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
