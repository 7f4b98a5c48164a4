#include "launch/SetupHandlers.h"
#include "platform/Drives.h"
#include "platform/System.h"
#include "support/Configured.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace testing_support;

TEST(Setup, TheCheckBoxSwitchesListsAndKeepsSelections) {
    Configured c;
    Harness& h = *c.h;
    ui::Form1& f = *h.form;
    QTest::mouseClick(f.Check1, Qt::LeftButton);
    EXPECT_FALSE(f.List2->isEnabled());
    EXPECT_TRUE(f.Combo2->isEnabled());
    QTest::mouseClick(f.Check1, Qt::LeftButton);
    EXPECT_TRUE(f.List2->isEnabled());
    EXPECT_FALSE(f.Combo2->isEnabled());
    EXPECT_EQ(f.List2->ListIndex(), 0);
    EXPECT_EQ(f.Combo2->ListIndex(), 0);
}

TEST(Setup, TypingSetsTheCommandButChoosingFromTheListDoesNot) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const QString program = tree.file("quake/quake", "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    ui::Form1& f = *h.form;

    f.Combo1->setText("");
    QTest::keyClicks(f.Combo1->lineEdit(), "abc");
    EXPECT_EQ(h.ctx->GameCommand, "abc");
    QTest::keyClick(f.Combo1->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(h.ctx->GameCommand, "ab");
    f.Combo1->lineEdit()->selectAll();
    QTest::keyClicks(f.Combo1->lineEdit(), "quake -x");
    EXPECT_EQ(h.ctx->GameCommand, "quake -x");

    // Picking an entry with the keyboard types no character.
    f.Combo1->setFocus();
    f.Combo1->setListIndex(4);
    EXPECT_EQ(f.Combo1->Text(), "winquake -listen # +map #");
    EXPECT_EQ(h.ctx->GameCommand, "quake -x");
    f.Command1->click();
    ASSERT_EQ(h.started.size(), 1u);
    EXPECT_EQ(h.started[0].mid(0, 2), QStringList({quake + "/quake", "-x"}));

    // Exit saves what the box shows, in the start directory, after the
    // launch moved the process elsewhere.
    f.Command2->click();
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_EQ(tree.read("start/runemark.ini"),
              ("\"" + quake + "\"\r\n\"winquake -listen # +map #\"\r\n").toLocal8Bit());
}

TEST(Setup, TheDirectoryListKeepsQuakeDirInStep) {
    Configured c;
    Harness& h = *c.h;
    const QString& quake = c.quake;
    emit h.form->Dir1->userOpened(quake + "/ctf");
    EXPECT_EQ(h.ctx->QuakeDir, quake + "/ctf");
    EXPECT_EQ(h.form->List2->ListCount(), 1); // not refilled
}

namespace {
// Two drives: the root, and a volume mounted inside the temporary tree.
struct TwoDrives {
    TempTree tree;
    QString usb;
    TwoDrives() {
        usb = tree.dir("usb");
        platform::setMountTableForTesting(
            QList<platform::Mount>{{"/", "/dev/sda1", "ext4"}, {usb, "/dev/sdb1", "vfat"}});
    }
    ~TwoDrives() { platform::setMountTableForTesting(std::nullopt); }
};
} // namespace

#ifndef Q_OS_WIN
TEST(Setup, ASavedDirectoryOnAnotherDriveIsRestoredThroughTheDriveChange) {
    TwoDrives d;
    const QString quake = makeQuake(d.tree, "usb/games/quake");
    writeIni(d.tree, quake, "quake");
    Harness h(d.tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    EXPECT_EQ(h.form->Drive1->Drive(), d.usb);
    EXPECT_EQ(h.form->Dir1->Path(), quake);
    EXPECT_EQ(h.ctx->QuakeDir, quake);
    EXPECT_EQ(h.form->List2->List(0), "Ctf");
}

// The drive list holds "/" and then the volume: the arrow keys pick, as a
// user does with the list closed.
void pickDrive(ui::Form1& f, const QString& drive) {
    const int to = f.Drive1->findText(drive);
    ASSERT_GE(to, 0) << drive;
    const int from = f.Drive1->currentIndex();
    for (int step = 0; step < std::abs(to - from); ++step)
        QTest::keyClick(f.Drive1, to > from ? Qt::Key_Down : Qt::Key_Up);
}

// Started with the Quake directory at `at` of the two drives' tree.
struct TwoDriveStart : TwoDrives {
    QString quake;
    std::unique_ptr<Harness> h;
    explicit TwoDriveStart(const QString& at = "quake") {
        quake = makeQuake(tree, at);
        writeIni(tree, quake, "quake");
        h = std::make_unique<Harness>(tree.dir("start"));
        h->load();
    }
};

TEST(Setup, EachDriveBringsBackTheLastDirectoryShownOnIt) {
    TwoDriveStart d;
    const QString& quake = d.quake;
    Harness& h = *d.h;
    ui::Form1& f = *h.form;
    ASSERT_EQ(f.Drive1->Drive(), "/");

    pickDrive(f, d.usb);
    EXPECT_EQ(f.Drive1->Drive(), d.usb);
    EXPECT_EQ(f.Dir1->Path(), d.usb); // never shown before: the drive's current directory
    EXPECT_EQ(h.ctx->QuakeDir, d.usb);
    emit f.Dir1->userOpened(d.tree.dir("usb/games"));

    // Back on the first drive: the Quake directory, shown there last.
    pickDrive(f, "/");
    EXPECT_EQ(f.Dir1->Path(), quake);
    EXPECT_EQ(h.ctx->QuakeDir, quake);
    pickDrive(f, d.usb);
    EXPECT_EQ(f.Dir1->Path(), d.tree.path("usb/games"));
    pickDrive(f, "/");
    f.Command2->click(); // Exit saves the Quake directory, not the start one
    EXPECT_EQ(d.tree.read("start/runemark.ini"),
              ("\"" + quake + "\"\r\n\"quake\"\r\n").toLocal8Bit());
    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
}

TEST(Setup, ASavedDirectoryOnAnotherDriveIsWhereThatDriveStarts) {
    TwoDriveStart d("usb/games/quake");
    const QString& quake = d.quake;
    Harness& h = *d.h;
    ui::Form1& f = *h.form;
    pickDrive(f, "/");
    EXPECT_EQ(f.Dir1->Path(), d.tree.path("start"));
    pickDrive(f, d.usb);
    EXPECT_EQ(f.Dir1->Path(), quake);
    EXPECT_EQ(h.ctx->QuakeDir, quake);
}

TEST(Setup, ADriveUnmountedSinceStartUpIsReportedAndBothListsStayTogether) {
    TwoDriveStart d;
    const QString& quake = d.quake;
    Harness& h = *d.h;
    ui::Form1& f = *h.form;
    ASSERT_GE(f.Drive1->findText(d.usb), 0);
    platform::setMountTableForTesting(QList<platform::Mount>{{"/", "/dev/sda1", "ext4"}});

    pickDrive(f, d.usb); // still listed from start-up
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_EQ(h.reported[0], "Cannot open the drive " + d.usb +
                                 ": It is not available (no longer mounted); mount it again or "
                                 "choose another drive");
    EXPECT_EQ(f.Drive1->Drive(), "/");
    EXPECT_EQ(f.Drive1->currentText(), "/");
    EXPECT_EQ(f.Drive1->findText(d.usb), -1); // the list is read again
    EXPECT_EQ(f.Dir1->Path(), quake);
    EXPECT_EQ(h.ctx->QuakeDir, quake);
}
#endif

TEST(Setup, PlayFollowsTheTabAndStaysOffAfterAFirstRun) {
    Configured c;
    TempTree& tree = c.tree;
    Harness& h = *c.h;
    for (int tab : {1, 2, 0}) {
        h.form->SSTab1->setTab(tab);
        EXPECT_EQ(h.form->Command1->isEnabled(), tab == 0) << tab;
        EXPECT_TRUE(h.form->Command2->isEnabled());
    }

    Harness first(tree.dir("elsewhere"));
    first.load();
    for (int tab : {1, 0, 2, 0}) {
        first.form->SSTab1->setTab(tab);
        EXPECT_FALSE(first.form->Command1->isEnabled()) << tab;
    }
}

TEST(Exit, AfterAFirstRunSavesWhatTheWindowShows) {
    TempTree tree;
    Harness h(tree.dir("start"));
    h.load();
    h.form->Command2->click();
    EXPECT_EQ(
        contentOf(perUserIni()),
        ("\"" + tree.path("start") + "\"\r\n\"quake -dedicated # +map #\"\r\n").toLocal8Bit());
    EXPECT_EQ(h.endRequests, 1);
}

TEST(Exit, AFileThatCannotBeWrittenIsReportedAndTheWindowStays) {
    Configured c;
    TempTree& tree = c.tree;
    Harness& h = *c.h;
    const QByteArray before = tree.read("start/runemark.ini");
    // A directory where the file's temporary sibling must go cannot be
    // written even by root: replace the start directory's path by a file.
    h.ctx->settingsFile = tree.file("blocked", "file") + "/runemark.ini";
    h.form->Command2->click();
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].startsWith("Cannot write " + tree.path("blocked/runemark.ini")));
    EXPECT_EQ(h.endRequests, 0);
    EXPECT_EQ(tree.read("start/runemark.ini"), before);
}

TEST(Exit, ClosingTheWindowAnyOtherWayWritesNothing) {
    Configured c;
    TempTree& tree = c.tree;
    Harness& h = *c.h;
    const QByteArray before = tree.read("start/runemark.ini");
    emit h.form->Dir1->userOpened(tree.path("start"));
    h.form->close();
    EXPECT_EQ(tree.read("start/runemark.ini"), before);
}
