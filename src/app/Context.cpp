#include "app/Context.h"

#include "platform/FileLookup.h"
#include "platform/Paths.h"

#include <QCoreApplication>

namespace app {

Context::Context(ui::Form1& form, const QString& startDirectory)
    : Form1(form), startDirectory(startDirectory),
      settingsFile(platform::withoutTrailingSeparator(startDirectory) + platform::separator() +
                   SettingsFileName),
      endProgram([] { QCoreApplication::exit(0); }) {
    if (settingsFile.startsWith(QStringLiteral("//")))
        settingsFile.remove(0, 1); // started in the root directory
}

void ProbeFile(Context& ctx, const QString& pattern) {
    ctx.ProbeName = platform::findFirstFile(pattern);
    ctx.ProbeResult = !ctx.ProbeName.isEmpty();
}

} // namespace app
