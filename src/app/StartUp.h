#pragma once

#include <QString>
#include <QStringList>

namespace state {
struct Context;
}

namespace app {

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
void offerCommandPresets(state::Context& ctx);

// Where the manual is looked for, in order: the start directory, beside the
// program, the installed data directory.
QStringList manualPlaces(const QString& startDir, const QString& programDir);

// The manual's text from the first of `places` that holds it; one line
// saying so when none does.
QString loadManual(const QStringList& places);

// A saved directory as the program uses it all run long: a relative one
// (the manual invites hand edits, "quake" or ".") read from the start
// directory, however the current directory stands.
QString fromStartDirectory(const QString& startDirectory, const QString& dir);

// The main window's load handler: brings the window from its design-time
// state to its working state. Shows the window under the busy pointer, lists
// the saved settings (as Refresh does), and without usable ones comes up as
// on a first run; then the version label, the command lines offered and the
// manual. A failure while listing the saved settings leaves the window as
// without a settings file (the saved command line still offered when it
// could be read); the rest runs and the failure is thrown at the end.
void Form_Load(state::Context& ctx);

// The context menu's Refresh: builds the lists again from the settings file
// and the disk as it is now, the same way, and offers the command lines; the
// enabled states, the version label and the manual stay as they are.
void Refresh(state::Context& ctx);

} // namespace app
