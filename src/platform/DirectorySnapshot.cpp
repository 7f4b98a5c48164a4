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

} // namespace platform
