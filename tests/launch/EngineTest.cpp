// End to end: the real Form1, a real click on Play, and a real Quake engine
// (Debian's darkplaces-server, which runs dedicated without game data and
// takes the current directory as its base directory) that must load the
// patch the user chose, whatever the letter case of its directory on disk.

#include "launch/CommandLine.h"
#include "platform/Process.h"
#include "support/Harness.h"
#include "support/TempTree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QString engine = QStringLiteral("/usr/games/darkplaces-server");

// An empty but valid pack file, so the scan sees a patch and the engine
// opens it without complaint.
QByteArray emptyPak() {
    QByteArray pak("PACK");
    const char header[] = {12, 0, 0, 0, 0, 0, 0, 0};
    pak.append(header, sizeof header);
    return pak;
}

// Each game directory's autoexec.cfg says which directory the engine loaded,
// then ends the engine.
void gameDir(const TempTree& tree, const QString& dir) {
    tree.file(dir + "/pak0.pak", emptyPak());
    const QString name = QFileInfo(dir).fileName();
    tree.file(dir + "/autoexec.cfg", ("echo RUNEMARK_LOADED " + name + "\nquit\n").toUtf8());
}

QString waitForLog(const QString& path, const QString& marker) {
    QDeadlineTimer deadline(30000);
    QString log;
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            log = QString::fromLocal8Bit(file.readAll());
            if (log.contains(marker))
                return log;
        }
        QThread::msleep(50);
    }
    return log;
}

struct EngineSetup {
    TempTree tree;
    QString quake;
    EngineSetup() {
        quake = tree.dir("Games/Quake");
        gameDir(tree, "Games/Quake/id1");
        gameDir(tree, "Games/Quake/MyMod");
        gameDir(tree, "Games/Quake/hipnotic");
        // The game program: the engine, its output recorded beside it.
        const QString wrapper =
            tree.file("Games/Quake/dpserver",
                      ("#!/bin/sh\nexec " + engine + " \"$@\" >> engine.log 2>&1\n").toUtf8());
        QFile::setPermissions(wrapper, QFile::permissions(wrapper) | QFile::ExeOwner);
        tree.file("start/runemark.ini",
                  ("\"" + tree.path("GAMES/QUAKE") + "\"\r\n\"DPServer\"\r\n").toLocal8Bit());
    }
    QString log() const { return quake + "/engine.log"; }
};

} // namespace

TEST(Engine, PlayLoadsTheChosenPatchWhateverItsLetterCase) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    EngineSetup s;
    Harness h(s.tree.dir("start"), /*recordStarts=*/false);
    h.load();
    ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    ui::Form1& f = *h.form;
    f.show();
    ASSERT_EQ(f.List2->List(0), "Mymod");
    f.List2->setListIndex(0);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    const QString log = waitForLog(s.log(), "RUNEMARK_LOADED");
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED MyMod")) << log.toStdString();
}

TEST(Engine, PlayStartsTheApprovedGameChosenInTheList) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    EngineSetup s;
    Harness h(s.tree.dir("start"), /*recordStarts=*/false);
    h.load();
    ui::Form1& f = *h.form;
    f.show();
    QTest::mouseClick(f.Check1, Qt::LeftButton, {}, QPoint(6, f.Check1->height() / 2));
    ASSERT_EQ(f.Check1->Value(), 1);
    const int scourge = f.Combo2->findText("Scourge Of The Armageddon");
    ASSERT_GE(scourge, 0);
    f.Combo2->setListIndex(scourge);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    const QString log = waitForLog(s.log(), "RUNEMARK_LOADED");
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED hipnotic")) << log.toStdString();
}

// Without the host's case handling the launcher's own command line would not
// load the patch on Linux: its program path does not exist as spelled, and
// the engine given "-game MYMOD" falls back to the base game.
TEST(Engine, TheUpperCasedCommandLineAloneDoesNotLoadThePatch) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    EngineSetup s;
    const QStringList words = platform::splitWords(
        launch::patchLaunchCommand(s.tree.path("GAMES/QUAKE"), "DPServer", "Mymod"));
    ASSERT_EQ(words.mid(1), QStringList({"-game", "MYMOD"}));
    EXPECT_FALSE(QFileInfo::exists(words[0]));

    QProcess direct;
    direct.setWorkingDirectory(s.quake);
    direct.start(engine, words.mid(1));
    ASSERT_TRUE(direct.waitForFinished(30000));
    const QString out =
        QString::fromLocal8Bit(direct.readAllStandardOutput() + direct.readAllStandardError());
    EXPECT_FALSE(out.contains("RUNEMARK_LOADED MyMod")) << out.toStdString();
    EXPECT_TRUE(out.contains("RUNEMARK_LOADED id1")) << out.toStdString();
}
