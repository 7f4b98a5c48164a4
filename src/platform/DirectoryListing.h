#pragma once

#include <QString>
#include <QStringList>

#include <QHash>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

enum class EntryKind { File, Directory, Other };

// Whether a listing shows hidden entries (dot-names on POSIX).
enum class Hidden { Skip, Include };

// One entry of a directory being read. Its kind (links followed) is looked
// up only when asked for, as it may cost a metadata call.
class DirectoryEntry {
  public:
    QString name;
    EntryKind kind() const;

  private:
    friend struct DirectoryEntryAccess;
    int directoryFd_ = -1;
    const char* rawName_ = nullptr;
    int type_ = 0;
    bool hidden_ = false;
    mutable std::optional<EntryKind> kind_;
};

// Calls `visit` with each entry of `dir` ("." and ".." left out) in the
// directory's own order, until it returns false. Within a SnapshotScope on
// this thread, a directory the snapshot holds is answered from it. Hidden entries (dot-names
// on POSIX) are skipped unless `hidden` includes them; names that cannot be
// spelled as text and back (bytes not valid in the system's encoding) are
// always skipped: nothing could open them by that text. Returns false when
// the directory cannot be read.
bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden = Hidden::Skip);

// How many directories this thread has read from disk so far: lets tests see
// which reads a snapshot saved.
long directoriesReadOnThisThread();

// A directory and each of its sub-directories (hidden ones too), each read
// once, as they were then: made on any thread, so the reading can run while
// the window is being built, and answered later by forEachEntry in a
// SnapshotScope. It answers exactly the listings a fresh read would have
// given at that moment (order, kinds, hidden names); a directory it does
// not hold is read from disk.
class DirectorySnapshot {
  public:
    // Reads `root` (as spelled) and then each sub-directory in it. Stops
    // early, keeping what it has read, once `stop` is set.
    static DirectorySnapshot read(const QString& root, const std::atomic<bool>* stop = nullptr);

    const QString& root() const { return root_; }
    int directoriesHeld() const { return static_cast<int>(listings_.size()); }

  private:
    friend struct DirectoryEntryAccess;
    struct Entry {
        QString name;
        EntryKind kind;
        bool hidden;
    };
    using Listing = std::vector<Entry>;
    const Listing* find(const QString& dir) const;

    QString root_;
    QString prefix_; // the root with one separator after it
    // Keyed by the sub-directory's name; the root itself under the empty name.
    QHash<QString, Listing> listings_;
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

// The names of the sub-directories of `dir` (links to directories included),
// in the directory's own order; empty when it cannot be read.
QStringList subdirectoryNames(const QString& dir, Hidden hidden);

} // namespace platform
