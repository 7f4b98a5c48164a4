#pragma once

#include <QString>

namespace platform {

// The player's home directory ($HOME).
QString homeDirectory();

// Where the desktop keeps a user's configuration: $XDG_CONFIG_HOME, or
// ~/.config when that is unset, empty or relative (the XDG Base Directory
// rule). No trailing separator.
QString userConfigDirectory();

// Creates `path` and any missing parents, each new one readable by the
// owner alone, as the XDG rule asks of configuration directories. Throws
// Error naming the directory that could not be made and the system's reason.
void makeDirectories(const QString& path);

} // namespace platform
