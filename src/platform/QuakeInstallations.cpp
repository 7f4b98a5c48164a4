#include "platform/QuakeInstallations.h"

#include "platform/Deadline.h"
#include "platform/Error.h"
#include "platform/KeyValues.h"
#include "platform/Paths.h"
#include "platform/UserDirectories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>
#include <utility>

namespace platform {

namespace {

const QString SteamQuakeApp = QStringLiteral("2310");

// The stores' records are a few kilobytes; anything far larger is not one.
constexpr qint64 MaxRecordSize = qint64(4) * 1024 * 1024;

// Every look at the disk during the search goes through here, one place at a
// time, so that a place that fails, or on storage that stops answering does
// not answer within the storage deadline, is passed over alone and the
// search goes on. A look that does not answer is abandoned: it owns what it
// uses (captures by value).
template <typename Result, typename Look> Result probe(const QString& place, Look look) {
    try {
        return withinDeadline(place, std::move(look));
    } catch (const Error&) {
        return Result{};
    }
}

std::optional<QByteArray> readRecord(const QString& path) {
    return probe<std::optional<QByteArray>>(path, [path]() -> std::optional<QByteArray> {
        QFile file(resolveCase(path));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray bytes = file.read(MaxRecordSize + 1);
        if (bytes.size() > MaxRecordSize || file.error() != QFileDevice::NoError)
            return std::nullopt;
        return bytes;
    });
}

QString under(const QString& dir, const QString& relative) {
    return withoutTrailingSeparator(dir) + QLatin1Char('/') + relative;
}

// The directory in its on-disk spelling when it holds Quake, else empty.
QString quakeAt(const QString& dir) {
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir))
        return {};
    return probe<QString>(dir, [dir]() -> QString {
        const QString cleaned = QDir::cleanPath(dir);
        return holdsQuake(cleaned) ? resolveCase(cleaned) : QString();
    });
}

// The libraries a Steam root's libraryfolders.vdf lists, in its order, that
// may hold Quake. Each entry is a block with a "path" (and since 2021 an
// "apps" block of the apps installed there); before that an entry was the
// library's path itself, under a numbered key.
QStringList steamLibraries(const QString& root) {
    QStringList libraries;
    const auto record = readRecord(under(root, QStringLiteral("steamapps/libraryfolders.vdf")));
    if (!record)
        return libraries;
    const std::vector<KeyValue> entries = readKeyValues(*record);
    const KeyValue* folders = findEntry(entries, u"libraryfolders");
    if (!folders || !folders->isBlock)
        return libraries;
    for (const KeyValue& entry : folders->block) {
        if (!entry.isBlock) {
            bool numbered = false;
            entry.key.toUInt(&numbered);
            if (numbered)
                libraries.append(entry.value);
            continue;
        }
        const KeyValue* path = entry.find(u"path");
        if (!path || path->isBlock)
            continue;
        // A library that lists its apps and not Quake has no Quake to find.
        const KeyValue* apps = entry.find(u"apps");
        if (apps && apps->isBlock && !apps->find(SteamQuakeApp))
            continue;
        libraries.append(path->value);
    }
    return libraries;
}

// Quake in one Steam library: the directory its app manifest names.
QString steamQuakeIn(const QString& library) {
    const auto manifest = readRecord(
        under(library, QStringLiteral("steamapps/appmanifest_%1.acf").arg(SteamQuakeApp)));
    if (!manifest)
        return {};
    const std::vector<KeyValue> entries = readKeyValues(*manifest);
    const KeyValue* state = findEntry(entries, u"AppState");
    const KeyValue* installDir = state && state->isBlock ? state->find(u"installdir") : nullptr;
    if (!installDir || installDir->isBlock)
        return {};
    // A directory name under common/, never a way out of it.
    const QString name = installDir->value;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    return quakeAt(under(library, QStringLiteral("steamapps/common/") + name));
}

QString steamQuake(const QString& home) {
    const QStringList roots = {
        under(home, QStringLiteral(".local/share/Steam")),
        under(home, QStringLiteral(".steam/steam")),
        under(home, QStringLiteral(".var/app/com.valvesoftware.Steam/.local/share/Steam")),
        under(home, QStringLiteral(".var/app/com.valvesoftware.Steam/data/Steam")),
    };
    // ~/.steam/steam is usually a link to another root: each library once.
    QStringList seen;
    for (const QString& root : roots) {
        for (const QString& library : steamLibraries(root)) {
            if (library.isEmpty() || !QDir::isAbsolutePath(library))
                continue;
            const QString same = probe<QString>(
                library, [library] { return QFileInfo(resolveCase(library)).canonicalFilePath(); });
            if (same.isEmpty() || seen.contains(same))
                continue;
            seen.append(same);
            QString found = steamQuakeIn(library);
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

// GOG's Quake installed through Heroic: its record of GOG games.
QString heroicQuake(const QString& home) {
    const QStringList records = {
        under(home, QStringLiteral(".config/heroic/gog_store/installed.json")),
        under(home,
              QStringLiteral(
                  ".var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/installed.json")),
    };
    for (const QString& path : records) {
        const auto record = readRecord(path);
        if (!record)
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(*record);
        const QJsonArray installed = document.object().value(QLatin1String("installed")).toArray();
        for (const auto& game : installed) {
            QString found =
                quakeAt(game.toObject().value(QLatin1String("install_path")).toString());
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

QuakePlaces QuakePlaces::ofThisHost() {
    return {homeDirectory(), {QStringLiteral("/usr/share/games/quake")}};
}

bool holdsQuake(const QString& dir) {
    return QFileInfo(resolveCase(under(dir, QStringLiteral("id1/pak0.pak")))).isFile();
}

QString findQuakeInstallation(const QuakePlaces& places) {
    const bool hasHome = !places.home.isEmpty() && QDir::isAbsolutePath(places.home);
    if (hasHome) {
        for (QString (*store)(const QString&) : {&steamQuake, &heroicQuake}) {
            QString found = store(places.home);
            if (!found.isEmpty())
                return found;
        }
    }
    for (const QString& place : places.systemPlaces) {
        QString found = quakeAt(place);
        if (!found.isEmpty())
            return found;
    }
    if (hasHome) {
        for (const char* byHand : {"quake", "Quake", "games/quake", "Games/Quake"}) {
            QString found = quakeAt(under(places.home, QString::fromLatin1(byHand)));
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace platform
