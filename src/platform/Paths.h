#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

// A file name's bytes as text, for a name that is not valid in the system's
// encoding (UTF-8): what is valid decodes as usual, and each byte that is
// not becomes a lone surrogate U+DC80 + byte, so the name still names its
// own entry in a listing, and still shows where those bytes are. No call can
// open the file by this text.
QString undecodableFileName(QByteArrayView bytes);

// True when `path` holds such bytes (a lone surrogate of that range).
bool holdsUndecodableBytes(QStringView path);

// `path` for the player to read: each such byte as U+FFFD, the replacement
// character a file manager shows.
QString visibleFileName(const QString& path);

} // namespace platform
