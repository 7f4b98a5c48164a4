#include "app/state/Context.h"

#include "platform/FileLookup.h"
#include "platform/Paths.h"
#include "platform/UserDirectories.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace app {

QString settingsFileIn(const QString& startDirectory) {
    QString path = platform::withoutTrailingSeparator(startDirectory) + platform::separator() +
                   SettingsFileName;
    if (path.startsWith(QStringLiteral("//")))
        path.remove(0, 1); // started in the root directory
    return path;
}

QString chooseSettingsFile(const QString& startDirectory, const QString& userConfigDirectory) {
    QString beside = settingsFileIn(startDirectory);
    // Any entry of that name counts, letter case ignored: a link whose
    // target Exit is to create, or one that cannot be read, which start-up
    // then reports rather than quietly using another file.
    const QFileInfo there(platform::resolveCase(beside));
    if (there.exists() || there.isSymLink())
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

} // namespace app
