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
// double-quoted run stays inside one word, its quotes removed.
QStringList splitWords(const QString& text);

// Where the program named by a command line's first word is looked for
// first, and where the user can correct that word.
struct ProgramLookup {
    // A program of that name here (letter case ignored) wins over any other.
    QString home;
    // Where the user types the command line, as the messages name it
    // ("\"Program And Command Line\" on the Setup tab"); empty: not said.
    QString setting;
};

// The program a command line's first word names, as a path spelled as on
// disk. In order: home's program of that name, when there is such a file;
// failing that, a word that is an absolute path as it stands (letter case
// resolved), a bare name as a shell finds it on PATH, any other path relative
// to the current directory (letter case resolved). Throws Error when the word
// is empty ("no program is given") or names no program: the message names
// every place tried and, when given, the setting to correct.
QString findProgram(const QString& word, const ProgramLookup& lookup = {});

// Starts the program words[0] names (findProgram) with the other words as
// its arguments, detached in its own session, without a shell and without
// waiting; nothing is kept of it. On a case-sensitive host each argument
// that names an existing file or directory ignoring case (absolute, or
// relative to the current directory) is passed in its on-disk spelling.
// Throws Error naming the program when it cannot be started.
void startProgram(const QStringList& words, int windowStyle, const ProgramLookup& lookup = {});

// The words startProgram() would really run: program found, arguments in
// their on-disk spelling. Throws like startProgram() when there is no program.
QStringList resolvedWords(const QStringList& words, const ProgramLookup& lookup = {});

// For tests that must watch what would be started without starting it: while
// set, startProgram() resolves the words and hands them here instead.
using StartRecorder = std::function<void(const QStringList& words, int windowStyle)>;
void setStartRecorderForTesting(StartRecorder recorder);

} // namespace platform
