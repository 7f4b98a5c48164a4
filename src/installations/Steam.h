#pragma once

#include "installations/QuakeInstallations.h"

#include <QString>
#include <QStringList>

namespace installations {

// The libraries of the Steam root `root`, in the order Steam keeps them:
// the root itself, then every library its records list
// (steamapps/libraryfolders.vdf, or config/libraryfolders.vdf where Steam
// keeps the list there), each once. Steam writes the root into its own list
// only since 2021, so the root is taken whatever the list says.
QStringList steamLibraries(const QString& root);

// Quake as Steam installed it under `home`: in each of ~/.local/share/Steam,
// ~/.steam/steam and Flatpak Steam's
// ~/.var/app/com.valvesoftware.Steam/.local/share/Steam and .../data/Steam,
// every library (steamLibraries()) that holds Quake's app manifest
// steamapps/appmanifest_2310.acf, and there the directory under
// steamapps/common/ that the manifest names (installdir). The manifest is
// the record Steam keeps of the app, so it wins over a list of a library's
// apps, which goes stale.
QuakeInstallation steamQuake(const QString& home);

} // namespace installations
