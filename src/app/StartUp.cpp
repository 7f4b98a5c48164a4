#include "app/StartUp.h"

#include "app/Context.h"
#include "app/SettingsFile.h"
#include "catalogue/Scan.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/SequentialFile.h"
#include "platform/System.h"
#include "platform/Version.h"
#include "ui/Form1.h"
#include "ui/Screen.h"

#include <QFileInfo>

namespace app {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2 (Build %3)").arg(major).arg(minor).arg(revision);
}

void offerCommandPresets(Context& ctx) {
    for (const QString& preset : CommandPresets)
        ctx.Form1.Combo1->AddItem(preset);
    ctx.Form1.Combo1->setListIndex(0);
}

QStringList manualPlaces(const QString& startDir, const QString& programDir) {
    return {startDir, programDir, platform::installedDataDirectory(programDir)};
}

QString loadManual(const QStringList& places) {
    const QString sep = platform::separator();
    for (const QString& dir : places) {
        const QString path = platform::withoutTrailingSeparator(dir) + sep + ManualFileName;
        if (!QFileInfo::exists(platform::resolveCase(path)))
            continue;
        try {
            platform::InputFile file(path);
            return file.readChars(file.length());
        } catch (const platform::Error& error) {
            // The manual is help, not a precondition: say why it is missing.
            return error.message();
        }
    }
    return QStringLiteral("The manual (%1) was not found beside Runemark.").arg(ManualFileName);
}

void Form_Load(Context& ctx) {
    ui::Form1& form = ctx.Form1;
    ui::setMousePointer(ui::BusyPointer);
    if (!form.Visible())
        form.show();
    form.List1->Clear();
    form.List2->Clear();
    form.Combo1->Clear();

    // A settings file that cannot be used is reported once start-up is done;
    // until then the window comes up as on a first run.
    QString problem;
    bool commandRead = false;
    ProbeFile(ctx, ctx.settingsFile);
    bool configured = ctx.ProbeResult;
    if (configured) {
        const SettingsRead read = tryReadSettings(ctx.settingsFile);
        problem = read.problem;
        commandRead = read.values.size() > 1;
        if (commandRead)
            ctx.GameCommand = read.values.at(1);
        if (problem.isEmpty()) {
            const QString saved = read.values.at(0);
            if (!QFileInfo(platform::resolveCase(saved)).isDir()) {
                problem = platform::Error(QStringLiteral("The saved Quake directory"),
                                          platform::nativePath(saved),
                                          QStringLiteral("No such directory; choose it again on "
                                                         "the Setup tab and leave with Exit"))
                              .message();
            } else {
                ctx.QuakeDir = saved;
            }
        }
        configured = problem.isEmpty();
    }

    if (configured) {
        form.Drive1->setDrive(ctx.QuakeDir);
        form.Dir1->setPath(ctx.QuakeDir);
        form.Combo1->AddItem(ctx.GameCommand);
        catalogue::scanPatches(ctx, catalogue::ScanMode::StartUp);
    } else {
        form.List2->setEnabled(false);
        form.Check1->setEnabled(false);
        form.Command1->setEnabled(false);
        // A command line that could be read is still offered first.
        if (commandRead)
            form.Combo1->AddItem(ctx.GameCommand);
    }

    form.Label5->setCaption(versionText(platform::Version::major, platform::Version::minor,
                                        platform::Version::revision));
    offerCommandPresets(ctx);
    form.Text1->setText(loadManual(manualPlaces(ctx.startDirectory, platform::programDirectory())));
    ui::setMousePointer(ui::DefaultPointer);

    if (!problem.isEmpty())
        throw platform::Error(problem, QString(), QString());
}

} // namespace app
