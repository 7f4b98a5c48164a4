#include "app/StartUp.h"

#include "app/Context.h"
#include "app/ReadAhead.h"
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

#include <optional>

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

namespace {

// The configured branch: the saved settings read, the Setup tab's lists
// pointed at the saved directory and the patches scanned. Throws at the
// first step that fails; `savedDir` then holds the directory read, if any.
void showSavedSettings(Context& ctx, Occasion occasion, std::optional<QString>& savedDir) {
    ui::Form1& form = ctx.Form1;
    readSettings(ctx);
    savedDir = ctx.QuakeDir;
    if (!QFileInfo(platform::resolveCase(ctx.QuakeDir)).isDir())
        throw platform::Error(QStringLiteral("Cannot open the saved Quake directory"),
                              platform::nativePath(ctx.QuakeDir),
                              QStringLiteral("No such directory. Exit keeps it saved until you "
                                             "open another on the Setup tab"));
    // At start-up the directories were read while the window was built;
    // a Refresh reads them as they are then.
    std::optional<platform::DirectorySnapshot> readAhead;
    if (occasion == Occasion::StartUp && ctx.readAhead)
        readAhead = ctx.readAhead->take(ctx.QuakeDir);
    const platform::SnapshotScope answeredFromReadAhead(readAhead ? &*readAhead : nullptr);
    form.Drive1->setDrive(ctx.QuakeDir);
    form.Dir1->setPath(ctx.QuakeDir);
    form.Combo1->AddItem(ctx.GameCommand);
    catalogue::scanPatches(ctx, occasion == Occasion::StartUp ? catalogue::ScanMode::StartUp
                                                              : catalogue::ScanMode::Refresh);
    ctx.keptQuakeDir.reset();
}

// After a failure in the configured branch: the lists as without a settings
// file, the saved command line still offered first, QuakeDir what the
// directory list shows, and the saved directory kept for Exit.
void recover(Context& ctx, Occasion occasion, const std::optional<QString>& savedDir) {
    ui::Form1& form = ctx.Form1;
    form.List1->Clear();
    form.List2->Clear();
    form.Combo1->Clear();
    if (occasion == Occasion::StartUp)
        form.Combo2->Clear(); // Refresh never fills it
    if (savedDir)
        form.Combo1->AddItem(ctx.GameCommand);
    ctx.QuakeDir = form.Dir1->Path();
    ctx.keptQuakeDir = savedDir;
}

} // namespace

void startUpSequence(Context& ctx, Occasion occasion) {
    ui::Form1& form = ctx.Form1;
    const bool startUp = occasion == Occasion::StartUp;
    if (startUp) {
        ui::setMousePointer(ui::BusyPointer);
        if (!form.Visible())
            form.show();
    }
    // What the command-line box shows before a Refresh empties it.
    const QString shownCommand = form.Combo1->Text();
    form.List1->Clear();
    form.List2->Clear();
    form.Combo1->Clear();

    // A failure here leaves the window as an unusable settings file does,
    // runs the remaining steps, and is reported at the end.
    std::optional<platform::Error> problem;
    std::optional<QString> savedDir;
    bool configured = false;
    try {
        if (!startUp)
            form.Dir1->Refresh();
        ProbeFile(ctx, ctx.settingsFile);
        configured = ctx.ProbeResult;
        if (configured)
            showSavedSettings(ctx, occasion, savedDir);
    } catch (const platform::Error& error) {
        problem = error;
        configured = false;
        recover(ctx, occasion, savedDir);
    }
    // A Refresh that finds no saved command line keeps the player's: what
    // the box shows is what Play starts and Exit saves.
    if (!startUp && form.Combo1->ListCount() == 0) {
        form.Combo1->AddItem(shownCommand);
        ctx.GameCommand = shownCommand;
    }
    if (startUp && !configured) {
        form.List2->setEnabled(false);
        form.Check1->setEnabled(false);
        form.Command1->setEnabled(false);
    }

    if (startUp)
        form.Label5->setCaption(versionText(platform::Version::major, platform::Version::minor,
                                            platform::Version::revision));
    offerCommandPresets(ctx);
    if (startUp) {
        form.Text1->setText(
            loadManual(manualPlaces(ctx.startDirectory, platform::programDirectory())));
        ui::setMousePointer(ui::DefaultPointer);
    }
    if (problem)
        throw *problem;
}

void Form_Load(Context& ctx) {
    startUpSequence(ctx, Occasion::StartUp);
}

void Refresh(Context& ctx) {
    startUpSequence(ctx, Occasion::Refresh);
}

} // namespace app
