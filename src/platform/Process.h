#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>

#include <chrono>
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
    // What is installed instead, for the detail of a start that finds no
    // such program (the engines on this computer); asked on the starting
    // thread, only then.
    std::function<QString()> installed;
};

// The directories a shell searches for a bare program name, in order ($PATH,
// or the system's default when it is unset); an empty entry is the current
// directory.
QStringList searchPath();

// The program a command line's first word names, as an absolute path spelled
// as on disk. In order: home's program of that name (a bare name or a path
// below home), when there is such a file; failing that, a word that is an
// absolute path as it stands (letter case resolved), a bare name as a shell
// finds it on PATH, any other path relative to the current directory (letter
// case resolved). Throws Error when the word
// is empty ("no program is given") or names no program: the message names
// every place tried and, when given, the setting to correct.
QString findProgram(const QString& word, const ProgramLookup& lookup = {});

// The file findProgram() would take for `word`, without its checks; empty
// when there is none. Lets a caller tell whether a bare name starts the
// program it means.
QString locateProgram(const QString& word, const ProgramLookup& lookup = {});

// How a started program ended, for a report.
struct ProgramEnd {
    QString program; // the program file started
    bool signalled = false;
    int code = 0;      // its exit status, or the number of the signal that ended it
    QString log;       // the file its output went to; empty when it was not kept
    QString logIssue;  // why its output could not be kept, when it could not
    QString lastLines; // the end of what it wrote, capped (lastLinesOf)

    // "with exit status 1", "killed by signal 11 (Segmentation fault)"
    QString how() const;
    // The report of a program that ended at once: what it was to the player
    // (`role`: "The game"), its name and how it ended in the message, with
    // `note` as a line of its own; its last lines and where all of its
    // output is in the detail.
    Error failure(const QString& role, const QString& note = {}) const;
};

// A short watch kept on a started program. When it ends within `within` of
// its start with a failure (a non-zero status or a signal), `failed` runs on
// the starting thread, from its event loop. A program still running then is
// left alone; whenever it ends, it is reaped so no zombie stays behind.
struct StartWatch {
    // Where its output (standard output and error) goes: this file, replaced
    // at the start. Empty: wherever the launcher's own goes.
    QString log;
    std::chrono::milliseconds within{0};
    std::function<void(const ProgramEnd&)> failed;
};

// Starts the program words[0] names (findProgram) with the other words as
// its arguments, in its own session with `workingDirectory` as its current
// directory (the launcher's own never changes), without a shell and without
// waiting, its input from the null device. On a case-sensitive host each
// argument that names an existing file or directory ignoring case (absolute,
// or relative to `workingDirectory`, where the program reads it) is passed in
// its on-disk spelling, but the last `asGiven` words, which are passed as
// they are (names the caller took from disk). Throws Error naming the
// program, or the working directory, when it cannot be started.
void startProgram(const QStringList& words, int windowStyle, const QString& workingDirectory,
                  const ProgramLookup& lookup = {}, const StartWatch& watch = {},
                  qsizetype asGiven = 0);

// The file `name` in the per-user cache directory ($XDG_CACHE_HOME/runemark
// on Linux), where the output of started programs is kept.
QString cacheFile(const QString& name);

// The last `maxLines` lines of a text file, read from at most its last
// `maxBytes` bytes, control characters but tab dropped; empty when none.
QString lastLinesOf(const QString& path, int maxLines = 30, qint64 maxBytes = 8192);

// The words startProgram() would really run: program found, arguments in
// their on-disk spelling. Throws like startProgram() when there is no program.
QStringList resolvedWords(const QStringList& words, const ProgramLookup& lookup = {});

// For tests that must watch what would be started without starting it: while
// set, startProgram() resolves the words and hands them here instead.
using StartRecorder = std::function<void(const QStringList& words, int windowStyle)>;
void setStartRecorderForTesting(StartRecorder recorder);

} // namespace platform
