#include "launch/Launch.h"
#include "platform/Process.h"
#include "platform/System.h"
#include "support/Configured.h"
#include "support/ScopedPath.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The Part's example command, on the usual Quake directory.
struct ExampleStart : testing_support::Configured {
    ExampleStart(const QString& command = "Quake -listen 8 +map E1M1")
        : testing_support::Configured(command) {}
    QStringList words(const QStringList& tail) const {
        return QStringList({quake + "/quake", "-listen", "8", "+map", "e1m1"}) + tail;
    }
};

} // namespace

TEST(Play, StartsTheSelectedPatchInTheQuakeDirectoryAndComesBack) {
    ExampleStart c;
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    ASSERT_TRUE(c.h->reported.isEmpty()) << c.h->reported.join("\n").toStdString();
    ASSERT_EQ(c.h->started.size(), 1u);
    // The upper-cased patch reaches the program in its on-disk spelling.
    EXPECT_EQ(c.h->started[0], c.words({"-game", "ctf"}));
    EXPECT_EQ(platform::currentDirectory(), c.tree.path("start"));
}

TEST(Play, StartsTheChosenApprovedGameOrNothing) {
    ExampleStart c;
    QTest::mouseClick(c.f().Check1, Qt::LeftButton);
    EXPECT_FALSE(c.f().List2->isEnabled());
    EXPECT_TRUE(c.f().Combo2->isEnabled());

    c.f().Combo2->setListIndex(0); // Default Game
    c.f().Command1->click();
    c.f().Combo2->setListIndex(2); // Scourge Of The Armageddon
    c.f().Command1->click();
    ASSERT_EQ(c.h->started.size(), 2u);
    EXPECT_EQ(c.h->started[0], c.words({}));
    EXPECT_EQ(c.h->started[1], c.words({"-game", "hipnotic"}));

    // No selection: nothing starts, yet the directory changes and comes back.
    c.f().Combo2->setListIndex(-1);
    platform::changeDirectory(c.tree.path("start"));
    c.f().Command1->click();
    EXPECT_EQ(c.h->started.size(), 2u);
    EXPECT_EQ(platform::currentDirectory(), c.tree.path("start"));
    EXPECT_TRUE(c.h->reported.isEmpty());
}

TEST(Play, TheGameIsHandedNamesAsTheQuakeDirectorySpellsThemNotTheStartDirectory) {
    // Started from a home holding "Music": the patch "music" and a typed
    // file are matched in the Quake directory, where the game reads them.
    Configured c("quake +exec configs/server.cfg", [](const TempTree& tree) {
        tree.file("quake/music/progs.dat", "progs");
        tree.file("quake/Configs/Server.cfg", "map e1m1");
        tree.dir("start/Music");
        tree.file("start/configs/server.cfg", "map e1m1");
    });
    c.f().List2->setListIndex(entries(c.f().List2).indexOf("Music"));
    c.f().Command1->click();
    ASSERT_EQ(c.h->started.size(), 1u) << c.h->reported.join("\n").toStdString();
    EXPECT_EQ(c.h->started[0],
              QStringList({c.quake + "/quake", "+exec", "Configs/Server.cfg", "-game", "music"}));
}

TEST(Play, AProgramWordWithAFolderStartsTheFileFoundByItsAbsolutePath) {
    // Not in the Quake directory, where the game starts: the file found in
    // the start directory is the one started, never the word read there.
    Configured c("engines/prog", [](const TempTree& tree) {
        const QString prog = tree.file("start/engines/prog", "#!/bin/sh\n");
        QFile::setPermissions(prog, QFile::permissions(prog) | QFile::ExeOwner);
    });
    c.f().Command1->click();
    ASSERT_EQ(c.h->started.size(), 1u) << c.h->reported.join("\n").toStdString();
    EXPECT_EQ(c.h->started[0], QStringList({c.tree.path("start/engines/prog"), "-game", "ctf"}));
}

TEST(Play, DoubleClickIgnoresTheCheckBoxAndDoesNothingOnADisabledList) {
    ExampleStart c;
    c.f().show();
    const QRect first = c.f().List2->entryRect(0);
    QTest::mouseDClick(c.f().List2->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(c.h->started.size(), 1u);
    EXPECT_EQ(c.h->started[0], c.words({"-game", "ctf"}));

    c.f().Check1->click(); // disables the list
    platform::changeDirectory(c.tree.path("start"));
    launch::List2_DblClick(*c.h->ctx);
    EXPECT_EQ(c.h->started.size(), 1u);
    EXPECT_EQ(platform::currentDirectory(), c.tree.path("start")); // not even a cd
}

TEST(Play, FailuresAreReportedNamingWhatFailedAndTheLauncherStaysOpen) {
    ExampleStart c("nosuchgame -listen 8");
    TempTree bin;
    ScopedPath path(bin.dir("bin") + ":" + bin.dir("games"));
    const QString engine = bin.file("games/quakespasm", "#!/bin/sh\n");
    QFile::setPermissions(engine, QFile::ReadOwner | QFile::ExeOwner);
    c.h->ctx->enginePlaces.searchPath = platform::searchPath();
    platform::changeDirectory(c.tree.path("start"));
    c.f().Command1->click();
    ASSERT_EQ(c.h->reported.size(), 1);
    // What failed and where to correct it; every place tried, spelled as on
    // disk, and the engines there are to type instead, in the detail.
    EXPECT_EQ(c.h->reported[0], "Cannot start nosuchgame: No such program. Correct it in "
                                "\"Program And Command Line\" on the Setup tab.");
    EXPECT_EQ(c.h->details[0], "Looked for:\n  " + c.quake +
                                   "/nosuchgame\nand in the search path (PATH):\n  " +
                                   bin.path("bin") + "\n  " + bin.path("games") +
                                   "\n\nQuake engines on this computer (type one of these):\n"
                                   "  quakespasm    (" +
                                   engine + ")");
    QFile::remove(engine);
    c.f().Command1->click();
    ASSERT_EQ(c.h->reported.size(), 2);
    EXPECT_TRUE(c.h->details[1].contains("No Quake engine was found")) << c.h->details[1];
    c.h->reported.clear();
    // Back in its own directory, so the Quake directory's disk is not kept busy.
    EXPECT_EQ(platform::currentDirectory(), c.tree.path("start"));
    EXPECT_EQ(c.h->endRequests, 0);

    QDir(c.quake).removeRecursively();
    c.f().Command1->click();
    ASSERT_EQ(c.h->reported.size(), 1);
    EXPECT_TRUE(c.h->reported[0].startsWith("Cannot start Ctf: Its directory " + c.quake))
        << c.h->reported[0].toStdString();
    EXPECT_TRUE(c.h->started.empty());
}

TEST(Play, AnEmptyCommandSaysSoAndNoSelectionStillComposesTheLaunch) {
    for (const QString command : {"", "   "}) {
        ExampleStart c(command);
        c.f().Command1->click();
        ASSERT_EQ(c.h->reported.size(), 1);
        EXPECT_EQ(c.h->reported[0], "No program is given: type one in \"Program And Command "
                                    "Line\" on the Setup tab");
        EXPECT_TRUE(c.h->started.empty());
    }

    ExampleStart d;
    d.f().List2->setListIndex(-1);
    d.f().Command1->click();
    ASSERT_EQ(d.h->started.size(), 1u);
    EXPECT_EQ(d.h->started[0], d.words({"-game"}));
}

// A Flatpak engine: "flatpak" found on PATH, the rest as arguments, the
// Quake directory current. The command line is lower-cased as always, so an
// app ID with capitals is better named by its exported launcher's full path,
// whose letter case is resolved like any path's.
TEST(Play, AFlatpakEngineIsStartedThroughFlatpakOrItsExportedLauncher) {
    TempTree host;
    const auto executable = [&host](const QString& relative) {
        QString path = host.file(relative, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    };
    const QString flatpak = executable("usr/bin/flatpak");
    const QString exported = executable("var/lib/flatpak/exports/bin/io.example.QuakeEngine");
    ScopedPath path(host.path("usr/bin"));
    {
        ExampleStart c("flatpak run io.example.QuakeEngine -listen 8");
        c.f().Command1->click();
        ASSERT_EQ(c.h->started.size(), 1u) << c.h->reported.join("\n").toStdString();
        EXPECT_EQ(c.h->started[0], QStringList({flatpak, "run", "io.example.quakeengine", "-listen",
                                                "8", "-game", "ctf"}));
    }
    ExampleStart c(exported + " -listen 8");
    c.f().Command1->click();
    ASSERT_EQ(c.h->started.size(), 1u) << c.h->reported.join("\n").toStdString();
    EXPECT_EQ(c.h->started[0], QStringList({exported, "-listen", "8", "-game", "ctf"}));
}
