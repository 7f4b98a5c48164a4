#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Window style 3 asks for the program maximised with the focus. Honoured on
// Windows; X11 and Wayland give a launcher no say over another program's
// window, so elsewhere it is accepted and has no effect.
constexpr int MaximizedFocus = 3;

// Splits a command-line text into words at blanks (spaces and tabs); a
// double-quoted run stays inside one word, its quotes removed. `firstPrefix`,
// when given, is glued to the front of the first word, or stands as a word of
// its own when the text begins with a blank or is empty, exactly as if it had
// been written in front of the text without a blank.
QStringList splitWords(const QString& text, const QString& firstPrefix = {});

// Starts words[0] with the other words as its arguments, detached in its own
// session, without a shell and without waiting; nothing is kept of it. The
// program is a path (resolved ignoring case) when it holds a separator, else
// it is looked up on PATH. On a case-sensitive host each argument that names
// an existing file or directory ignoring case (absolute, or relative to the
// current directory) is passed in its on-disk spelling. Throws Error naming
// the program when it cannot be started.
void startProgram(const QStringList& words, int windowStyle);

// The words startProgram() would really run: program resolved, arguments in
// their on-disk spelling. Throws like startProgram() when there is no program.
QStringList resolvedWords(const QStringList& words);

// For tests that must watch what would be started without starting it: while
// set, startProgram() resolves the words and hands them here instead.
using StartRecorder = std::function<void(const QStringList& words, int windowStyle)>;
void setStartRecorderForTesting(StartRecorder recorder);

} // namespace platform
