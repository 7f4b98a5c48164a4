#include "platform/Process.h"

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

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

// The directories a shell searches for a bare name, in order; an empty
// entry is the current directory.
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

bool isBareName(const QString& word) {
    return !word.contains(QLatin1Char('/')) && !word.contains(separator());
}

} // namespace

QString findProgram(const QString& word, const ProgramLookup& lookup) {
    const QString fix =
        lookup.setting.isEmpty() ? QString() : QStringLiteral(" in ") + lookup.setting;
    if (word.isEmpty())
        throw Error(QStringLiteral("No program is given"), QString(),
                    fix.isEmpty() ? QString() : QStringLiteral("type one") + fix);

    QStringList tried;
    if (!lookup.home.isEmpty()) {
        const QString candidate =
            resolveCase(QDir::cleanPath(QDir::fromNativeSeparators(lookup.home) + QLatin1Char('/') +
                                        QDir::fromNativeSeparators(word)));
        const QFileInfo info(candidate);
        if (info.exists() && !info.isDir())
            return runnable(candidate);
        tried.append(nativePath(candidate));
    }

    QStringList searched;
    if (isBareName(word)) {
        searched = searchPath();
        for (const QString& dir : std::as_const(searched)) {
            const QString found = QStandardPaths::findExecutable(word, {dir});
            if (!found.isEmpty())
                return found;
        }
    } else {
        // Absolute, or relative to the current directory.
        const QString candidate = resolveCase(word);
        if (QFileInfo::exists(candidate))
            return runnable(candidate);
        const QString shown = nativePath(QDir::cleanPath(
            QDir::current().absoluteFilePath(QDir::fromNativeSeparators(candidate))));
        if (!tried.contains(shown))
            tried.append(shown);
    }

    QString reason =
        QStringLiteral("No such program. Looked for ") + tried.join(QStringLiteral(", "));
    searched.removeDuplicates();
    if (!searched.isEmpty()) {
        reason += (tried.isEmpty() ? QString() : QStringLiteral(" and ")) +
                  QStringLiteral("in the search path (PATH): ") +
                  searched.join(QStringLiteral(", "));
    }
    reason += QLatin1Char('.');
    if (!fix.isEmpty())
        reason += QStringLiteral(" Correct it") + fix + QLatin1Char('.');
    throw Error(cannotStart(), word, reason);
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
    QStringList resolved{findProgram(words.value(0), lookup)};
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words.at(i);
        const QString onDisk = caseSensitiveHost() && !word.isEmpty() ? resolveCase(word) : word;
        resolved.append(onDisk != word && QFileInfo::exists(onDisk) ? onDisk : word);
    }
    return resolved;
}

void startProgram(const QStringList& words, int windowStyle, const ProgramLookup& lookup) {
    const QStringList resolved = resolvedWords(words, lookup);
    if (recorder()) {
        recorder()(resolved, windowStyle);
        return;
    }
    QProcess process;
    process.setProgram(resolved.first());
    process.setArguments(resolved.mid(1));
    process.setWorkingDirectory(QDir::currentPath());
#ifdef Q_OS_WIN
    if (windowStyle == MaximizedFocus) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
        });
    }
#else
    Q_UNUSED(windowStyle);
#endif
    // startDetached() forks into a new session and never runs a shell.
    if (!process.startDetached())
        throw Error(cannotStart(), nativePath(resolved.first()), process.errorString());
}

void setStartRecorderForTesting(StartRecorder newRecorder) {
    recorder() = std::move(newRecorder);
}

} // namespace platform
