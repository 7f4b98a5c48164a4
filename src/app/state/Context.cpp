#include "app/state/Context.h"

#include "platform/FileLookup.h"
#include "platform/Paths.h"

#include <QCoreApplication>

namespace app {

QString settingsFileIn(const QString& startDirectory) {
    QString path = platform::withoutTrailingSeparator(startDirectory) + platform::separator() +
                   SettingsFileName;
    if (path.startsWith(QStringLiteral("//")))
        path.remove(0, 1); // started in the root directory
    return path;
}

Context::Context(ui::Form1& form, const QString& startDirectory)
    : Form1(form), startDirectory(startDirectory), settingsFile(settingsFileIn(startDirectory)),
      endProgram([] { QCoreApplication::exit(0); }) {}

void ProbeFile(Context& ctx, const QString& pattern) {
    ctx.ProbeName = platform::findFirstFile(pattern);
    ctx.ProbeResult = !ctx.ProbeName.isEmpty();
}

} // namespace app
