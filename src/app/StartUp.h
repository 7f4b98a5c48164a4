#pragma once

#include <QString>
#include <QStringList>

namespace app {

struct Context;

// The command lines offered in the command-line box, after the saved one.
inline const QStringList CommandPresets = {
    QStringLiteral("quake -dedicated # +map #"),
    QStringLiteral("quake -listen # +map #"),
    QStringLiteral("winquake -dedicated # +map #"),
    QStringLiteral("winquake -listen # +map #"),
};

// "1.20 (Build 2)"
QString versionText(int major, int minor, int revision);

// Adds the presets to Combo1 and selects its first entry.
void offerCommandPresets(Context& ctx);

// Where the manual is looked for, in order: the start directory, beside the
// program, the installed data directory.
QStringList manualPlaces(const QString& startDir, const QString& programDir);

// The manual's text from the first of `places` that holds it; one line
// saying so when none does.
QString loadManual(const QStringList& places);

// The one sequence behind start-up and Refresh: the lists cleared, the
// settings file probed and read, the Setup tab's lists pointed at the saved
// directory, the patches scanned and the command lines offered; at start-up
// also the busy pointer, the window shown, the version label and the manual.
// Without a usable settings file start-up comes up as on a first run. A step
// of the configured branch that fails leaves the window in that same state
// (the saved command line still offered when it could be read), the rest of
// the sequence runs, and the failure is thrown at the end.
enum class Occasion { StartUp, Refresh };
void startUpSequence(Context& ctx, Occasion occasion);

// The main window's load handler: brings the window from its design-time
// state to its working state.
void Form_Load(Context& ctx);

// The context menu's Refresh: builds the lists again from the settings file.
void Refresh(Context& ctx);

} // namespace app
