#include "app/StartUp.h"
#include "app/ReadAhead.h"
#include "platform/DirectoryListing.h"
#include "platform/System.h"
#include "support/Configured.h"
#include "support/Unprivileged.h"
#include "ui/Screen.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace testing_support;

TEST(FormLoad, ConfiguredStartRestoresSettingsAndScans) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake -listen # +map #");
    tree.file("start/MANUAL.RM", "First line\r\nSecond line\r\n");
    Harness h(tree.dir("start"));
    h.load();
    ui::Form1& f = *h.form;

    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(h.ctx->QuakeDir, quake);
    EXPECT_EQ(h.ctx->GameCommand, "quake -listen # +map #");
    EXPECT_EQ(f.Dir1->Path(), quake);
    EXPECT_EQ(entries(f.List2), QStringList({"Ctf"}));
    EXPECT_EQ(f.List2->ListIndex(), 0);
    EXPECT_EQ(entries(f.Combo2), QStringList({"Default Game", "Dissolution Of Eternity",
                                              "Scourge Of The Armageddon"}));
    EXPECT_EQ(f.Combo2->ListIndex(), 0);
    EXPECT_EQ(entries(f.List1).size(), 5);
    EXPECT_EQ(entries(f.Combo1),
              QStringList({"quake -listen # +map #", "quake -dedicated # +map #",
                           "quake -listen # +map #", "winquake -dedicated # +map #",
                           "winquake -listen # +map #"}));
    EXPECT_EQ(f.Combo1->Text(), "quake -listen # +map #");
    EXPECT_TRUE(f.List2->isEnabled() && f.Check1->isEnabled() && f.Command1->isEnabled());
    EXPECT_FALSE(f.Combo2->isEnabled());
    EXPECT_EQ(f.Label5->Caption(), "1.20 (Build 2)");
    EXPECT_EQ(f.Text1->Text(), "First line\r\nSecond line\r\n");
    EXPECT_EQ(f.Text1->toPlainText(), "First line\nSecond line\n");
    EXPECT_EQ(ui::mousePointer(), ui::DefaultPointer);
}

TEST(FormLoad, FirstRunDisablesPlayAndOffersThePresets) {
    TempTree tree;
    makeQuake(tree);
    tree.file("start/MANUAL.RM", "");
    Harness h(tree.dir("start"));
    h.load();
    ui::Form1& f = *h.form;

    EXPECT_TRUE(h.reported.isEmpty());
    EXPECT_FALSE(f.List2->isEnabled());
    EXPECT_FALSE(f.Check1->isEnabled());
    EXPECT_FALSE(f.Command1->isEnabled());
    EXPECT_EQ(entries(f.Combo1), app::CommandPresets);
    EXPECT_EQ(f.Combo1->Text(), "quake -dedicated # +map #");
    EXPECT_EQ(f.List1->ListCount() + f.List2->ListCount() + f.Combo2->ListCount(), 0);
    EXPECT_TRUE(h.ctx->QuakeDir.isEmpty() && h.ctx->GameCommand.isEmpty());
    EXPECT_EQ(f.Dir1->Path(), tree.path("start")); // where the program was started
    EXPECT_EQ(f.Text1->Text(), "");
    EXPECT_EQ(f.Label5->Caption(), "1.20 (Build 2)");
}

TEST(FormLoad, EmptyOrDuplicateSavedCommandIsListedAsItIs) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "");
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_EQ(h.form->Combo1->List(0), "");
    EXPECT_EQ(h.form->Combo1->ListIndex(), 0);
    EXPECT_EQ(h.form->Combo1->Text(), "");

    writeIni(tree, quake, "quake -dedicated # +map #", "again");
    Harness again(tree.path("again"));
    again.load();
    EXPECT_EQ(again.form->Combo1->ListCount(), 5);
    EXPECT_EQ(again.form->Combo1->List(0), again.form->Combo1->List(1));
}

TEST(FormLoad, SavedDirectoryInAnotherCaseIsShownAsOnDisk) {
    TempTree tree;
    const QString quake = makeQuake(tree, "Games/Quake");
    writeIni(tree, tree.path("GAMES/QUAKE"), "quake");
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    EXPECT_EQ(h.ctx->QuakeDir, quake);
    EXPECT_EQ(h.form->List2->List(0), "Ctf");
}

TEST(FormLoad, UnusableSettingsAreReportedAndTheWindowComesUpAsOnAFirstRun) {
    TempTree tree;
    // The saved directory is gone, but the command line can still be offered.
    writeIni(tree, tree.path("removed"), "quake -listen 8");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].contains(tree.path("removed"))) << h.reported[0].toStdString();
    EXPECT_FALSE(h.form->Command1->isEnabled());
    EXPECT_EQ(h.form->Combo1->List(0), "quake -listen 8");
    EXPECT_EQ(h.form->Combo1->ListCount(), 5);
    EXPECT_EQ(h.form->Label5->Caption(), "1.20 (Build 2)"); // the rest still ran
    EXPECT_EQ(ui::mousePointer(), ui::DefaultPointer);

    // Only one value: nothing can be offered.
    tree.file("short/runemark.ini", "\"/somewhere\"\r\n");
    Harness shortFile(tree.path("short"));
    shortFile.load();
    ASSERT_EQ(shortFile.reported.size(), 1);
    EXPECT_TRUE(shortFile.reported[0].contains("runemark.ini"));
    EXPECT_EQ(entries(shortFile.form->Combo1), app::CommandPresets);
}

TEST(FormLoad, TheManualIsFoundBesideTheProgramOrSaidToBeMissing) {
    TempTree tree;
    Harness h(tree.dir("start"));
    h.load();
    // The test binary's directory holds no manual, nor does the start directory.
    EXPECT_TRUE(h.form->Text1->Text().contains("MANUAL.RM"));
    EXPECT_FALSE(h.form->Text1->Text().contains('\n'));
    EXPECT_TRUE(h.reported.isEmpty());
}

TEST(Version, HasNoLeadingZeros) {
    EXPECT_EQ(app::versionText(1, 20, 2), "1.20 (Build 2)");
    EXPECT_EQ(app::versionText(1, 5, 3), "1.5 (Build 3)");
}

TEST(FormLoad, ASavedDirectoryThatCannotBeOpenedEndsAsAnUnusableSettingsFile) {
    RUNEMARK_PERMISSION_TEST()
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake -listen 8");
    tree.file("start/MANUAL.RM", "The manual");
    QFile::setPermissions(quake, QFile::WriteOwner);
    Harness h(tree.dir("start"));
    h.load();
    QFile::setPermissions(quake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ui::Form1& f = *h.form;

    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].contains(quake)) << h.reported[0];
    // The first-run state, with the saved command offered first.
    EXPECT_FALSE(f.List2->isEnabled() || f.Check1->isEnabled() || f.Command1->isEnabled());
    EXPECT_EQ(f.List1->ListCount() + f.List2->ListCount() + f.Combo2->ListCount(), 0);
    EXPECT_EQ(entries(f.Combo1), QStringList({"quake -listen 8"}) + app::CommandPresets);
    EXPECT_EQ(f.Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(h.ctx->QuakeDir, f.Dir1->Path());
    // The remaining steps ran.
    EXPECT_EQ(f.Label5->Caption(), "1.20 (Build 2)");
    EXPECT_EQ(f.Text1->Text(), "The manual");
    EXPECT_EQ(ui::mousePointer(), ui::DefaultPointer);

    // Exit gives the saved settings back unchanged.
    f.Command2->click();
    EXPECT_EQ(tree.read("start/runemark.ini"),
              ("\"" + quake + "\"\r\n\"quake -listen 8\"\r\n").toUtf8());
}

namespace {

QStringList directoryRows(const ui::DirListBox* dir) {
    QStringList rows;
    for (int i = 0; i < dir->ListCount(); ++i)
        rows.append(dir->List(i));
    return rows;
}

} // namespace

TEST(ReadAhead, StartUpListsWhatTheDiskHoldsWithoutReadingItAgainAndRefreshRereads) {
    TempTree tree;
    const QString quake = makeQuake(tree, "Games/Quake");
    tree.file("Games/Quake/.hidden/PAK0.PAK");
    tree.file("Games/Quake/Zeal/progs.dat");
    writeIni(tree, tree.path("games/quake/"), "quake");

    // The same start with nothing read ahead: what the lists must show.
    Harness plain(tree.dir("start"));
    plain.dispatcher->load();
    const QStringList dirs = directoryRows(plain.form->Dir1), list1 = entries(plain.form->List1),
                      list2 = entries(plain.form->List2), combo2 = entries(plain.form->Combo2);
    EXPECT_EQ(list2, QStringList({".hidden", "Ctf", "Zeal"}));

    // Read ahead in full, as while a window is built: the start-up thread
    // reads none of the directories again.
    Harness h(tree.dir("start"));
    app::ReadAhead readAhead(h.ctx->settingsFile);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    h.ctx->readAhead = &readAhead;
    const long readsBefore = platform::directoriesReadOnThisThread();
    h.dispatcher->load();
    EXPECT_EQ(platform::directoriesReadOnThisThread(), readsBefore);
    // Read ahead in part (taken at once): the start-up thread reads the rest.
    Harness partly(tree.dir("start"));
    partly.load();
    for (const Harness* started : {&h, &partly}) {
        EXPECT_TRUE(started->reported.isEmpty());
        EXPECT_EQ(started->ctx->QuakeDir, quake);
        EXPECT_EQ(directoryRows(started->form->Dir1), dirs);
        EXPECT_EQ(entries(started->form->List1), list1);
        EXPECT_EQ(entries(started->form->List2), list2);
        EXPECT_EQ(entries(started->form->Combo2), combo2);
    }

    // What was read ahead served the start-up only.
    QDir(tree.path("Games/Quake/Zeal")).removeRecursively();
    tree.file("Games/Quake/Added/progs.dat");
    app::Refresh(*h.ctx);
    EXPECT_GT(platform::directoriesReadOnThisThread(), readsBefore);
    EXPECT_EQ(entries(h.form->List2),
              QStringList({".hidden", "Added", "Ctf", "Hipnotic", "Rogue"}));
}

TEST(ReadAhead, ServesOnlyTheDirectoryTheLoadedSettingsName) {
    TempTree tree;
    const QString first = makeQuake(tree, "first");
    const QString second = makeQuake(tree, "second");
    writeIni(tree, first, "quake");
    const QString settings = tree.path("start/runemark.ini");
    {
        app::ReadAhead readAhead(settings);
        EXPECT_FALSE(readAhead.take(second)); // the file named another by the time it was loaded
        EXPECT_FALSE(readAhead.take(first));  // once only
    }
    app::ReadAhead readAhead(settings);
    const auto snapshot = readAhead.take(tree.path("FIRST"));
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->root(), first);
    // The root at least; the rest as far as it got.
    EXPECT_GE(snapshot->directoriesHeld(), 1);
    EXPECT_LE(snapshot->directoriesHeld(), 1 + 5);

    QFile::remove(settings);
    EXPECT_FALSE(app::ReadAhead(settings).take(first)); // no settings file, nothing read
}

TEST(RelativeQuakeDirectory, MeansTheSameDirectoryAllRunLongAndTheGameStartsInIt) {
    // "quake" beside the settings file, and "." in a settings file that lies
    // in the Quake directory itself.
    for (const QString& saved : {QStringLiteral("quake"), QStringLiteral(".")}) {
        SCOPED_TRACE(saved.toStdString());
        TempTree tree;
        const QString quake = makeQuake(tree, "start/quake");
        // The game writes down where it was started, whole before it shows.
        const QString program = tree.file(
            "start/quake/quake", "#!/bin/sh\npwd > started-in.tmp\nmv started-in.tmp started-in\n");
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        const QString start = saved == "." ? quake : tree.path("start");
        writeIni(tree, saved, "quake", QDir(tree.path()).relativeFilePath(start));
        Harness h(start, false);
        h.load();
        ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
        EXPECT_EQ(h.ctx->QuakeDir, quake);
        EXPECT_EQ(entries(h.form->List2), QStringList({"Ctf"}));

        h.form->Command1->click();
        EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
        for (int i = 0; i < 2000 && !QFile::exists(quake + "/started-in"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(tree.read("start/quake/started-in").trimmed(), quake.toLocal8Bit());
        // The launcher stays where it was started, so the saved value still
        // names the same directory.
        EXPECT_EQ(platform::currentDirectory(), start);
        emit h.form->menuClick(3); // Refresh
        EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
        EXPECT_EQ(h.ctx->QuakeDir, quake);
        EXPECT_EQ(entries(h.form->List2), QStringList({"Ctf", "Hipnotic", "Rogue"}));
        h.form->Command1->click();
        EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    }
}
