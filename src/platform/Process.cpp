#include "platform/Process.h"

#include "platform/Deadline.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/Spawn.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

namespace {

StartRecorder& recorder() {
    static StartRecorder instance;
    return instance;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString cannotStart() {
    return QStringLiteral("Cannot start");
}

// An existing file as the program: it must be one the user may run.
QString runnable(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        throw Error(cannotStart(), nativePath(path), systemReason(EISDIR));
    if (!info.isExecutable())
        throw Error(cannotStart(), nativePath(path), systemReason(EACCES));
    return path;
}

bool isBareName(const QString& word) {
    return !word.contains(QLatin1Char('/')) && !word.contains(separator());
}

// Where a program word was looked for, and what was found (empty: nothing).
struct Search {
    QString found;
    QStringList tried;    // files looked for, as shown to the player
    QStringList searched; // the search path, for a bare name
};

Search searchFor(const QString& word, const ProgramLookup& lookup) {
    Search search;
    if (!lookup.home.isEmpty()) {
        const QString candidate =
            resolveCase(QDir::cleanPath(QDir::fromNativeSeparators(lookup.home) + QLatin1Char('/') +
                                        QDir::fromNativeSeparators(word)));
        const QFileInfo info(candidate);
        if (info.exists() && !info.isDir()) {
            search.found = info.absoluteFilePath();
            return search;
        }
        search.tried.append(nativePath(candidate));
    }

    if (isBareName(word)) {
        search.searched = searchPath();
        for (const QString& dir : std::as_const(search.searched)) {
            search.found = QStandardPaths::findExecutable(word, {dir});
            if (!search.found.isEmpty())
                return search;
        }
    } else {
        // Absolute, or relative to the current directory. The program runs
        // in another directory, so what is started is the absolute path of
        // the file found here, never the word again.
        const QString candidate = resolveCase(word);
        if (QFileInfo::exists(candidate)) {
            search.found = QFileInfo(candidate).absoluteFilePath();
            return search;
        }
        const QString shown = nativePath(QDir::cleanPath(
            QDir::current().absoluteFilePath(QDir::fromNativeSeparators(candidate))));
        if (!search.tried.contains(shown))
            search.tried.append(shown);
    }
    return search;
}

QString whereToFix(const ProgramLookup& lookup) {
    return lookup.setting.isEmpty() ? QString() : QStringLiteral(" in ") + lookup.setting;
}

Error noProgramGiven(const ProgramLookup& lookup) {
    const QString fix = whereToFix(lookup);
    return Error(QStringLiteral("No program is given"), QString(),
                 fix.isEmpty() ? QString() : QStringLiteral("type one") + fix);
}

Error noSuchProgram(const QString& word, const ProgramLookup& lookup, Search search) {
    // The places tried can be many (a long PATH): one a line, apart from the
    // message, which stays short enough for any screen.
    QString detail;
    if (!search.tried.isEmpty())
        detail = QStringLiteral("Looked for:\n  ") + search.tried.join(QStringLiteral("\n  "));
    search.searched.removeDuplicates();
    if (!search.searched.isEmpty()) {
        detail += (search.tried.isEmpty() ? QStringLiteral("Looked") : QStringLiteral("\nand")) +
                  QStringLiteral(" in the search path (PATH):\n  ") +
                  search.searched.join(QStringLiteral("\n  "));
    }
    QString reason = QStringLiteral("No such program.");
    const QString fix = whereToFix(lookup);
    if (!fix.isEmpty())
        reason += QStringLiteral(" Correct it") + fix + QLatin1Char('.');
    return Error(cannotStart(), word, reason, detail);
}

// The arguments after the program, each in its on-disk spelling where it
// names something that exists: absolute, or relative to `directory` (the
// program's, empty: the current one), where the program will read it. The
// last `asGiven` words are handed over as they are.
QStringList spelledArguments(const QStringList& words, const QString& directory = {},
                             qsizetype asGiven = 0) {
    QStringList spelled;
    const QDir base(directory.isEmpty() ? QDir::currentPath() : directory);
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (!caseSensitiveHost() || word.isEmpty() || i >= words.size() - asGiven) {
            spelled.append(word);
            continue;
        }
        if (QDir::isAbsolutePath(word)) {
            const QString onDisk = resolveCase(word);
            spelled.append(onDisk != word && QFileInfo::exists(onDisk) ? onDisk : word);
            continue;
        }
        // Resolved below the base, then handed over relative again.
        const QString absolute = base.absoluteFilePath(word);
        const QString onDisk = resolveCase(absolute);
        spelled.append(
            onDisk != absolute && QFileInfo::exists(onDisk) ? base.relativeFilePath(onDisk) : word);
    }
    return spelled;
}

} // namespace

QStringList searchPath() {
    QString path = qEnvironmentVariable("PATH");
#ifndef Q_OS_WIN
    if (!qEnvironmentVariableIsSet("PATH")) {
        // The system's default, as a shell uses it when PATH is unset.
        char buffer[1024] = {};
        if (confstr(_CS_PATH, buffer, sizeof buffer) > 0)
            path = QString::fromLocal8Bit(buffer);
    }
#endif
    QStringList dirs = path.split(QDir::listSeparator());
    for (QString& dir : dirs) {
        if (dir.isEmpty())
            dir = QStringLiteral(".");
    }
    return dirs;
}

QString locateProgram(const QString& word, const ProgramLookup& lookup) {
    return word.isEmpty() ? QString() : searchFor(word, lookup).found;
}

QString findProgram(const QString& word, const ProgramLookup& lookup) {
    if (word.isEmpty())
        throw noProgramGiven(lookup);
    Search search = searchFor(word, lookup);
    if (search.found.isEmpty())
        throw noSuchProgram(word, lookup, std::move(search));
    return runnable(search.found);
}

QStringList splitWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (isBlank(c) && !quoted) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

QStringList resolvedWords(const QStringList& words, const ProgramLookup& lookup) {
    return QStringList{findProgram(words.value(0), lookup)} + spelledArguments(words);
}

void startProgram(const QStringList& words, int windowStyle, const QString& workingDirectory,
                  const ProgramLookup& lookup, const StartWatch& watch, qsizetype asGiven) {
    // Finding the program and spelling the arguments looks into the Quake
    // directory (or the read-me's), which may be a share that stopped
    // answering: bounded, named after the place most likely to be one.
    const QString place = !workingDirectory.isEmpty() ? workingDirectory
                          : !lookup.home.isEmpty()    ? lookup.home
                          : words.size() > 1
                              ? QFileInfo(QDir::fromNativeSeparators(words.last())).path()
                              : QDir::currentPath();
    // A missing program comes back as a value, so that what else is
    // installed is looked up here, each look bounded on its own.
    struct Resolved {
        QStringList words;
        std::optional<Error> missing;
    };
    Resolved outcome =
        withinDeadline(place, [words, lookup, workingDirectory, asGiven]() -> Resolved {
            const QString word = words.value(0);
            if (word.isEmpty())
                throw noProgramGiven(lookup);
            Search search = searchFor(word, lookup);
            if (search.found.isEmpty())
                return {{}, noSuchProgram(word, lookup, std::move(search))};
            return {QStringList{runnable(search.found)} +
                        spelledArguments(words, workingDirectory, asGiven),
                    std::nullopt};
        });
    if (outcome.missing) {
        const Error& missing = *outcome.missing;
        const QString installed = lookup.installed ? lookup.installed() : QString();
        if (installed.isEmpty())
            throw missing;
        throw Error(missing.action(), missing.subject(), missing.reason(),
                    missing.detail().isEmpty()
                        ? installed
                        : missing.detail() + QStringLiteral("\n\n") + installed);
    }
    const QStringList& resolved = outcome.words;
    if (recorder()) {
        recorder()(resolved, windowStyle);
        return;
    }
#ifdef Q_OS_WIN
    // A Windows game shows its own error window and has no console output to
    // keep, so it is started as ever and not watched.
    Q_UNUSED(watch);
    QProcess process;
    process.setProgram(resolved.first());
    process.setArguments(resolved.mid(1));
    process.setWorkingDirectory(workingDirectory);
    if (windowStyle == MaximizedFocus) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
        });
    }
    if (!process.startDetached())
        throw Error(cannotStart(), nativePath(resolved.first()), process.errorString());
#else
    Q_UNUSED(windowStyle);
    spawnWatched(resolved, workingDirectory, watch);
#endif
}

QString cacheFile(const QString& name) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/runemark/") + name;
}

QString lastLinesOf(const QString& path, int maxLines, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    const bool cut = size > maxBytes;
    if (cut)
        file.seek(size - maxBytes);
    QByteArray tail = file.read(maxBytes);
    if (cut) // the first line read is only the end of one
        tail.remove(0, tail.indexOf('\n') + 1);
    QString text;
    for (const QChar c : QString::fromLocal8Bit(tail)) {
        if (c == QLatin1Char('\r'))
            text += QLatin1Char('\n'); // a line rewritten in place
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || c.isPrint())
            text += c;
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines.mid(std::max<qsizetype>(0, lines.size() - maxLines)).join(QLatin1Char('\n'));
}

QString ProgramEnd::how() const {
    if (!signalled)
        return QStringLiteral("with exit status %1").arg(code);
#ifdef Q_OS_WIN
    return QStringLiteral("ended by signal %1").arg(code);
#else
    return QStringLiteral("killed by signal %1 (%2)")
        .arg(code)
        .arg(QString::fromLocal8Bit(::strsignal(code)));
#endif
}

Error ProgramEnd::failure(const QString& role, const QString& note) const {
    QString reason = QStringLiteral("it ended at once, ") + how() + QLatin1Char('.');
    if (!note.isEmpty())
        reason += QLatin1Char('\n') + note;
    QString detail;
    if (!logIssue.isEmpty())
        detail = QStringLiteral("Its output could not be kept: ") + logIssue + QLatin1Char('.');
    else if (!log.isEmpty() && lastLines.isEmpty())
        detail = QStringLiteral("It wrote nothing to ") + log + QLatin1Char('.');
    else if (!log.isEmpty())
        detail = QStringLiteral("Its last lines (all of its output is in ") + log +
                 QStringLiteral("):\n\n") + lastLines;
    return Error(role, program, reason, detail);
}

void setStartRecorderForTesting(StartRecorder newRecorder) {
    recorder() = std::move(newRecorder);
}

} // namespace platform
