#include "menu/MenuCommands.h"
#include "launch/Launch.h"
#include "support/Configured.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct MenuStart : testing_support::Configured {
    explicit MenuStart(bool recordStarts = true)
        : testing_support::Configured("quake -listen 8", {}, recordStarts) {}
    QStringList patches() { return entries(f().List2); }
};

} // namespace

TEST(MenuPlay, StartsWhatADoubleClickStartsWithoutItsTests) {
    MenuStart c;
    launch::List2_DblClick(*c.h->ctx);
    c.f().Check1->click(); // ticked, and the list disabled: the menu's Play ignores both
    menu::menu_Click(*c.h->ctx, 0);
    ASSERT_EQ(c.h->started.size(), 2u);
    EXPECT_EQ(c.h->started[0], c.h->started[1]);
    EXPECT_EQ(c.h->started[1].last(), "ctf");
}

TEST(MenuReadme, OpensThePathAsOneWordInTheTextEditorFoundOnPath) {
    MenuStart c(/*recordStarts=*/false);
    c.tree.file("quake/arcane dimensions/pak0.pak");
    c.tree.file("quake/arcane dimensions/ReadMe.txt", "hello");
    // A recording program first on PATH under the editor's name.
    const QString out = c.tree.path("editor.out");
    const QString editor =
        c.tree.file("bin/" + menu::textEditor(),
                    ("#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '" + out +
                     ".tmp'\npwd >> '" + out + ".tmp'\nmv '" + out + ".tmp' '" + out + "'\n")
                        .toUtf8());
    QFile::setPermissions(editor, QFile::permissions(editor) | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", c.tree.path("bin").toLocal8Bit() + ":" + path);

    c.f().frmMenus().menu(1).setTag((c.quake + "/arcane dimensions/readme.txt").toLower());
    const QString before = QDir::currentPath();
    menu::menu_Click(*c.h->ctx, 1);
    EXPECT_EQ(QDir::currentPath(), before);
    qputenv("PATH", path);
    ASSERT_TRUE(c.h->reported.isEmpty()) << c.h->reported.join("\n").toStdString();

    QDeadlineTimer deadline(20000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    const QList<QByteArray> lines = c.tree.read("editor.out").split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(QString::fromLocal8Bit(lines[0]), "[" + c.quake + "/arcane dimensions/ReadMe.txt]");
}

TEST(MenuRefresh, SeesNewPatchesAndListsTheMissionPacks) {
    MenuStart c;
    c.tree.file("quake/newmod/progs.dat");
    emit c.f().menuClick(3); // through the wiring, which hands the menu Refresh
    EXPECT_EQ(c.patches(), QStringList({"Ctf", "Hipnotic", "Newmod", "Rogue"}));
    EXPECT_EQ(c.f().List2->ListIndex(), 0);
    EXPECT_EQ(c.f().Combo2->ListCount(), 3);
    EXPECT_EQ(c.f().Combo1->ListCount(), 5);
    EXPECT_EQ(c.f().Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(c.f().List1->ListCount(), 6);
}

TEST(MenuRefresh, ReturnsToTheSavedDirectoryAndCommand) {
    MenuStart c;
    emit c.f().Dir1->userOpened(c.tree.path("start"));
    c.h->ctx->GameCommand = "typed but not saved";
    emit c.f().menuClick(3); // through the wiring, which hands the menu Refresh
    EXPECT_EQ(c.f().Dir1->Path(), c.quake);
    EXPECT_EQ(c.h->ctx->QuakeDir, c.quake);
    EXPECT_EQ(c.h->ctx->GameCommand, "quake -listen 8");
    EXPECT_EQ(c.patches().first(), "Ctf");
}

// Without a saved command line the player's own stays first and shown: it is
// what Play then starts and Exit saves.
TEST(MenuRefresh, WithoutTheSettingsFileLeavesAnEmptyEnabledListAndTheCommandLine) {
    MenuStart c;
    QFile::remove(c.tree.path("start/runemark.ini"));
    emit c.f().menuClick(3); // through the wiring, which hands the menu Refresh
    EXPECT_EQ(c.f().List2->ListCount(), 0);
    EXPECT_TRUE(c.f().List2->isEnabled());
    EXPECT_EQ(entries(c.f().Combo1),
              QStringList({"quake -listen 8", "quake -dedicated # +map #", "quake -listen # +map #",
                           "winquake -dedicated # +map #", "winquake -listen # +map #"}));
    EXPECT_EQ(c.f().Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(c.h->ctx->GameCommand, "quake -listen 8");
    EXPECT_EQ(c.f().Combo2->ListCount(), 3);
    EXPECT_TRUE(c.h->reported.isEmpty());
}

TEST(MenuRefresh, AnEmptyQuakeDirectoryGivesAnEmptyList) {
    MenuStart c;
    for (const char* dir : {"id1", "hipnotic", "rogue", "ctf", "maps"})
        QDir(c.quake + "/" + dir).removeRecursively();
    emit c.f().menuClick(3); // through the wiring, which hands the menu Refresh
    EXPECT_EQ(c.f().List2->ListCount(), 0);
    EXPECT_EQ(c.f().List2->ListIndex(), -1);
    EXPECT_EQ(c.f().Combo1->ListCount(), 5);
}

TEST(MenuRefresh, AFailureKeepsTheCommandLineAndTheDirectoryListInStep) {
    MenuStart c;
    const QByteArray saved = c.tree.read("start/runemark.ini");
    emit c.f().Dir1->userOpened(c.tree.path("start"));
    QDir(c.quake).removeRecursively();
    emit c.f().menuClick(3);
    ASSERT_EQ(c.h->reported.size(), 1);
    EXPECT_TRUE(c.h->reported[0].contains(c.quake)) << c.h->reported[0];
    EXPECT_EQ(c.f().Combo1->List(0), "quake -listen 8");
    EXPECT_EQ(c.f().Combo1->ListCount(), 5);
    EXPECT_EQ(c.f().Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(c.h->ctx->QuakeDir, c.f().Dir1->Path());
    EXPECT_EQ(c.f().List2->ListCount(), 0);
    // What Exit writes then is still the saved settings.
    c.f().Command2->click();
    EXPECT_EQ(c.tree.read("start/runemark.ini"), saved);
}

// The command line shown is what Play starts, also after a failed Refresh:
// the player's command is kept, not swapped for an offered one behind it.
TEST(MenuRefresh, ASettingsFileCutShortKeepsTheShownCommandLineAndPlaysIt) {
    MenuStart c;
    c.f().Combo1->setListIndex(2); // chosen without typing: shown, and so started
    c.tree.file("start/runemark.ini", ("\"" + c.quake + "\"\r\n").toUtf8());
    emit c.f().menuClick(3);
    ASSERT_EQ(c.h->reported.size(), 1);
    EXPECT_TRUE(c.h->reported[0].contains("runemark.ini")) << c.h->reported[0];
    EXPECT_EQ(entries(c.f().Combo1),
              QStringList({"quake -listen # +map #", "quake -dedicated # +map #",
                           "quake -listen # +map #", "winquake -dedicated # +map #",
                           "winquake -listen # +map #"}));
    EXPECT_EQ(c.f().Combo1->Text(), "quake -listen # +map #");
    EXPECT_EQ(c.h->ctx->GameCommand, "quake -listen # +map #");
    EXPECT_EQ(c.h->ctx->QuakeDir, c.f().Dir1->Path());
    EXPECT_TRUE(c.f().List2->isEnabled());
}
