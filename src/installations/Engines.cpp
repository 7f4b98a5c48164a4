#include "installations/Engines.h"

#include "installations/Looks.h"
#include "platform/DirectoryListing.h"
#include "platform/Paths.h"
#include "platform/Process.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <tuple>

namespace installations {

namespace {

struct KnownEngine {
    const char* name;
    bool readsRerelease;
};

// In the order they are offered (see findEngines()).
constexpr std::array<KnownEngine, 5> KnownEngines = {{
    {"ironwail", true},
    {"vkquake", true},
    {"quakespasm", true}, // since 0.94; Debian 12 has 0.95
    {"fteqw", true},
    {"darkplaces", false},
}};

int rankOf(const QString& name) {
    for (size_t i = 0; i < KnownEngines.size(); ++i) {
        if (name == QLatin1String(KnownEngines[i].name))
            return static_cast<int>(i);
    }
    return static_cast<int>(KnownEngines.size()); // one we do not know
}

bool readsRerelease(const QString& name) {
    const int rank = rankOf(name);
    return rank < static_cast<int>(KnownEngines.size()) &&
           KnownEngines[static_cast<size_t>(rank)].readsRerelease;
}

struct Found {
    int group = 0; // 0 the Quake directory's, 1 the administrator's choice, 2 the rest
    int rank = 0;
    int place = 0;
    Engine engine;
    QString file; // the program file itself, links followed
};

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The known engines in the Quake directory, letter case ignored: its listing
// read once, the names matched, and only those checked.
void lookInQuakeDirectory(const QString& quakeDir, std::vector<Found>& found) {
    if (quakeDir.isEmpty())
        return;
    QStringList files;
    try {
        platform::forEachEntry(quakeDir, [&files](const platform::DirectoryEntry& entry) {
            if (entry.kind() == platform::EntryKind::File &&
                rankOf(entry.name.toLower()) < static_cast<int>(KnownEngines.size()))
                files.append(entry.name);
            return true;
        });
    } catch (const platform::Error&) {
        return; // does not answer: nothing there
    }
    const QStringList runnable = probe<QStringList>(quakeDir, [quakeDir, files] {
        QStringList paths;
        for (const QString& name : files) {
            if (isExecutableFile(under(quakeDir, name)))
                paths.append(under(quakeDir, name));
        }
        return paths;
    });
    for (const QString& path : runnable) {
        const QString name = QFileInfo(path).fileName().toLower();
        found.push_back({0, rankOf(name), 0, {name, path, readsRerelease(name)}, {}});
    }
}

// The known engines in each directory, one bounded look a directory.
void lookInDirectories(const QStringList& dirs, int firstPlace, std::vector<Found>& found) {
    int place = firstPlace;
    for (const QString& dir : dirs) {
        ++place;
        const QStringList programs = probe<QStringList>(dir, [dir] {
            QStringList paths;
            for (const KnownEngine& known : KnownEngines) {
                QString path = QStandardPaths::findExecutable(QLatin1String(known.name), {dir});
                if (!path.isEmpty())
                    paths.append(std::move(path));
            }
            return paths;
        });
        for (const QString& path : programs) {
            const QString name = QFileInfo(path).fileName();
            found.push_back({2, rankOf(name), place, {name, path, readsRerelease(name)}, {}});
        }
    }
}

bool isServer(const QString& name) {
    return name.endsWith(QLatin1String("-server")) || name.endsWith(QLatin1String("-dedicated"));
}

// The engine the alternative points at, as the administrator's choice when
// its record says they chose it.
void lookAtAlternative(const EnginePlaces& places, std::vector<Found>& found) {
    if (places.alternative.isEmpty())
        return;
    const QString link = places.alternative;
    const QString target = probe<QString>(link, [link] {
        const QString file = QFileInfo(link).canonicalFilePath();
        return !file.isEmpty() && isExecutableFile(file) ? file : QString();
    });
    const QString name = QFileInfo(target).fileName();
    if (target.isEmpty() || isServer(name))
        return;
    const auto record = readRecord(places.alternativeRecord);
    const bool chosen = record && record->startsWith("manual\n");
    found.push_back(
        {chosen ? 1 : 2, rankOf(name), 1 << 20, {name, target, readsRerelease(name)}, {}});
}

} // namespace

EnginePlaces EnginePlaces::ofThisHost() {
    return {platform::searchPath(),
            {QStringLiteral("/usr/games"), QStringLiteral("/usr/local/games")},
            QStringLiteral("/usr/lib/quake/quake-engine"),
            QStringLiteral("/var/lib/dpkg/alternatives/quake-engine")};
}

std::vector<Engine> findEngines(const EnginePlaces& places, const QString& quakeDir,
                                bool rerelease) {
    std::vector<Found> found;
    lookInQuakeDirectory(quakeDir, found);
    lookInDirectories(places.searchPath, 0, found);
    lookInDirectories(places.systemDirectories, static_cast<int>(places.searchPath.size()), found);
    lookAtAlternative(places, found);

    for (Found& each : found) {
        const QString program = each.engine.program;
        each.file =
            probe<QString>(program, [program] { return QFileInfo(program).canonicalFilePath(); });
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.group, a.rank, a.place) < std::tie(b.group, b.rank, b.place);
    });
    if (rerelease) {
        std::stable_partition(found.begin(), found.end(),
                              [](const Found& each) { return each.engine.readsRerelease; });
    }
    std::vector<Engine> engines;
    QStringList seen;
    for (Found& each : found) {
        if (each.file.isEmpty() || seen.contains(each.file))
            continue;
        seen.append(each.file);
        engines.push_back(std::move(each.engine));
    }
    return engines;
}

QString engineCommand(const Engine& engine, const QString& quakeDir) {
    const QString name = engine.name;
    const QString program = engine.program;
    const bool byName = probe<bool>(program, [name, program, quakeDir] {
        const QString located = platform::locateProgram(name, {quakeDir, {}, {}});
        return !located.isEmpty() &&
               QFileInfo(located).canonicalFilePath() == QFileInfo(program).canonicalFilePath();
    });
    if (byName)
        return name;
    return program.contains(QLatin1Char(' ')) ? QLatin1Char('"') + program + QLatin1Char('"')
                                              : program;
}

} // namespace installations
