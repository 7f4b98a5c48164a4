// Which engine a first run offers and a missing program's message lists:
// real program files in a tree laid out as PATH, /usr/games and Debian's
// alternatives lay them out.

#include "installations/Engines.h"

#include "support/ScopedPath.h"
#include "support/TempTree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace testing_support;
using installations::EnginePlaces;

namespace {

QString program(const TempTree& tree, const QString& relative, bool executable = true) {
    const QString path = tree.file(relative, "#!/bin/sh\n");
    QFile::setPermissions(path, executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
    return path;
}

QStringList found(const EnginePlaces& places, const QString& quakeDir, bool rerelease) {
    QStringList programs;
    for (const auto& engine : installations::findEngines(places, quakeDir, rerelease))
        programs.append(engine.program);
    return programs;
}

} // namespace

TEST(EngineSearch, OffersTheQuakeDirectorysThenTheAdministratorsThenByName) {
    TempTree tree;
    const EnginePlaces none{{tree.dir("empty")}, {}, {}, {}};
    EXPECT_TRUE(found(none, tree.dir("quake"), false).isEmpty());

    // A PATH holding one stand-in named like a real engine.
    const QString standIn = program(tree, "bin/ironwail");
    EnginePlaces places{{tree.path("bin")}, {}, {}, {}};
    EXPECT_EQ(found(places, tree.path("quake"), true), QStringList({standIn}));

    const QString darkplaces = program(tree, "games/darkplaces");
    const QString spasm = program(tree, "games/quakespasm");
    program(tree, "games/darkplaces-server"); // no name looked for
    program(tree, "games/vkquake", false);    // not a program one may run
    const QString inQuake = program(tree, "quake/DarkPlaces");
    places.systemDirectories = {tree.path("games")};
    // Debian's alternative, set by the administrator, points at quakespasm.
    places.alternative = tree.path("alternatives/quake-engine");
    tree.dir("alternatives");
    ASSERT_TRUE(QFile::link(spasm, places.alternative));
    places.alternativeRecord = tree.file("record", "manual\n/usr/lib/quake/quake-engine\n");
    EXPECT_EQ(found(places, tree.path("quake"), false),
              QStringList({inQuake, spasm, standIn, darkplaces}));
    // The 2021 release: the engines that read it first.
    EXPECT_EQ(found(places, tree.path("quake"), true),
              QStringList({spasm, standIn, inQuake, darkplaces}));
    // dpkg's own choice is no one's preference.
    tree.file("record", "auto\n/usr/lib/quake/quake-engine\n");
    EXPECT_EQ(found(places, tree.path("quake"), false),
              QStringList({inQuake, standIn, spasm, darkplaces}));
}

TEST(EngineSearch, ByNameTheFiveComeInTheirOrderAndAChosenServerIsNever) {
    TempTree tree;
    QStringList programs;
    for (const char* name : {"darkplaces", "fteqw", "quakespasm", "vkquake", "ironwail"})
        programs.prepend(program(tree, QStringLiteral("games/") + name));
    const QString server = program(tree, "games/quakespasm-server");
    EnginePlaces places{{}, {tree.path("games")}, tree.path("quake-engine"), {}};
    ASSERT_TRUE(QFile::link(server, places.alternative));
    places.alternativeRecord = tree.file("record", "manual\n/usr/lib/quake/quake-engine\n");
    EXPECT_EQ(found(places, tree.path("quake"), false), programs);
    EXPECT_EQ(found(places, tree.path("quake"), true), programs);
}

TEST(EngineSearch, TheCommandIsTheBareNameOnlyWhereALaunchFindsThatVeryProgram) {
    TempTree tree;
    const QString onPath = program(tree, "bin/ironwail");
    const QString inQuake = program(tree, "my quake/Ironwail");
    const QString games = program(tree, "my games/quakespasm");
    const ScopedPath path(tree.path("bin")); // where a launch looks
    const EnginePlaces places{{tree.path("bin")}, {tree.path("my games")}, {}, {}};
    const auto engines = installations::findEngines(places, tree.path("my quake"), false);
    ASSERT_EQ(engines.size(), 3U);
    EXPECT_EQ(engines[0].program, inQuake);
    EXPECT_EQ(installations::engineCommand(engines[0], tree.path("my quake")), "ironwail");
    // The same name on PATH is shadowed by the Quake directory's: its path.
    EXPECT_EQ(installations::engineCommand(engines[1], tree.path("my quake")), onPath);
    EXPECT_EQ(installations::engineCommand(engines[1], tree.path("elsewhere")), "ironwail");
    // Not on PATH: its path, quoted for its blank.
    EXPECT_EQ(installations::engineCommand(engines[2], tree.path("my quake")), "\"" + games + "\"");
}
