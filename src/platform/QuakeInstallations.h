#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Where a player's Quake may have been put by a store, a packager or by
// hand, as seen from one home directory.
struct QuakePlaces {
    QString home;             // the player's home directory
    QStringList systemPlaces; // installed by the system, such as Debian's game-data-packager

    // This host's: $HOME and /usr/share/games/quake.
    static QuakePlaces ofThisHost();
};

// True when `dir` holds id1/pak0.pak, letter case ignored: the base game's
// data, which every Quake installation has.
bool holdsQuake(const QString& dir);

// The first Quake installation found, in this order (empty when none):
//  1. Steam: in each of ~/.local/share/Steam, ~/.steam/steam and Flatpak
//     Steam's ~/.var/app/com.valvesoftware.Steam/.local/share/Steam and
//     .../data/Steam, every library that steamapps/libraryfolders.vdf lists
//     (and whose list of apps, when it has one, holds Quake's app 2310);
//     there steamapps/common/<installdir of steamapps/appmanifest_2310.acf>;
//  2. GOG through Heroic: each "install_path" of the "installed" list in
//     ~/.config/heroic/gog_store/installed.json, then in Flatpak Heroic's
//     ~/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/;
//  3. the system places, in order;
//  4. ~/quake, ~/Quake, ~/games/quake, ~/Games/Quake.
// The directory taken is the installation itself (for Steam .../common/Quake,
// which holds the 2021 release in rerelease/ too), in its on-disk spelling.
// Only these places are looked at; a file that cannot be read or understood
// means "not here", never an error.
QString findQuakeInstallation(const QuakePlaces& places);

} // namespace platform
