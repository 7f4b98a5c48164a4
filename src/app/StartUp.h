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

// The main window's load handler: brings the window from its design-time
// state to its working state.
void Form_Load(Context& ctx);

} // namespace app
