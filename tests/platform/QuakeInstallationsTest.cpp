// Where a first run finds Quake: real directory trees laid out as Steam,
// Flatpak Steam, Heroic and Debian lay them out, under a home of the test's
// own. And where the per-user configuration directory is.

#include "platform/QuakeInstallations.h"
#include "platform/Error.h"
#include "platform/UserDirectories.h"

#include "support/ScopedVariable.h"
#include "support/StoreTree.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;
using platform::findQuakeInstallation;
using platform::QuakePlaces;

namespace {

struct Home {
    TempTree tree;
    QuakePlaces places{tree.dir("home"), {}};
    QString find() const { return findQuakeInstallation(places); }
};

const QString FlatpakSteam = "home/.var/app/com.valvesoftware.Steam";
const QString HeroicRecord = "home/.config/heroic/gog_store/installed.json";

} // namespace

TEST(QuakeSearch, FindsQuakeInASecondSteamLibraryAndTakesTheInstallationItself) {
    Home h;
    const QString quake =
        laySteamWithQuakeInSecondLibrary(h.tree, "home/.local/share/Steam", "disk2/SteamLibrary");
    // The root library holds a Quake directory too, but does not list the app.
    layStoreQuake(h.tree, "home/.local/share/Steam/steamapps/common/Quake");
    EXPECT_EQ(h.find(), quake); // .../common/Quake, not its rerelease/
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
        EXPECT_EQ(h.find(), quake) << root.toStdString();
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
    EXPECT_EQ(h.find(),
              layStoreQuake(h.tree, "games/steam/steamapps/common/Quake", "Id1/pak0.pak"));
}

TEST(QuakeSearch, FindsGogQuakeThroughHeroicNativeOrFlatpak) {
    for (const QString& record :
         {HeroicRecord, QString("home/.var/app/com.heroicgameslauncher.hgl/config/heroic/gog_store/"
                                "installed.json")}) {
        Home h;
        const QString other = h.tree.dir("home/Games/Heroic/Other Game");
        const QString quake = layStoreQuake(h.tree, "home/Games/Heroic/Quake");
        writeHeroicRecord(h.tree, record, {other, quake});
        EXPECT_EQ(h.find(), quake) << record.toStdString();
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

    EXPECT_EQ(h.find(), steam);
    QFile::remove(h.tree.path("disk2/SteamLibrary/steamapps/appmanifest_2310.acf"));
    EXPECT_EQ(h.find(), heroic);
    QFile::remove(h.tree.path(HeroicRecord));
    EXPECT_EQ(h.find(), system);
    h.places.systemPlaces.clear();
    EXPECT_EQ(h.find(), byHand);
    const QString first = layStoreQuake(h.tree, "home/quake");
    EXPECT_EQ(h.find(), first); // ~/quake before ~/Games/Quake
}

TEST(QuakeSearch, NothingFoundWithoutQuakeAndWhereRecordsAreBroken) {
    Home h;
    EXPECT_EQ(h.find(), ""); // an empty home
    EXPECT_EQ(findQuakeInstallation({}), "");

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
    EXPECT_EQ(h.find(), byHand);
}

TEST(QuakeSearch, AnInstallationCountsByItsBasePakInAnyLetterCase) {
    TempTree tree;
    EXPECT_TRUE(platform::holdsQuake(layStoreQuake(tree, "a", "ID1/Pak0.Pak")));
    tree.file("b/id1/pak1.pak", "PACK");
    tree.dir("c/id1/pak0.pak");
    EXPECT_FALSE(platform::holdsQuake(tree.path("b")));
    EXPECT_FALSE(platform::holdsQuake(tree.path("c"))); // a directory of that name
    EXPECT_FALSE(platform::holdsQuake(tree.path("missing")));
}

TEST(UserDirectories, ConfigurationDirectoryFollowsTheXdgRule) {
    const ScopedVariable home("HOME", QString("/home/player"));
    {
        const ScopedVariable unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(platform::userConfigDirectory(), "/home/player/.config");
    }
    for (const char* ignored : {"", "relative/config", "./x"}) {
        const ScopedVariable config("XDG_CONFIG_HOME", QString(ignored));
        EXPECT_EQ(platform::userConfigDirectory(), "/home/player/.config") << ignored;
    }
    const ScopedVariable config("XDG_CONFIG_HOME", QString("/srv/conf/"));
    EXPECT_EQ(platform::userConfigDirectory(), "/srv/conf");
}

TEST(UserDirectories, MissingDirectoriesAreMadeForTheOwnerAloneOrTheRefusalNamed) {
    TempTree tree;
    platform::makeDirectories(tree.path("config/runemark"));
    for (const char* made : {"config", "config/runemark"}) {
        const QFileInfo dir(tree.path(made));
        EXPECT_TRUE(dir.isDir());
        EXPECT_EQ(dir.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                       QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
                  QFile::Permissions());
    }
    platform::makeDirectories(tree.path("config/runemark")); // there already: nothing to do

    tree.file("file", "x");
    try {
        platform::makeDirectories(tree.path("file/runemark"));
        FAIL() << "made a directory under a file";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create the directory " +
                                               tree.path("file/runemark") + ": "))
            << error.message().toStdString();
    }
}
