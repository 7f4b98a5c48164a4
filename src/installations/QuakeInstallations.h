#pragma once

#include <QString>
#include <QStringList>

namespace installations {

// Where a player's Quake may have been put by a store, a packager or by
// hand, as seen from one home directory.
struct QuakePlaces {
    QString home;             // the player's home directory
    QStringList systemPlaces; // installed by the system, such as Debian's game-data-packager

    // This host's: $HOME and /usr/share/games/quake.
    static QuakePlaces ofThisHost();
};

// A Quake directory found: the one to open, in its on-disk spelling, and
// whether it is the 2021 release, which not every engine reads.
struct QuakeInstallation {
    QString directory; // empty: none found
    bool rerelease = false;
};

// True when `dir` holds id1/pak0.pak, letter case ignored: the base game's
// data, which every Quake installation has.
bool holdsQuake(const QString& dir);

// The Quake directory of the installation at `dir`: its rerelease/ when that
// holds the 2021 release (Steam keeps both releases in one folder, the 1996
// original at the top in capitals, which engines on Linux do not find, and
// the 2021 release in rerelease/, which they do), else `dir` itself when it
// holds the base game; none otherwise. `rerelease` says that `dir` itself is
// the 2021 release (GOG installs it apart). Bounded by the storage deadline;
// a place that does not answer holds nothing.
QuakeInstallation installationAt(const QString& dir, bool rerelease = false);

// The first Quake installation found, in this order (none when there is none):
//  1. Steam (Steam.h);
//  2. GOG through Heroic (Heroic.h);
//  3. the system places, in order;
//  4. ~/quake, ~/Quake, ~/games/quake, ~/Games/Quake.
// Each as installationAt() gives it: the 2021 release where there is one.
// Only these places are looked at; a file that cannot be read or understood
// means "not here", never an error.
QuakeInstallation findQuakeInstallation(const QuakePlaces& places);

} // namespace installations
