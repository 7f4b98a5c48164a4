#pragma once

#include <QString>

namespace platform {

// The host's path separator: where the Windows-born logic joins paths with a
// backslash, the code joins them with this.
QChar separator();

// True where the file system tells letter case apart (Linux and other POSIX
// hosts but macOS); there every path is resolved ignoring case.
bool caseSensitiveHost();

// The path as it is spelled on disk, each component matched ignoring letter
// case. An exact spelling that exists wins; otherwise the directory is listed
// and, when several entries differ only in case, the one that sorts first by
// code point ("CTF" before "Ctf" before "ctf") is taken. Components that match
// nothing are kept as given, as is everything after them. Identity on hosts
// that ignore case.
QString resolveCase(const QString& path);

// The same lookup, done whatever the host (so it can be tested everywhere).
QString resolveCaseAlways(const QString& path);

// Drops trailing separators except at a root ("/" or "C:\").
QString withoutTrailingSeparator(const QString& path);

// Native separators for display and for strings the logic composes.
QString nativePath(const QString& path);

} // namespace platform
