#include "state/Context.h"

#include "platform/Deadline.h"
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
    bool there = true;
    try {
        there = platform::withinDeadline(beside, [beside] {
            const QFileInfo file(platform::resolveCase(beside));
            return (file.exists() || file.isSymLink()) && !file.isDir();
        });
    } catch (const platform::Error&) {
        // A start directory that does not answer may hold one: start-up
        // reports it by name, and Exit writes nothing anywhere else.
    }
    if (there)
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

void ProbeFile(Context& ctx, const QString& pattern, platform::HeldListings* held) {
    ctx.ProbeName = platform::findFirstFile(pattern, held);
    ctx.ProbeResult = !ctx.ProbeName.isEmpty();
}

} // namespace state
