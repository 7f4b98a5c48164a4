#include "platform/Deadline.h"
#include "platform/DirectoryListing.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

// The parallel reading behind DirectorySnapshot: listings kept in flight on
// threads of their own, waited for in the order the scan asks for them.

namespace platform {

using Clock = std::chrono::steady_clock;

namespace {

// A listing that takes longer than this is one of storage that answers late
// (a share, a disk spinning up, a cold cache): from then on the reading
// keeps ListingsInFlight listings in flight, each handed over as it comes.
// Below it, on a disk that answers at once, one thread reads ahead and hands
// its listings over in batches, which costs next to nothing beyond the
// reading itself: a thread and a wake-up a listing cost more than the
// listing on such a disk.
constexpr auto SlowListing = std::chrono::milliseconds(1);
// The most listings one thread hands over at once while the disk is fast.
constexpr qsizetype MostInOneBatch = 32;

Clock::time_point fromTicks(Clock::rep ticks) {
    return Clock::time_point(Clock::duration(ticks));
}

} // namespace

// What a reading and its threads share. The threads hold it too, so a
// listing that comes back after everyone else stopped waiting for it lands
// here and harms nothing. No lock is held while a directory is read.
struct DirectorySnapshot::State {
    QString root;
    QString prefix; // the root with one separator after it
    std::optional<Listing> rootListing;
    // Fixed before the threads start; read-only afterwards.
    QStringList names;
    QHash<QString, int> slotOf;          // by sub-directory name
    std::atomic<qsizetype> nextAsked{0}; // the slot after the one last asked for

    enum class Phase { Waiting, Reading, Read, Failed };
    struct Slot {
        Phase phase = Phase::Waiting;
        // While it is read: when its thread last finished a listing, so when
        // this one began at the latest.
        const std::atomic<Clock::rep>* progress = nullptr;
        Listing listing;
    };
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Slot> listings;
    // One a thread; appended under the lock, never moved.
    std::vector<std::unique_ptr<std::atomic<Clock::rep>>> progress;
    // The workers' calls, given up when a listing misses its deadline.
    std::vector<std::shared_ptr<detail::Ticket>> workers;
    std::atomic<Clock::rep> lastProgress{Clock::now().time_since_epoch().count()};
    qsizetype next = 0;
    int waiters = 0;
    int held = 0;
    int threads = 0;
    bool slow = false;
    bool stopped = false;

    // Starts one more reading worker; false when none is free or can be
    // made, or the place does not answer. Called with the lock held: the
    // worker set takes its own lock only, and runs nothing here.
    static bool startThread(const std::shared_ptr<State>& state) {
        state->progress.push_back(
            std::make_unique<std::atomic<Clock::rep>>(Clock::now().time_since_epoch().count()));
        std::atomic<Clock::rep>* progress = state->progress.back().get();
        auto ticket = detail::submit(
            state->root, [state, progress] { work(state, progress); }, detail::Start::NowOrNever);
        if (!ticket) {
            state->progress.pop_back();
            return false;
        }
        state->workers.push_back(std::move(ticket));
        ++state->threads;
        return true;
    }

    // The storage answers late: as many threads as listings in flight.
    static void turnSlow(const std::shared_ptr<State>& state) {
        const std::lock_guard<std::mutex> hold(state->lock);
        if (state->slow)
            return;
        state->slow = true;
        while (state->threads < ListingsInFlight && state->next < state->names.size() &&
               !state->stopped && startThread(state)) {
        }
    }

    // Hands the listings read of slots [from, from + read.size()) over.
    static void handOver(State& state, qsizetype from, std::vector<std::optional<Listing>>& read) {
        const std::lock_guard<std::mutex> hold(state.lock);
        for (auto& listing : read) {
            Slot& slot = state.listings[static_cast<size_t>(from++)];
            if (listing) {
                slot.listing = std::move(*listing);
                slot.phase = Phase::Read;
                ++state.held;
            } else {
                slot.phase = Phase::Failed;
            }
        }
        read.clear();
        if (state.waiters > 0)
            state.changed.notify_all();
    }

    // One of the reading's threads: takes the next sub-directories (one at a
    // time once the storage is slow, more at a time while it answers at
    // once) until none is left or the reading is stopped.
    static void work(const std::shared_ptr<State>& state, std::atomic<Clock::rep>* progress) {
        qsizetype batch = 1;
        std::vector<std::optional<Listing>> read;
        for (;;) {
            qsizetype from = 0;
            qsizetype to = 0;
            {
                const std::lock_guard<std::mutex> hold(state->lock);
                if (state->stopped || state->next >= state->names.size())
                    return;
                from = state->next;
                to = std::min(state->names.size(), from + (state->slow ? 1 : batch));
                state->next = to;
                progress->store(Clock::now().time_since_epoch().count());
                for (qsizetype i = from; i < to; ++i) {
                    Slot& slot = state->listings[static_cast<size_t>(i)];
                    slot.phase = Phase::Reading;
                    slot.progress = progress;
                }
            }
            qsizetype unsent = from;
            for (qsizetype i = from; i < to; ++i) {
                const Clock::time_point began = Clock::now();
                read.push_back(readListing(state->prefix + state->names.at(i), Hidden::Include));
                const Clock::time_point ended = Clock::now();
                progress->store(ended.time_since_epoch().count());
                state->lastProgress.store(ended.time_since_epoch().count());
                const bool late = ended - began > SlowListing;
                if (late)
                    turnSlow(state);
                if (late || i + 1 == to) {
                    handOver(*state, unsent, read);
                    unsent = i + 1;
                }
            }
            batch = std::min(batch * 2, MostInOneBatch);
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
    if (!state->names.isEmpty()) {
        // One worker to begin with; more once the storage proves slow.
        bool started = false;
        {
            const std::lock_guard<std::mutex> hold(state->lock);
            started = State::startThread(state);
        }
        // Dropped after the lock is let go: the owner takes it as it goes.
        if (!started)
            snapshot.owner_.reset(); // every listing is read when asked for
    }
    return snapshot;
}

DirectorySnapshot DirectorySnapshot::start(const QString& root) {
    std::optional<Listing> top = readListing(root, Hidden::Include);
    QStringList names;
    if (top) {
        for (const Entry& entry : top->entries) {
            if (entry.kind == EntryKind::Directory)
                names.append(top->nameOf(entry).toString());
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

qsizetype DirectorySnapshot::slotNamed(QStringView path) const {
    State& state = *state_;
    if (!path.startsWith(state.prefix) || path.size() == state.prefix.size())
        return -1;
    const QStringView name = path.mid(state.prefix.size());
    // The scan asks in the order it was read in: the slot after the last one
    // asked for is tried first, which needs no text of its own.
    const qsizetype guess = state.nextAsked.load(std::memory_order_relaxed);
    qsizetype slot = -1;
    if (guess < state.names.size() && state.names.at(guess) == name) {
        slot = guess;
    } else {
        const auto found = state.slotOf.constFind(name.toString());
        if (found == state.slotOf.cend())
            return -1;
        slot = *found;
    }
    state.nextAsked.store(slot + 1, std::memory_order_relaxed);
    return slot;
}

bool DirectorySnapshot::holds(const QString& dir) const {
    const State& state = *state_;
    const QString path = QDir::fromNativeSeparators(dir);
    if (path == state.root)
        return state.rootListing.has_value();
    const qsizetype slot = slotNamed(path);
    if (slot < 0)
        return false;
    const std::lock_guard<std::mutex> hold(state_->lock);
    return state.listings[static_cast<size_t>(slot)].phase == State::Phase::Read;
}

const DirectorySnapshot::Listing* DirectorySnapshot::find(QStringView dir) const {
    State& state = *state_;
#ifdef Q_OS_WIN
    const QString normal = QDir::fromNativeSeparators(dir.toString());
    const QStringView path = normal;
#else
    const QStringView path = dir;
#endif
    if (path == state.root)
        return state.rootListing ? &*state.rootListing : nullptr;
    const qsizetype at = slotNamed(path);
    if (at < 0)
        return nullptr;
    State::Slot& slot = state.listings[static_cast<size_t>(at)];
    std::unique_lock<std::mutex> hold(state.lock);
    for (;;) {
        if (slot.phase == State::Phase::Read)
            return &slot.listing;
        if (slot.phase == State::Phase::Failed ||
            (slot.phase == State::Phase::Waiting && (state.stopped || !owner_)))
            return nullptr; // read from disk, as it is now
        // A listing has the deadline from when it began; one not begun yet
        // waits while the others answer, as a queue that moves.
        const Clock::time_point since =
            fromTicks(slot.phase == State::Phase::Reading ? slot.progress->load()
                                                          : state.lastProgress.load());
        const Clock::time_point now = Clock::now();
        const Clock::time_point due = since + storageDeadline();
        if (now >= due) {
            // Its place counts as stuck until the reading's workers return.
            const auto workers = state.workers;
            hold.unlock();
            for (const auto& ticket : workers)
                detail::abandon(ticket);
            throw notAnswering(dir.toString());
        }
        if (!state.slow && now >= since + SlowListing) {
            // Nothing came for a while: the storage answers late, or a
            // listing hangs. Either way, more listings in flight.
            hold.unlock();
            State::turnSlow(state_);
            hold.lock();
            continue;
        }
        ++state.waiters;
        state.changed.wait_until(hold, state.slow ? due : std::min(due, since + SlowListing));
        --state.waiters;
    }
}

} // namespace platform
