#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The bare on-disk name of the first ordinary file matching `pattern`, a path
// whose last component may hold '*' and '?'; empty text when none matches.
// Letter case is ignored throughout. Directories and hidden files (dot-names
// on POSIX; hidden or system attribute on Windows) never match. The order is
// the directory's own listing order, unsorted, except that a pattern without
// wildcards is first tried by its exact spelling. A directory part that does
// not exist matches nothing; it is not an error.
QString findFirstFile(const QString& pattern);

// While one is alive, findFirstFile reads a directory once for every lookup
// in it: it keeps the ordinary files' names of the directory it read last, in
// listing order, and answers from them until a lookup in another directory
// replaces them. A scan that looks twice into each of ten thousand
// directories then reads each once. The answers are the same as without it,
// as of the moment the directory was read; nothing is kept once it ends, so a
// later lookup sees the disk as it is then. Scopes nest; the innermost serves.
// For the one user-interface thread only.
class ListingScope {
  public:
    ListingScope();
    ~ListingScope();
    ListingScope(const ListingScope&) = delete;
    ListingScope& operator=(const ListingScope&) = delete;

    // How many directories this scope has read: lets tests see that a second
    // lookup in the same directory reads nothing.
    int directoriesRead() const { return reads_; }

  private:
    friend QString findFirstFile(const QString& pattern);
    QString firstFile(QStringView dir, QStringView namePattern, bool exactFirst);

    ListingScope* outer_;
    QString dir_;
    bool holdsListing_ = false;
    bool readAsSpelled_ = false;
    QStringList files_;
    int reads_ = 0;
};

} // namespace platform
