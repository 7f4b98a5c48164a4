#include "catalogue/PatchName.h"

#include "platform/Paths.h"

#include <algorithm>

namespace catalogue {

QString patchName(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(platform::separator()), path.lastIndexOf(QLatin1Char('/')));
    const QStringView base = QStringView(path).mid(cut + 1);
    // Names are nearly always plain ASCII, cased here in one pass: the scan
    // names every patch, and Qt's Unicode casing costs several times more.
    const bool ascii =
        std::all_of(base.begin(), base.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        QString name = base.toString().toLower();
        if (!name.isEmpty())
            name.replace(0, 1, name.left(1).toUpper());
        return name;
    }
    QString name(base.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < base.size(); ++i) {
        const char16_t c = base[i].unicode();
        const bool upper = c >= u'A' && c <= u'Z', lower = c >= u'a' && c <= u'z';
        name[i] = QChar(i == 0 ? (lower ? c - 32 : c) : (upper ? c + 32 : c));
    }
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
