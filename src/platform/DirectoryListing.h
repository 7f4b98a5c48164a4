#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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
    friend bool forEachEntry(const QString&, const std::function<bool(const DirectoryEntry&)>&,
                             Hidden);
    int directoryFd_ = -1;
    const char* rawName_ = nullptr;
    int type_ = 0;
    mutable std::optional<EntryKind> kind_;
};

// Calls `visit` with each entry of `dir` ("." and ".." left out) in the
// directory's own order, until it returns false. Hidden entries (dot-names
// on POSIX) are skipped unless `hidden` includes them; names that cannot be
// spelled as text and back (bytes not valid in the system's encoding) are
// always skipped: nothing could open them by that text. Returns false when
// the directory cannot be read.
bool forEachEntry(const QString& dir, const std::function<bool(const DirectoryEntry&)>& visit,
                  Hidden hidden = Hidden::Skip);

// The names of the sub-directories of `dir` (links to directories included),
// in the directory's own order; empty when it cannot be read.
QStringList subdirectoryNames(const QString& dir, Hidden hidden);

} // namespace platform
