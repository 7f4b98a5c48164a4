#include "installations/Heroic.h"

#include "installations/Looks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace installations {

namespace {

// GOG's number for Quake Enhanced, the 2021 release; the 1996 original is
// 1435828198.
const QString GogQuakeEnhanced = QStringLiteral("1739637082");

} // namespace

QuakeInstallation heroicQuake(const QString& home) {
    const QStringList records = {
        under(home, QStringLiteral(".config/heroic/gog_store/installed.json")),
        under(home,
              QStringLiteral(
                  ".var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/installed.json")),
    };
    QuakeInstallation first;
    for (const QString& path : records) {
        const auto record = readRecord(path);
        if (!record)
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(*record);
        const QJsonArray installed = document.object().value(QLatin1String("installed")).toArray();
        for (const auto& game : installed) {
            const QJsonObject entry = game.toObject();
            QuakeInstallation found = installationAt(
                entry.value(QLatin1String("install_path")).toString(),
                entry.value(QLatin1String("appName")).toString() == GogQuakeEnhanced);
            if (found.rerelease)
                return found;
            if (first.directory.isEmpty())
                first = std::move(found);
        }
    }
    return first;
}

} // namespace installations
