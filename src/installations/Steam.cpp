#include "installations/Steam.h"

#include "installations/KeyValues.h"
#include "installations/Looks.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace installations {

namespace {

const QString SteamQuakeApp = QStringLiteral("2310");

// The library paths one libraryfolders.vdf lists, in its order. Each entry
// is a block with a "path" since 2021; before that an entry was the
// library's path itself, under a numbered key.
QStringList listedLibraries(const QString& record) {
    QStringList libraries;
    const auto bytes = readRecord(record);
    if (!bytes)
        return libraries;
    const std::vector<KeyValue> entries = readKeyValues(*bytes);
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
        if (path && !path->isBlock)
            libraries.append(path->value);
    }
    return libraries;
}

// Quake in one Steam library: the directory its app manifest names.
QuakeInstallation steamQuakeIn(const QString& library) {
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
    return installationAt(under(library, QStringLiteral("steamapps/common/") + name));
}

} // namespace

QStringList steamLibraries(const QString& root) {
    QStringList libraries{root};
    libraries += listedLibraries(under(root, QStringLiteral("steamapps/libraryfolders.vdf")));
    libraries += listedLibraries(under(root, QStringLiteral("config/libraryfolders.vdf")));
    return libraries;
}

QuakeInstallation steamQuake(const QString& home) {
    const QStringList roots = {
        under(home, QStringLiteral(".local/share/Steam")),
        under(home, QStringLiteral(".steam/steam")),
        under(home, QStringLiteral(".var/app/com.valvesoftware.Steam/.local/share/Steam")),
        under(home, QStringLiteral(".var/app/com.valvesoftware.Steam/data/Steam")),
    };
    // ~/.steam/steam is usually a link to another root, and every list
    // names its root again: each library once.
    QStringList seen;
    for (const QString& root : roots) {
        for (const QString& library : steamLibraries(root)) {
            if (library.isEmpty() || !QDir::isAbsolutePath(library))
                continue;
            const QString same = probe<QString>(library, [library] {
                return QFileInfo(platform::resolveCase(library)).canonicalFilePath();
            });
            if (same.isEmpty() || seen.contains(same))
                continue;
            seen.append(same);
            QuakeInstallation found = steamQuakeIn(library);
            if (!found.directory.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace installations
