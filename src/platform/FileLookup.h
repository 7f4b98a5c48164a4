#pragma once

#include <QString>

namespace platform {

// The bare on-disk name of the first ordinary file matching `pattern`, a path
// whose last component may hold '*' and '?'; empty text when none matches.
// Letter case is ignored throughout. Directories and hidden files (dot-names
// on POSIX; hidden or system attribute on Windows) never match. The order is
// the directory's own listing order, unsorted, except that a pattern without
// wildcards is first tried by its exact spelling. A directory part that does
// not exist matches nothing; it is not an error.
QString findFirstFile(const QString& pattern);

} // namespace platform
