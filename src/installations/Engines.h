#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace installations {

// Where Quake engines may be installed on this host.
struct EnginePlaces {
    QStringList searchPath; // the directories of PATH, in order
    // Where packages put games, looked in even when PATH lacks them, as
    // desktop sessions' PATH often does.
    QStringList systemDirectories;
    // Debian's alternative that points at the engine of the packages
    // installed, and the record that says whether the administrator chose it
    // ("manual") or dpkg did ("auto").
    QString alternative;
    QString alternativeRecord;

    // PATH, /usr/games and /usr/local/games, /usr/lib/quake/quake-engine and
    // /var/lib/dpkg/alternatives/quake-engine.
    static EnginePlaces ofThisHost();
};

// One engine found.
struct Engine {
    QString name;    // its program's own name, "ironwail"
    QString program; // the program file, as found
    bool readsRerelease = false;
};

// The Quake engines installed, best first. Looked for by their programs'
// names (ironwail, vkquake, quakespasm, fteqw, darkplaces; no servers) in
// `quakeDir` (letter case ignored, as a launch finds its program there), on
// the search path and in the system directories, and through the
// alternative. The order:
//  1. an engine in the Quake directory itself: whoever put it there meant it
//     for that game;
//  2. the administrator's own choice of the alternative (dpkg's automatic
//     one says nothing: every engine package registers at the same priority);
//  3. the rest by name: ironwail, then vkquake (as fast, but it needs Vulkan,
//     which not every machine has), quakespasm, fteqw, and darkplaces last,
//     as it changes how the game looks and Debian's build (2018) predates
//     the 2021 release. The same name in several places keeps the order of
//     the places, as a launch would find it.
// With `rerelease`, the engines that read the 2021 release come first, each
// part in that order. Every look is bounded by the storage deadline; a place
// that does not answer, or cannot be read, holds nothing. Each program file
// is named once.
std::vector<Engine> findEngines(const EnginePlaces& places, const QString& quakeDir,
                                bool rerelease);

// The command line that starts `engine` as a launch in `quakeDir` finds it:
// its bare name when that finds this very program, otherwise its path
// (quoted when it holds a blank).
QString engineCommand(const Engine& engine, const QString& quakeDir);

} // namespace installations
