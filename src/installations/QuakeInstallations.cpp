#include "installations/QuakeInstallations.h"

#include "installations/Heroic.h"
#include "installations/Looks.h"
#include "installations/Steam.h"
#include "platform/Paths.h"
#include "platform/UserDirectories.h"

#include <QDir>
#include <QFileInfo>

namespace installations {

QuakePlaces QuakePlaces::ofThisHost() {
    return {platform::homeDirectory(), {QStringLiteral("/usr/share/games/quake")}};
}

bool holdsQuake(const QString& dir) {
    return QFileInfo(platform::resolveCase(under(dir, QStringLiteral("id1/pak0.pak")))).isFile();
}

QuakeInstallation installationAt(const QString& dir, bool rerelease) {
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir))
        return {};
    return probe<QuakeInstallation>(dir, [dir, rerelease]() -> QuakeInstallation {
        const QString cleaned = QDir::cleanPath(dir);
        const QString newer = under(cleaned, QStringLiteral("rerelease"));
        if (holdsQuake(newer))
            return {platform::resolveCase(newer), true};
        if (holdsQuake(cleaned))
            return {platform::resolveCase(cleaned), rerelease};
        return {};
    });
}

QuakeInstallation findQuakeInstallation(const QuakePlaces& places) {
    const bool hasHome = !places.home.isEmpty() && QDir::isAbsolutePath(places.home);
    if (hasHome) {
        for (QuakeInstallation (*store)(const QString&) : {&steamQuake, &heroicQuake}) {
            QuakeInstallation found = store(places.home);
            if (!found.directory.isEmpty())
                return found;
        }
    }
    for (const QString& place : places.systemPlaces) {
        QuakeInstallation found = installationAt(place);
        if (!found.directory.isEmpty())
            return found;
    }
    if (hasHome) {
        for (const char* byHand : {"quake", "Quake", "games/quake", "Games/Quake"}) {
            QuakeInstallation found =
                installationAt(under(places.home, QString::fromLatin1(byHand)));
            if (!found.directory.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace installations
