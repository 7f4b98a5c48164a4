#include "app/StartUp.h"

#include "app/ReadAhead.h"
#include "catalogue/Scan.h"
#include "installations/Engines.h"
#include "installations/QuakeInstallations.h"
#include "platform/Deadline.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/SequentialFile.h"
#include "platform/System.h"
#include "platform/Version.h"
#include "state/Context.h"
#include "state/SettingsFile.h"
#include "ui/Form1.h"
#include "ui/Screen.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace app {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2 (Build %3)").arg(major).arg(minor).arg(revision);
}

void offerCommandPresets(state::Context& ctx) {
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
        const QString path = platform::withoutTrailingSeparator(dir) + sep + state::ManualFileName;
        try {
            // Bounded like every call on storage: the start directory may
            // lie on a share that stopped answering.
            const auto text = platform::withinDeadline(path, [path]() -> std::optional<QString> {
                if (!QFileInfo::exists(platform::resolveCase(path)))
                    return std::nullopt;
                platform::InputFile file(path);
                return file.readChars(file.length());
            });
            if (text)
                return *text;
        } catch (const platform::Error& error) {
            // The manual is help, not a precondition: say why it is missing.
            return error.message();
        }
    }
    return QStringLiteral("The manual (%1) was not found beside Runemark.")
        .arg(state::ManualFileName);
}

QString fromStartDirectory(const QString& startDirectory, const QString& dir) {
    const QString normal = QDir::fromNativeSeparators(dir);
    if (dir.isEmpty() || !QDir::isRelativePath(normal))
        return dir;
    return platform::nativePath(
        QDir::cleanPath(QDir(QDir::fromNativeSeparators(startDirectory)).absoluteFilePath(normal)));
}

namespace {

// Empties the lists a scan fills. The official-game list is filled only by
// start-up, so a Refresh keeps it.
void clearLists(ui::Form1& form, state::Occasion occasion) {
    form.List1->Clear();
    form.List2->Clear();
    form.Combo1->Clear();
    if (occasion == state::Occasion::StartUp)
        form.Combo2->Clear();
}

// The saved directory shown: the Setup tab's lists pointed at it, the saved
// command line offered first and the patches scanned.
void showSavedDirectory(state::Context& ctx, state::Occasion occasion) {
    ui::Form1& form = ctx.Form1;
    const QString quakeDir = ctx.QuakeDir;
    if (!platform::withinDeadline(
            quakeDir, [quakeDir] { return QFileInfo(platform::resolveCase(quakeDir)).isDir(); }))
        throw platform::Error(QStringLiteral("Cannot open the saved Quake directory"),
                              platform::nativePath(ctx.QuakeDir),
                              QStringLiteral("No such directory. Exit keeps it saved until you "
                                             "open another on the Setup tab"));
    // The directories read while the window was built, when they are the
    // ones the settings name; only start-up has any.
    std::optional<platform::DirectorySnapshot> readAhead;
    if (ctx.readAhead)
        readAhead = ctx.readAhead->take(ctx.QuakeDir);
    const platform::DirectorySnapshot* held = readAhead ? &*readAhead : nullptr;
    form.Drive1->setDrive(ctx.QuakeDir);
    form.Dir1->setPath(ctx.QuakeDir, held);
    form.Combo1->AddItem(ctx.GameCommand);
    catalogue::scanPatches(ctx, occasion, held);
}

// What start-up and Refresh share: the lists emptied, the settings file
// looked for and read, the saved directory shown. A failing step leaves the
// lists as without a settings file (the saved command line still offered
// first when it could be read), QuakeDir what the directory list shows and
// the saved directory kept for Exit; the failure is handed back, to be
// reported once the rest of the sequence has run.
struct Listing {
    bool configured = false;
    std::optional<platform::Error> problem;
};

Listing listSavedSettings(state::Context& ctx, state::Occasion occasion) {
    ui::Form1& form = ctx.Form1;
    clearLists(form, occasion);
    std::optional<QString> savedDir;
    bool readingFile = false; // the settings file's own steps, not the lists'
    try {
        if (occasion == state::Occasion::Refresh)
            form.Dir1->Refresh();
        readingFile = true;
        try {
            state::ProbeFile(ctx, ctx.settingsFile);
        } catch (const platform::Error& error) {
            // Named as the file it is: its directory may hold nothing else.
            throw platform::Error(QStringLiteral("Cannot read the settings file"),
                                  platform::nativePath(ctx.settingsFile), error.reason());
        }
        ctx.settingsUnanswered = false;
        if (!ctx.ProbeResult)
            return {};
        state::readSettings(ctx);
        readingFile = false;
        savedDir = ctx.QuakeDir;
        ctx.QuakeDir = fromStartDirectory(ctx.startDirectory, ctx.QuakeDir);
        showSavedDirectory(ctx, occasion);
        ctx.keptQuakeDir.reset();
        return {true, std::nullopt};
    } catch (const platform::Error& error) {
        clearLists(form, occasion);
        if (readingFile)
            ctx.settingsUnanswered =
                error.reason() == platform::notAnswering(ctx.settingsFile).reason();
        if (savedDir)
            form.Combo1->AddItem(ctx.GameCommand);
        ctx.QuakeDir = form.Dir1->Path();
        ctx.keptQuakeDir = savedDir;
        return {false, error};
    }
}

// A first run: the Setup tab's lists opened at the Quake installation found,
// as a saved directory would be, and the engine found for it offered first
// in the command-line box, so that Exit saves what plays when the player
// accepts both as they stand. Without an installation, or when it cannot be
// opened after all, the lists stay where the window opened them, as on any
// first run; without an engine only the presets are offered.
void openFoundQuake(state::Context& ctx) {
    const installations::QuakeInstallation found =
        installations::findQuakeInstallation(ctx.quakePlaces);
    bool rerelease = false;
    if (!found.directory.isEmpty()) {
        try {
            ctx.QuakeDir = found.directory;
            ctx.Form1.Drive1->setDrive(ctx.QuakeDir);
            ctx.Form1.Dir1->setPath(ctx.QuakeDir);
            rerelease = found.rerelease;
        } catch (const platform::Error&) {
            // Found, then gone: the search's "not here", which says nothing.
            ctx.QuakeDir = ctx.Form1.Dir1->Path();
        }
    }
    const std::vector<installations::Engine> engines =
        installations::findEngines(ctx.enginePlaces, ctx.QuakeDir, rerelease);
    if (!engines.empty())
        ctx.Form1.Combo1->AddItem(installations::engineCommand(engines.front(), ctx.QuakeDir));
}

} // namespace

void Form_Load(state::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    ui::setMousePointer(ui::BusyPointer);
    if (!form.Visible())
        form.show();
    const Listing listed = listSavedSettings(ctx, state::Occasion::StartUp);
    // The reading ahead serves start-up alone; later reads see the disk.
    ctx.readAhead = nullptr;
    if (!listed.configured && !listed.problem) // no settings file at all
        openFoundQuake(ctx);
    if (!listed.configured) {
        form.List2->setEnabled(false);
        form.Check1->setEnabled(false);
        form.Command1->setEnabled(false);
    }
    form.Label5->setCaption(versionText(platform::Version::major, platform::Version::minor,
                                        platform::Version::revision));
    offerCommandPresets(ctx);
    form.Text1->setText(loadManual(manualPlaces(ctx.startDirectory, platform::programDirectory())));
    ui::setMousePointer(ui::DefaultPointer);
    if (listed.problem)
        throw *listed.problem;
}

void Refresh(state::Context& ctx) {
    ui::Form1& form = ctx.Form1;
    // What the command-line box shows before the lists are emptied.
    const QString shownCommand = form.Combo1->Text();
    const Listing listed = listSavedSettings(ctx, state::Occasion::Refresh);
    // A Refresh that finds no saved command line keeps the player's: what
    // the box shows is what Play starts and Exit saves.
    if (form.Combo1->ListCount() == 0) {
        form.Combo1->AddItem(shownCommand);
        ctx.GameCommand = shownCommand;
    }
    offerCommandPresets(ctx);
    if (listed.problem)
        throw *listed.problem;
}

} // namespace app
