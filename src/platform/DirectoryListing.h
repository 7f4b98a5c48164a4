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

class DirectorySnapshot;

// Calls `visit` with each entry of `dir` ("." and ".." left out) in the
// directory's own order, until it returns false. A directory that `held`
// (a reading made earlier, handed over by the caller) holds is answered from
// it; any other is read on a worker within the storage deadline (Deadline.h),
// so a share that stops answering throws Error instead of holding the
// caller. Hidden entries (dot-names on POSIX) are skipped unless `hidden`
// includes them; a name whose bytes are not valid in the system's encoding
// comes as undecodableFileName() spells it (Paths.h), so it is listed and can
// be refused by name. Returns false when the directory cannot be read.
bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden = Hidden::Skip, const DirectorySnapshot* held = nullptr);

// How many directories were read from disk for this thread so far: lets
// tests see which reads a snapshot saved.
long directoriesReadOnThisThread();

// How many listings a reading keeps in flight: on a share each listing waits
// on the network far longer than it costs here, so many at once hide that
// wait; on a local disk they cost no more than one after another.
constexpr int ListingsInFlight = 16;

// A directory and its sub-directories (hidden ones too), each read once, as
// they were then, by a reading that keeps ListingsInFlight listings in
// flight on threads of its own. forEachEntry given it answers from it, waiting for a listing still
// being read (within the storage deadline for each listing, not for the reading as a whole); it
// answers exactly the listings a fresh read would have given at that moment (order, kinds, hidden
// names), and a directory it does not hold, or whose reading stopped before reaching it, is read
// from disk. Copies share one reading; when the last goes, no further listing is begun, and the
// ones in flight end on their own without anyone waiting for them.
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

// What a scan of the sub-directories `paths` of `root` (full paths) answers
// from: `held` when it covers them, otherwise a reading of them begun in
// parallel in that order (or `held` again when none of them is one of
// `root`'s); nothing when there is neither.
std::optional<DirectorySnapshot> readingForScan(const QString& root, const QStringList& paths,
                                                const DirectorySnapshot* held);

// The first ordinary file (not hidden) of `dir` whose name matches
// `namePattern` (Wildcard.h), the name spelled exactly tried first when
// `exactFirst`, answered from `held`, waiting for its listing like
// forEachEntry; nothing when `held` does not hold `dir`. The listing is
// looked at in place: no entry is copied.
std::optional<QString> firstFileIn(const DirectorySnapshot& held, QStringView dir,
                                   QStringView namePattern, bool exactFirst);

// The names of the sub-directories of `dir` (links to directories included),
// in the directory's own order, answered from `held` when it holds `dir`;
// empty when it cannot be read.
QStringList subdirectoryNames(const QString& dir, Hidden hidden,
                              const DirectorySnapshot* held = nullptr);

} // namespace platform
