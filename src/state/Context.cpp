#include "state/Context.h"

#include "platform/FileLookup.h"
#include "platform/Paths.h"
#include "platform/UserDirectories.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace state {

QString settingsFileIn(const QString& startDirectory) {
    QString path = platform::withoutTrailingSeparator(startDirectory) + platform::separator() +
                   SettingsFileName;
    if (path.startsWith(QStringLiteral("//")))
        path.remove(0, 1); // started in the root directory
    return path;
}

QString chooseSettingsFile(const QString& startDirectory, const QString& userConfigDirectory) {
    QString beside = settingsFileIn(startDirectory);
    // A file of that name counts, letter case ignored, and so does a link
    // whose target Exit is to create, or a file that cannot be read, which
    // start-up then reports rather than quietly using another file. A
    // directory of that name is no settings file: Exit could never write it.
    const QFileInfo there(platform::resolveCase(beside));
    if ((there.exists() || there.isSymLink()) && !there.isDir())
        return beside;
    return platform::withoutTrailingSeparator(userConfigDirectory) + QStringLiteral("/runemark/") +
           SettingsFileName;
}

Context::Context(ui::Form1& form, const QString& startDirectory)
    : Context(form, startDirectory,
              chooseSettingsFile(startDirectory, platform::userConfigDirectory())) {}

Context::Context(ui::Form1& form, const QString& startDirectory, const QString& settingsFile)
    : Form1(form), startDirectory(startDirectory), settingsFile(settingsFile),
      endProgram([] { QCoreApplication::exit(0); }) {}

void ProbeFile(Context& ctx, const QString& pattern) {
    ctx.ProbeName = platform::findFirstFile(pattern);
    ctx.ProbeResult = !ctx.ProbeName.isEmpty();
}

} // namespace state
