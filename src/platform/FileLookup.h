#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class DirectorySnapshot;
class HeldListings;

// The bare on-disk name of the first ordinary file matching `pattern`, a path
// whose last component may hold '*' and '?'; empty text when none matches.
// Letter case is ignored throughout. Directories and hidden files (dot-names
// on POSIX; hidden or system attribute on Windows) never match. The order is
// the directory's own listing order, unsorted, except that a pattern without
// wildcards is first tried by its exact spelling. A directory part that does
// not exist matches nothing; it is not an error.
// A directory that `held` answers for is looked at in what it holds instead
// of on disk; without it every lookup looks at the disk as it is then.
QString findFirstFile(const QString& pattern, HeldListings* held = nullptr);

// Listings a run of lookups is answered from, handed to each lookup
// (findFirstFile) by its caller: the directories of `snapshot` (none: no
// reading made earlier), and the ordinary files' names of the directory it
// read last, in listing order, kept until a lookup in another directory
// replaces them. A scan that looks twice into each of ten thousand
// directories then reads each once. The answers are the same as a fresh
// lookup's, as of the moment the directory was read; nothing is kept once it
// ends. For one thread at a time.
class HeldListings {
  public:
    explicit HeldListings(const DirectorySnapshot* snapshot = nullptr) : snapshot_(snapshot) {}
    HeldListings(const HeldListings&) = delete;
    HeldListings& operator=(const HeldListings&) = delete;

    // How many directories these lookups have read from disk: lets tests see
    // that a second lookup in the same directory reads nothing.
    int directoriesRead() const { return reads_; }

  private:
    friend QString findFirstFile(const QString& pattern, HeldListings* held);
    QString firstFile(QStringView dir, QStringView namePattern, bool exactFirst);

    const DirectorySnapshot* snapshot_;
    QString dir_;
    bool holdsListing_ = false;
    bool readAsSpelled_ = false;
    QStringList files_;
    int reads_ = 0;
};

} // namespace platform
