#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

enum class EntryKind { File, Directory, Other };

// Whether a listing shows hidden entries (dot-names on POSIX).
enum class Hidden { Skip, Include };

// One entry of a directory read: its name and its kind (links followed).
class DirectoryEntry {
  public:
    QString name;
    EntryKind kind() const { return kind_; }

  private:
    friend struct DirectoryEntryAccess;
    EntryKind kind_ = EntryKind::Other;
    bool hidden_ = false;
};

// Calls `visit` with each entry of `dir` ("." and ".." left out) in the
// directory's own order, until it returns false. Within a SnapshotScope on
// this thread, a directory the snapshot holds is answered from it; any other
// is read on a thread of its own within the storage deadline (Deadline.h),
// so a share that stops answering throws Error instead of holding the
// caller. Hidden entries (dot-names on POSIX) are skipped unless `hidden`
// includes them; a name whose bytes are not valid in the system's encoding
// comes as undecodableFileName() spells it (Paths.h), so it is listed and can
// be refused by name. Returns false when the directory cannot be read.
bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden = Hidden::Skip);

// How many directories were read from disk for this thread so far: lets
// tests see which reads a snapshot saved.
long directoriesReadOnThisThread();

// How many listings a reading keeps in flight: on a share each listing waits
// on the network far longer than it costs here, so many at once hide that
// wait; on a local disk they cost no more than one after another.
constexpr int ListingsInFlight = 16;

// A directory and its sub-directories (hidden ones too), each read once, as
// they were then, by a reading that keeps ListingsInFlight listings in
// flight on threads of its own. forEachEntry within a SnapshotScope answers
// from it, waiting for a listing still being read (within the storage
// deadline for each listing, not for the reading as a whole); it answers
// exactly the listings a fresh read would have given at that moment (order,
// kinds, hidden names), and a directory it does not hold, or whose reading
// stopped before reaching it, is read from disk. Copies share one reading;
// when the last goes, no further listing is begun, and the ones in flight
// end on their own without anyone waiting for them.
class DirectorySnapshot {
  public:
    // Reads `root` (as spelled) on this thread, then its sub-directories;
    // returns when all are read, or after the root alone when `stop` is set.
    static DirectorySnapshot read(const QString& root, const std::atomic<bool>* stop = nullptr);
    // Reads `root` on this thread and begins reading its sub-directories in
    // their listing order; returns at once. It waits on the root without a
    // deadline, so it is for a thread the window never waits on unbounded.
    static DirectorySnapshot start(const QString& root);
    // Begins reading the sub-directories `names` of `root`, in that order
    // (the order they will be asked for), without the root; returns at once.
    static DirectorySnapshot startSubdirectories(const QString& root, const QStringList& names);

    const QString& root() const;
    // Listings read so far, the root's included.
    int directoriesHeld() const;
    // Whether it answers for every sub-directory of `dir`: `dir` is its root
    // and it read the root.
    bool coversSubdirectoriesOf(const QString& dir) const;
    // Whether it has read `dir` (as spelled) already, so that asking it
    // waits for nothing.
    bool holds(const QString& dir) const;

  private:
    friend struct DirectoryEntryAccess;
    // A listing is kept whole in two blocks, whatever its size: its names
    // one after another, and what is known of each.
    struct Entry {
        qsizetype offset;
        qsizetype length;
        EntryKind kind;
        bool hidden;
    };
    struct Listing {
        QString names;
        std::vector<Entry> entries;
        QStringView nameOf(const Entry& entry) const {
            return QStringView(names).mid(entry.offset, entry.length);
        }
    };
    struct State;
    struct Owner;
    static DirectorySnapshot begin(const QString& root, std::optional<Listing> rootListing,
                                   QStringList names);
    static std::optional<Listing> readListing(const QString& dir, Hidden hidden);
    // The listing of `dir`, waiting for it while it is read; null when not
    // held. Throws notAnswering(dir) when its listing takes past the deadline.
    const Listing* find(QStringView dir) const;
    // The slot of the sub-directory `path` names (separators '/'); -1 when
    // it is none of the reading's.
    qsizetype slotNamed(QStringView path) const;

    std::shared_ptr<State> state_;
    std::shared_ptr<Owner> owner_;
};

// While one is alive, forEachEntry on this thread answers from `snapshot`
// (none: from disk) for the directories it holds. Scopes nest; the innermost
// serves.
class SnapshotScope {
  public:
    explicit SnapshotScope(const DirectorySnapshot* snapshot);
    ~SnapshotScope();
    SnapshotScope(const SnapshotScope&) = delete;
    SnapshotScope& operator=(const SnapshotScope&) = delete;

  private:
    const DirectorySnapshot* outer_;
};

// The sub-directories `paths` of `root` (full paths), read in parallel in
// that order for as long as it lives and answered from that reading, unless
// a snapshot this thread already answers from covers them.
class ParallelReadingScope {
  public:
    ParallelReadingScope(const QString& root, const QStringList& paths);
    ParallelReadingScope(const ParallelReadingScope&) = delete;
    ParallelReadingScope& operator=(const ParallelReadingScope&) = delete;

  private:
    std::optional<DirectorySnapshot> reading_;
    std::optional<SnapshotScope> scope_;
};

// Whether the snapshot this thread answers from (SnapshotScope) has read
// `dir` (as spelled): a lookup there touches no storage, and needs no thread
// nor deadline.
bool listingHeld(const QString& dir);

// The first ordinary file (not hidden) of `dir` whose name matches
// `namePattern` (Wildcard.h), the name spelled exactly tried first when
// `exactFirst`, answered from the snapshot this thread answers from,
// waiting for its listing like forEachEntry; nothing when the snapshot does
// not hold `dir`. The listing is looked at in place: no entry is copied.
std::optional<QString> firstFileInSnapshot(QStringView dir, QStringView namePattern,
                                           bool exactFirst);

// The names of the sub-directories of `dir` (links to directories included),
// in the directory's own order; empty when it cannot be read.
QStringList subdirectoryNames(const QString& dir, Hidden hidden);

} // namespace platform
