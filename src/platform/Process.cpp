#include "platform/Process.h"

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

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

QString resolveProgram(const QString& program) {
    if (program.isEmpty())
        throw Error(cannotStart(), QStringLiteral("an empty program name"),
                    QStringLiteral("No program was given"));
    const bool isPath = program.contains(QLatin1Char('/')) || program.contains(separator());
    if (!isPath) {
        const QString found = QStandardPaths::findExecutable(program);
        if (found.isEmpty())
            throw Error(cannotStart(), program,
                        QStringLiteral("No such program was found on the search path (PATH)"));
        return found;
    }
    const QString path = resolveCase(program);
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(cannotStart(), nativePath(program), systemReason(ENOENT));
    if (info.isDir())
        throw Error(cannotStart(), nativePath(path), systemReason(EISDIR));
    if (!info.isExecutable())
        throw Error(cannotStart(), nativePath(path), systemReason(EACCES));
    return path;
}

} // namespace

QStringList splitWords(const QString& text, const QString& firstPrefix) {
    QStringList words;
    QString word = firstPrefix;
    bool inWord = !firstPrefix.isEmpty();
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

QStringList resolvedWords(const QStringList& words) {
    if (words.isEmpty())
        throw Error(cannotStart(), QStringLiteral("an empty command line"),
                    QStringLiteral("No program was given"));
    QStringList resolved{resolveProgram(words.first())};
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words.at(i);
        const QString onDisk = caseSensitiveHost() && !word.isEmpty() ? resolveCase(word) : word;
        resolved.append(onDisk != word && QFileInfo::exists(onDisk) ? onDisk : word);
    }
    return resolved;
}

void startProgram(const QStringList& words, int windowStyle) {
    const QStringList resolved = resolvedWords(words);
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
