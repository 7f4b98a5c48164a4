#pragma once

#include "installations/QuakeInstallations.h"

#include <QString>

namespace installations {

// GOG's Quake as Heroic installed it under `home`: each "install_path" of
// the "installed" list in ~/.config/heroic/gog_store/installed.json, then in
// Flatpak Heroic's
// ~/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/. GOG sells
// the 2021 release as a game of its own (Quake Enhanced) beside the 1996
// original: when both are installed, the 2021 release is taken.
QuakeInstallation heroicQuake(const QString& home);

} // namespace installations
