// Where a first run finds Quake: real directory trees laid out as Steam,
// Flatpak Steam, Heroic and Debian lay them out, under a home of the test's
// own.

#include "installations/QuakeInstallations.h"
#include "installations/Steam.h"

#include "support/ScopedVariable.h"
#include "support/StoreTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;
using installations::findQuakeInstallation;
using installations::QuakePlaces;

namespace {

struct Home {
    TempTree tree;
    QuakePlaces places{tree.dir("home"), {}};
    QString find() const { return findQuakeInstallation(places).directory; }
};

// What a first run opens of a store's installation that holds both releases.
QString rerelease(const QString& installation) {
    return installation + "/rerelease";
}

const QString FlatpakSteam = "home/.var/app/com.valvesoftware.Steam";
const QString HeroicRecord = "home/.config/heroic/gog_store/installed.json";

} // namespace

TEST(QuakeSearch, FindsQuakeInASecondSteamLibraryAndOpensItsRerelease) {
    Home h;
    const QString quake =
        laySteamWithQuakeInSecondLibrary(h.tree, "home/.local/share/Steam", "disk2/SteamLibrary");
    // The root library holds a Quake directory too, but no manifest of the app.
    layStoreQuake(h.tree, "home/.local/share/Steam/steamapps/common/Quake");
    EXPECT_EQ(h.find(), rerelease(quake));
    EXPECT_TRUE(quake.startsWith(h.tree.path("disk2/")));
}

TEST(QuakeSearch, FindsFlatpakSteamInBothItsPlacesAndAnInstallDirOfItsOwn) {
    for (const QString& root :
         {FlatpakSteam + "/.local/share/Steam", FlatpakSteam + "/data/Steam"}) {
        Home h;
        h.tree.dir(root + "/steamapps/common");
        writeLibraryFolders(h.tree, root, {steamLibraryEntry(0, h.tree.path(root), {"2310"})});
        writeQuakeManifest(h.tree, root, "Quake Game");
        const QString quake = layStoreQuake(h.tree, root + "/steamapps/common/Quake Game");
        EXPECT_EQ(h.find(), rerelease(quake)) << root.toStdString();
    }
}

TEST(QuakeSearch, SteamsOlderLibraryListAndItsLinkedRootAreRead) {
    Home h;
    // ~/.steam/steam a link to the real root, which names its library the
    // way Steam did before 2021: the path under a numbered key.
    h.tree.file("home/.local/share/Steam/steamapps/libraryfolders.vdf",
                ("\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1620000000\"\n"
                 "\t\"ContentStatsID\"\t\t\"-1\"\n\t\"1\"\t\t\"" +
                 h.tree.path("games/steam") + "\"\n}\n")
                    .toUtf8());
    h.tree.dir("home/.steam");
    ASSERT_TRUE(
        QFile::link(h.tree.path("home/.local/share/Steam"), h.tree.path("home/.steam/steam")));
    writeQuakeManifest(h.tree, "games/steam");
    EXPECT_EQ(h.find(), rerelease(layStoreQuake(h.tree, "games/steam/steamapps/common/Quake",
                                                "Id1/pak0.pak")));
}

TEST(QuakeSearch, FindsGogQuakeThroughHeroicNativeOrFlatpak) {
    for (const QString& record :
         {HeroicRecord, QString("home/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/"
                                "installed.json")}) {
        Home h;
        const QString other = h.tree.dir("home/Games/Heroic/Other Game");
        const QString quake = layStoreQuake(h.tree, "home/Games/Heroic/Quake");
        writeHeroicRecord(h.tree, record, {other, quake});
        EXPECT_EQ(h.find(), rerelease(quake)) << record.toStdString();
    }
}

TEST(QuakeSearch, LooksInOrderSteamHeroicSystemThenHome) {
    Home h;
    const QString steam =
        laySteamWithQuakeInSecondLibrary(h.tree, "home/.local/share/Steam", "disk2/SteamLibrary");
    const QString heroic = layStoreQuake(h.tree, "heroic/Quake");
    writeHeroicRecord(h.tree, HeroicRecord, {heroic});
    const QString system = layStoreQuake(h.tree, "usr/share/games/quake", "id1/pak0.pak");
    h.places.systemPlaces = {h.tree.path("usr/share/games/quake")};
    const QString byHand = layStoreQuake(h.tree, "home/Games/Quake");

    EXPECT_EQ(h.find(), rerelease(steam));
    QFile::remove(h.tree.path("disk2/SteamLibrary/steamapps/appmanifest_2310.acf"));
    EXPECT_EQ(h.find(), rerelease(heroic));
    QFile::remove(h.tree.path(HeroicRecord));
    EXPECT_EQ(h.find(), rerelease(system));
    h.places.systemPlaces.clear();
    EXPECT_EQ(h.find(), rerelease(byHand));
    const QString first = layStoreQuake(h.tree, "home/quake");
    EXPECT_EQ(h.find(), rerelease(first)); // ~/quake before ~/Games/Quake
}

TEST(QuakeSearch, NothingFoundWithoutQuakeAndWhereRecordsAreBroken) {
    Home h;
    EXPECT_EQ(h.find(), ""); // an empty home
    EXPECT_EQ(findQuakeInstallation({}).directory, "");

    // Broken records, each pointing at a Quake that is there: none counts.
    const QString quake = layStoreQuake(h.tree, "disk2/SteamLibrary/steamapps/common/Quake");
    h.tree.file("home/.local/share/Steam/steamapps/libraryfolders.vdf", "\x7f"
                                                                        "ELF\0\0\0binary");
    h.tree.file("home/.steam/steam/steamapps/libraryfolders.vdf",
                ("\"libraryfolders\" { \"0\" { \"path\" \"" + h.tree.path("disk2/Steam"))
                    .toUtf8()); // cut inside the path
    const QString flatpak = FlatpakSteam + "/.local/share/Steam";
    writeLibraryFolders(h.tree, flatpak,
                        {steamLibraryEntry(0, h.tree.path("disk2/SteamLibrary"), {"2310"})});
    h.tree.file("disk2/SteamLibrary/steamapps/appmanifest_2310.acf",
                "\"AppState\" { \"installdir\" \"../../..\" }");
    h.tree.file(HeroicRecord, ("{\"installed\":[{\"install_path\":\"" + quake).toUtf8());
    h.tree.file("home/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/installed.json",
                ("[{\"install_path\":\"" + quake + "\"}]").toUtf8()); // no "installed"
    // A directory that is no installation: id1 without its pak.
    h.tree.file("home/quake/id1/config.cfg", "bind");
    EXPECT_EQ(h.find(), "");

    // The search goes on past them.
    const QString byHand = layStoreQuake(h.tree, "home/games/quake");
    EXPECT_EQ(h.find(), rerelease(byHand));
}

TEST(QuakeSearch, AnInstallationCountsByItsBasePakInAnyLetterCase) {
    TempTree tree;
    EXPECT_TRUE(installations::holdsQuake(layStoreQuake(tree, "a", "ID1/Pak0.Pak")));
    tree.file("b/id1/pak1.pak", "PACK");
    tree.dir("c/id1/pak0.pak");
    EXPECT_FALSE(installations::holdsQuake(tree.path("b")));
    EXPECT_FALSE(installations::holdsQuake(tree.path("c"))); // a directory of that name
    EXPECT_FALSE(installations::holdsQuake(tree.path("missing")));
}

TEST(QuakeSearch, TheRereleaseIsOpenedWhereverItIsAndTheOriginalWhereItIsAlone) {
    Home h;
    const QString steam = "home/.local/share/Steam";
    writeLibraryFolders(h.tree, steam, {});
    writeQuakeManifest(h.tree, steam);
    const QString quake = h.tree.path(steam + "/steamapps/common/Quake");
    h.tree.file(steam + "/steamapps/common/Quake/rerelease/id1/pak0.pak", "PACK");
    const installations::QuakeInstallation newer = findQuakeInstallation(h.places);
    EXPECT_EQ(newer.directory, rerelease(quake)); // the 2021 release alone
    EXPECT_TRUE(newer.rerelease);
    QDir(rerelease(quake)).removeRecursively();
    h.tree.file(steam + "/steamapps/common/Quake/Id1/PAK0.PAK", "PACK");
    const installations::QuakeInstallation older = findQuakeInstallation(h.places);
    EXPECT_EQ(older.directory, quake); // the 1996 original alone
    EXPECT_FALSE(older.rerelease);

    // GOG installs the 2021 release as a game of its own: it wins there too.
    Home gog;
    const QString original = layStoreQuake(gog.tree, "Games/Quake", "id1/pak0.pak");
    QDir(rerelease(original)).removeRecursively();
    const QString enhanced = gog.tree.dir("Games/Quake Enhanced");
    gog.tree.file("Games/Quake Enhanced/id1/pak0.pak", "PACK");
    gog.tree.file(HeroicRecord,
                  ("{\"installed\":[{\"appName\":\"1435828198\",\"install_path\":\"" + original +
                   "\"},{\"appName\":\"1739637082\",\"install_path\":\"" + enhanced + "\"}]}")
                      .toUtf8());
    const installations::QuakeInstallation chosen = findQuakeInstallation(gog.places);
    EXPECT_EQ(chosen.directory, enhanced);
    EXPECT_TRUE(chosen.rerelease);
}

TEST(QuakeSearch, SteamsRootAndItsManifestCountWhateverItsLibraryListSays) {
    Home h;
    // An older list names only the extra library, and in config/ at that;
    // the root holds Quake.
    const QString root = "home/.local/share/Steam";
    h.tree.file(
        root + "/config/libraryfolders.vdf",
        ("\"libraryfolders\"\n{\n\t\"1\"\t\t\"" + h.tree.path("disk2/Steam") + "\"\n}\n").toUtf8());
    writeQuakeManifest(h.tree, root);
    const QString inRoot = layStoreQuake(h.tree, root + "/steamapps/common/Quake");
    EXPECT_EQ(h.find(), rerelease(inRoot));
    EXPECT_EQ(installations::steamLibraries(h.tree.path(root)),
              QStringList({h.tree.path(root), h.tree.path("disk2/Steam")}));

    // A library whose list of apps went stale still holds what its
    // manifest says.
    QDir(h.tree.path(root)).removeRecursively();
    writeLibraryFolders(h.tree, root,
                        {steamLibraryEntry(0, h.tree.path(root), {}),
                         steamLibraryEntry(1, h.tree.path("disk2/Steam"), {"228980"})});
    writeQuakeManifest(h.tree, "disk2/Steam");
    EXPECT_EQ(h.find(), rerelease(layStoreQuake(h.tree, "disk2/Steam/steamapps/common/Quake")));
}
