// Where the settings live and what a first run opens: a per-user file in
// the configuration directory unless the start directory holds one, and the
// Setup tab opened at the Quake installation found. Real trees under a home
// of the test's own (see TestMain).

#include "app/StartUp.h"
#include "platform/Process.h"
#include "platform/SequentialFile.h"
#include "platform/UserDirectories.h"
#include "state/SettingsFile.h"

#include "support/Configured.h"
#include "support/ScopedPath.h"
#include "support/ScopedVariable.h"
#include "support/StoreTree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(SettingsPlace, TheStartDirectorysFileWinsOtherwiseThePerUserOne) {
    TempTree tree;
    const QString config = tree.path("config");
    EXPECT_EQ(state::chooseSettingsFile(tree.dir("start"), config),
              config + "/runemark/runemark.ini");
    tree.file("start/RUNEMARK.INI", "x"); // letter case ignored
    EXPECT_EQ(state::chooseSettingsFile(tree.path("start"), config),
              tree.path("start/runemark.ini"));
    // A link whose target is not there yet still marks a portable copy.
    tree.dir("linked");
    ASSERT_TRUE(QFile::link("../elsewhere/runemark.ini", tree.path("linked/runemark.ini")));
    EXPECT_EQ(state::chooseSettingsFile(tree.path("linked"), config),
              tree.path("linked/runemark.ini"));
    // A directory of that name is no settings file, nor a link to one.
    tree.dir("dir/runemark.ini");
    EXPECT_EQ(state::chooseSettingsFile(tree.path("dir"), config),
              config + "/runemark/runemark.ini");
    tree.dir("dirlink");
    ASSERT_TRUE(QFile::link(tree.path("dir/runemark.ini"), tree.path("dirlink/runemark.ini")));
    EXPECT_EQ(state::chooseSettingsFile(tree.path("dirlink"), config),
              config + "/runemark/runemark.ini");
}

TEST(FirstRun, OpensTheRereleaseAndEngineFoundAndExitSavesThemInThePerUserFile) {
    TempTree tree;
    const QString home = QDir::homePath();
    const QString quake =
        laySteamWithQuakeInSecondLibrary(tree, "home/.local/share/Steam", "disk2/SteamLibrary") +
        "/rerelease";
    const QString engine = tree.file("bin/ironwail", "#!/bin/sh\n");
    QFile::setPermissions(engine, QFile::ReadOwner | QFile::ExeOwner);
    const ScopedPath path(tree.path("bin"));
    const QString start = tree.dir("start");
    {
        Harness h(start);
        h.ctx->quakePlaces.home = tree.path("home");
        h.ctx->enginePlaces.searchPath = platform::searchPath();
        h.load();
        ui::Form1& f = *h.form;
        ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n");
        EXPECT_EQ(h.ctx->settingsFile, home + "/.config/runemark/runemark.ini");
        EXPECT_EQ(f.Dir1->Path(), quake);
        EXPECT_EQ(h.ctx->QuakeDir, quake);
        // Everything else as on any first run.
        EXPECT_FALSE(f.List2->isEnabled() || f.Check1->isEnabled() || f.Command1->isEnabled());
        EXPECT_EQ(f.List1->ListCount() + f.List2->ListCount() + f.Combo2->ListCount(), 0);
        // The engine found is offered first, as a saved command would be.
        EXPECT_EQ(entries(f.Combo1), QStringList({"ironwail"}) + app::CommandPresets);
        EXPECT_EQ(f.Combo1->Text(), "ironwail");

        f.Command2->click();
        EXPECT_EQ(h.endRequests, 1) << h.reported.join("\n");
    }
    EXPECT_FALSE(QFileInfo::exists(start + "/runemark.ini"));
    EXPECT_EQ(contentOf(perUserIni()), ini(quake, "ironwail"));
    EXPECT_EQ(QFileInfo(home + "/.config/runemark").permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());

    // The next start, from anywhere, comes up configured from that file.
    Harness again(tree.dir("elsewhere"));
    again.load();
    ui::Form1& f = *again.form;
    ASSERT_TRUE(again.reported.isEmpty()) << again.reported.join("\n");
    EXPECT_EQ(f.Dir1->Path(), quake);
    EXPECT_EQ(entries(f.List2), QStringList({"Ctf"}));
    EXPECT_TRUE(f.List2->isEnabled() && f.Check1->isEnabled() && f.Command1->isEnabled());
    EXPECT_EQ(entries(f.Combo2), QStringList({"Default Game"}));
}

TEST(FirstRun, WithoutQuakeAnywhereTheListsStayAtTheStartDirectory) {
    TempTree tree;
    tree.file("home/quake/id1/config.cfg", "no pak here");
    Harness h(tree.dir("start"));
    h.ctx->quakePlaces.home = tree.path("home");
    h.load();
    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n");
    EXPECT_EQ(h.form->Dir1->Path(), tree.path("start"));
    EXPECT_EQ(entries(h.form->Combo1), app::CommandPresets); // and no engine either
}

TEST(FirstRun, AStartDirectoryHoldingSettingsKeepsUsingThemAndRefreshReadsThemThere) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const QString other = makeQuake(tree, "other");
    writeIni(tree, quake, "quake -listen 8");
    QDir().mkpath(QFileInfo(perUserIni()).path());
    QFile perUser(perUserIni());
    ASSERT_TRUE(perUser.open(QIODevice::WriteOnly));
    perUser.write(ini(other, "per-user"));
    perUser.close();

    Harness h(tree.path("start"));
    h.ctx->quakePlaces.home = tree.path("home");
    h.load();
    EXPECT_EQ(h.form->Dir1->Path(), quake);
    // Refresh reads the same file, not the per-user one.
    writeIni(tree, quake, "quake -listen 16");
    h.ctx->Form1.Combo1->setText("typed");
    app::Refresh(*h.ctx);
    EXPECT_EQ(h.form->Combo1->Text(), "quake -listen 16");
    h.form->Command2->click();
    EXPECT_EQ(h.endRequests, 1) << h.reported.join("\n");
    EXPECT_EQ(tree.read("start/runemark.ini"), ini(quake, "quake -listen 16"));
    EXPECT_EQ(contentOf(perUserIni()), ini(other, "per-user"));
}

TEST(FirstRun, ThePerUserFileKeepsEveryRuleOfTheWriterAndMessagesNameItWhole) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const ScopedVariable config("XDG_CONFIG_HOME", tree.path("config"));
    const QString file = tree.path("config/runemark/runemark.ini");

    // Kept through a link: the link stays, its target gets the settings;
    // a leftover of a killed write, which lies beside the target, is removed
    // there, and a player's copy beside it is kept.
    tree.dir("config/runemark");
    writeIni(tree, quake, "quake", "kept");
    ASSERT_TRUE(QFile::link(tree.path("kept/runemark.ini"), file));
    const QString leftover = tree.file("kept/runemark.ini.runemark-save-a1B2c3", "half");
    const QString copy = tree.file("kept/runemark.ini.old123", "copy");
    for (const QString& old : {leftover, copy}) {
        QFile stale(old);
        ASSERT_TRUE(stale.open(QIODevice::ReadWrite));
        stale.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                          QFileDevice::FileModificationTime);
    }
    {
        Harness h(tree.dir("start"));
        h.load();
        EXPECT_EQ(h.ctx->settingsFile, file);
        EXPECT_EQ(h.form->Dir1->Path(), quake);
        h.form->Combo1->setText("quake -listen 8");
        h.form->Command2->click();
        EXPECT_EQ(h.endRequests, 1) << h.reported.join("\n");
    }
    EXPECT_TRUE(QFileInfo(file).isSymLink());
    EXPECT_EQ(tree.read("kept/runemark.ini"), ini(quake, "quake -listen 8"));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(copy));

    // A file cut short is reported by its full path.
    QFile::remove(file);
    tree.file("config/runemark/runemark.ini", "\"" + quake.toLocal8Bit() + "\"\r\n");
    {
        Harness h(tree.path("start"));
        h.load();
        ASSERT_EQ(h.reported.size(), 1);
        EXPECT_TRUE(h.reported[0].contains(file)) << h.reported[0];
    }

    // A configuration directory that cannot be made: the window stays open
    // and the message names the directory.
    const ScopedVariable blocked("XDG_CONFIG_HOME", tree.file("plain", "a file").append("/x"));
    Harness h(tree.path("start"));
    h.load();
    h.form->Command2->click();
    EXPECT_EQ(h.endRequests, 0);
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].startsWith("Cannot create the directory " + tree.path("plain/x")))
        << h.reported[0];
}
