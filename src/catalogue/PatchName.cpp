#include "catalogue/PatchName.h"

#include "platform/Paths.h"

namespace catalogue {

QString patchName(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(platform::separator()), path.lastIndexOf(QLatin1Char('/')));
    QString name = path.mid(cut + 1).toLower();
    if (!name.isEmpty())
        name.replace(0, 1, name.left(1).toUpper());
    return name;
}

const OfficialGame* officialGameNamed(const QString& name) {
    for (const OfficialGame& game : OfficialGames) {
        if (name == QLatin1String(game.patchName))
            return &game;
    }
    return nullptr;
}

const OfficialGame* officialGameTitled(const QString& title) {
    for (const OfficialGame& game : OfficialGames) {
        if (title == QLatin1String(game.title))
            return &game;
    }
    return nullptr;
}

} // namespace catalogue
