#include "content/PatchFacts.h"

#include "content/Bsp.h"
#include "content/Pak.h"
#include "platform/Wildcard.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace content {

namespace {

bool textControl(QChar c) {
    return c.category() == QChar::Other_Control && c != QLatin1Char('\t');
}

// A ReadAt over `length` bytes of `file` from `start`.
ReadAt readPart(QFile& file, std::int64_t start, std::int64_t length) {
    return [&file, start, length](std::int64_t offset, std::int64_t count) {
        if (offset < 0 || count <= 0 || offset >= length || !file.seek(start + offset))
            return QByteArray();
        return file.read(std::min(count, length - offset));
    };
}

// The map name a pak entry stands for: "maps/NAME.bsp" directly in maps/.
QString pakMapName(const QByteArray& entry) {
    const QString name = QString::fromLatin1(entry);
    if (!name.startsWith(QLatin1String("maps/"), Qt::CaseInsensitive) ||
        !name.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive))
        return {};
    const QString map = name.mid(5, name.size() - 9);
    if (map.isEmpty() || map.contains(QLatin1Char('/')))
        return {};
    return map;
}

struct Collected {
    // By name with letter case folded: the first found wins, so callers
    // add in the game's own order of preference.
    std::map<QString, MapFacts> maps;
    int titled = 0;

    bool wants(const QString& name) const { return !maps.contains(name.toCaseFolded()); }
    void add(const QString& name, const std::function<QString()>& title) {
        if (!wants(name))
            return;
        const bool read = titled < MaxTitledMaps;
        titled += read ? 1 : 0;
        maps.emplace(name.toCaseFolded(), MapFacts{name, read ? title() : QString()});
    }
};

void addPakMaps(const QString& pakPath, Collected& found) {
    QFile pak(pakPath);
    if (!pak.open(QIODevice::ReadOnly))
        return;
    const std::int64_t size = pak.size();
    for (const PakEntry& entry : pakDirectory(size, readPart(pak, 0, size))) {
        const QString map = pakMapName(entry.name);
        if (!map.isEmpty())
            found.add(map, [&] {
                return mapTitle(entry.length, readPart(pak, entry.offset, entry.length));
            });
    }
}

void addLooseMaps(const QString& mapsDir, Collected& found) {
    QDirIterator files(mapsDir, QDir::Files);
    while (files.hasNext()) {
        const QFileInfo file = files.nextFileInfo();
        const QString name = file.fileName();
        if (!name.endsWith(QLatin1String(".bsp"), Qt::CaseInsensitive) || name.size() <= 4)
            continue;
        const QString path = file.filePath();
        found.add(name.left(name.size() - 4), [&path] {
            QFile bsp(path);
            if (!bsp.open(QIODevice::ReadOnly))
                return QString();
            return mapTitle(bsp.size(), readPart(bsp, 0, bsp.size()));
        });
    }
}

} // namespace

QString descriptionTitle(QByteArrayView head) {
    const QByteArrayView bytes = head.first(std::min(head.size(), DescriptionHead));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: most such files were written by DOS and Windows tools,
        // in the Windows code page (Latin-1 where Qt has no other).
        QStringDecoder legacy("windows-1252");
        text = legacy.isValid() ? legacy.decode(bytes) : QString::fromLatin1(bytes);
    }
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QString title = line.toString().remove(QLatin1Char('\r')).simplified();
        if (title.isEmpty())
            continue;
        if (std::any_of(title.begin(), title.end(), textControl))
            return {};
        return title;
    }
    return {};
}

QString officialTitle(const QString& directoryName) {
    // The add-ons the 2021 release offers in its own menu, by the titles
    // its add-on list shows.
    static const std::pair<const char*, const char*> table[] = {
        {"dopa", "Dimension of the Past"},
        {"mg1", "Dimension of the Machine"},
    };
    for (const auto& [name, title] : table)
        if (directoryName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(title);
    return {};
}

QStringList readmePatterns(const QString& literalName) {
    return {QStringLiteral("*") + literalName + QStringLiteral("*.txt"),
            QStringLiteral("*read*.txt")};
}

PatchFacts readPatch(const QString& directory) {
    PatchFacts facts;
    QStringList paks;
    QStringList mapsDirs;
    QStringList files;
    QString description;
    // One listing, in the directory's own order as the read-me lookup takes
    // it; hidden names and anything but files and directories left out, so
    // a pipe named *.pak is never opened.
    QDirIterator entries(directory, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString name = entry.fileName();
        if (entry.isDir()) {
            if (name.compare(QLatin1String("maps"), Qt::CaseInsensitive) == 0)
                mapsDirs << entry.filePath();
            continue;
        }
        files << name;
        if (name.endsWith(QLatin1String(".pak"), Qt::CaseInsensitive))
            paks << entry.filePath();
        else if (description.isEmpty() &&
                 name.compare(QLatin1String("descript.ion"), Qt::CaseInsensitive) == 0)
            description = entry.filePath();
    }

    const QString ownName = QFileInfo(directory).fileName();
    for (const QString& pattern : readmePatterns(platform::literalPattern(ownName))) {
        const auto match = std::find_if(files.cbegin(), files.cend(), [&](const QString& file) {
            return platform::wildcardMatch(pattern, file);
        });
        if (match != files.cend()) {
            facts.readme = *match;
            break;
        }
    }

    // The game prefers a later pak to an earlier one and any pak to a loose
    // file: the first found wins here, so the maps are taken in that order.
    Collected found;
    std::sort(paks.begin(), paks.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) > 0;
    });
    for (const QString& pak : paks)
        addPakMaps(pak, found);
    std::sort(mapsDirs.begin(), mapsDirs.end());
    for (const QString& mapsDir : mapsDirs)
        addLooseMaps(mapsDir, found);
    for (auto& [key, map] : found.maps)
        facts.maps.push_back(std::move(map));

    if (!description.isEmpty()) {
        QFile file(description);
        if (file.open(QIODevice::ReadOnly))
            facts.title = descriptionTitle(file.read(DescriptionHead));
    }
    if (facts.title.isEmpty())
        facts.title = officialTitle(ownName);
    if (facts.title.isEmpty()) {
        const auto start =
            std::find_if(facts.maps.cbegin(), facts.maps.cend(), [](const MapFacts& map) {
                return map.name.compare(QLatin1String("start"), Qt::CaseInsensitive) == 0;
            });
        if (start != facts.maps.cend())
            facts.title = start->title;
    }
    return facts;
}

} // namespace content
