#pragma once

#include <QString>

namespace platform {

// Makes `path` (resolved ignoring case) the process's current directory.
// Throws Error naming the directory and the system's reason when it cannot.
void changeDirectory(const QString& path);

// The process's current directory, native separators, no trailing separator
// except at a root.
QString currentDirectory();

// The path a directory list shows for `path`: its letter case resolved, made
// absolute from the current directory, cleaned, without a trailing separator,
// with native separators.
QString shownDirectoryPath(const QString& path);

// The directory holding the program file.
QString programDirectory();

// Where an installed copy whose program lies in `programDir` keeps its
// read-only data (the manual).
QString installedDataDirectory(const QString& programDir);

} // namespace platform
