// End to end: the real Form1, a real click on Play, and a real Quake engine
// (Debian's darkplaces-server, which runs dedicated without game data and
// takes the current directory as its base directory) that must load the
// patch the user chose, whatever the letter case of its directory on disk.

#include "launch/CommandLine.h"
#include "platform/Process.h"
#include "support/Harness.h"
#include "support/QuakeTree.h"
#include "support/ScopedPath.h"
#include "support/TempTree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

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

// Each game directory's autoexec.cfg says which directory the engine loaded
// (by its name, or by `marker`: the engine's console mangles non-ASCII
// text), then ends the engine.
void gameDir(const TempTree& tree, const QString& dir, const QString& marker = {}) {
    tree.file(dir + "/pak0.pak", emptyPak());
    const QString name = marker.isEmpty() ? QFileInfo(dir).fileName() : marker;
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
    // The line as the launcher composes it: the Quake directory upper-cased,
    // the command lower-cased, "-game" and the patch upper-cased.
    const QStringList words =
        platform::splitWords(s.tree.path("GAMES/QUAKE").toUpper() + "/dpserver -game MYMOD");
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

namespace {

// A script that says `marker`, then runs the engine with its arguments.
QString engineBehind(const TempTree& tree, const QString& relative, const QString& marker) {
    QString script = tree.file(
        relative, ("#!/bin/sh\necho " + marker + "\nexec " + engine + " \"$@\"\n").toUtf8());
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    return script;
}

// A Quake directory that holds no program, and the distribution's engine
// reached through PATH by its bare name.
struct DistributionEngine {
    TempTree tree;
    QString quake;
    ScopedPath path{QStringLiteral("/usr/local/bin:/usr/bin:/bin:/usr/games")};
    explicit DistributionEngine(const QString& command = QStringLiteral("darkplaces-server")) {
        quake = tree.dir("Games/Quake");
        gameDir(tree, "Games/Quake/id1");
        writeIni(tree, quake, command);
    }
    // What the launcher keeps of the game's output.
    QString log() const { return platform::cacheFile(QStringLiteral("game.log")); }

    // The launcher started on this directory, its window shown.
    std::unique_ptr<Harness> start() {
        auto h = std::make_unique<Harness>(tree.dir("start"), /*recordStarts=*/false);
        h->load();
        h->form->show();
        return h;
    }

    // Selects row `row` of the patch list, presses Play, and returns what the
    // engine said once it said which directory it loaded.
    QString play(Harness& h, int row) {
        h.form->List2->setListIndex(row);
        QTest::mouseClick(h.form->Command1, Qt::LeftButton);
        return waitForLog(log(), "RUNEMARK_LOADED");
    }
};

} // namespace

TEST(Engine, ADistributionsEngineOnPathLoadsTheMixedCasePatch) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    DistributionEngine s;
    gameDir(s.tree, "Games/Quake/MyMod");
    ASSERT_FALSE(QFileInfo::exists(s.quake + "/darkplaces-server"));
    auto h = s.start();
    ASSERT_EQ(h->form->List2->List(0), "Mymod");
    const QString log = s.play(*h, 0);
    ASSERT_TRUE(h->reported.isEmpty()) << h->reported.join("\n").toStdString();
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED MyMod")) << log.toStdString();
}

TEST(Engine, EachOfTwoPatchesDifferingInLetterCaseLoadsItsOwnDirectory) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    DistributionEngine s(" darkplaces-server"); // a blank first is no word
    gameDir(s.tree, "Games/Quake/ctf", "lower-ctf");
    gameDir(s.tree, "Games/Quake/CTF", "upper-CTF");
    auto h = s.start();
    ASSERT_EQ(h->form->List2->ListCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(h->form->List2->List(row), "Ctf");
        const QString dir = QFileInfo(h->form->List2->ItemDirectory(row)).fileName();
        const QString log = s.play(*h, row);
        ASSERT_TRUE(h->reported.isEmpty()) << h->reported.join("\n").toStdString();
        EXPECT_TRUE(
            log.contains("RUNEMARK_LOADED " + QString(dir == "ctf" ? "lower-ctf" : "upper-CTF")))
            << dir.toStdString() << ": " << log.toStdString();
    }
}

TEST(Engine, APatchWithANonAsciiNameLoads) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    DistributionEngine s;
    gameDir(s.tree, QString::fromUtf8("Games/Quake/stra\u00dfe"), "strasse-dir");
    auto h = s.start();
    ASSERT_EQ(h->form->List2->List(0), QString::fromUtf8("Stra\u00dfe"));
    const QString log = s.play(*h, 0);
    ASSERT_TRUE(h->reported.isEmpty()) << h->reported.join("\n").toStdString();
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED strasse-dir")) << log.toStdString();
}

TEST(Engine, AProgramInTheQuakeDirectoryWinsOverOneOnPath) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    DistributionEngine s;
    gameDir(s.tree, "Games/Quake/MyMod");
    engineBehind(s.tree, "Games/Quake/Darkplaces-Server", "FROM_THE_QUAKE_DIRECTORY");
    auto h = s.start();
    const QString log = s.play(*h, 0);
    ASSERT_TRUE(h->reported.isEmpty()) << h->reported.join("\n").toStdString();
    EXPECT_TRUE(log.contains("FROM_THE_QUAKE_DIRECTORY")) << log.toStdString();
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED MyMod")) << log.toStdString();
}

// An AppImage is one executable file named by its full path, typed with its
// capitals; the command line reaches the launcher lower-cased.
TEST(Engine, AnEngineNamedByItsFullPathLoadsThePatch) {
    ASSERT_TRUE(QFileInfo(engine).isExecutable()) << "darkplaces-server is not installed";
    TempTree apps;
    const QString image = engineBehind(apps, "Apps/DarkPlaces-x86_64.AppImage", "FROM_THE_IMAGE");
    DistributionEngine s(image + " -nosound");
    gameDir(s.tree, "Games/Quake/MyMod");
    auto h = s.start();
    const QString log = s.play(*h, 0);
    ASSERT_TRUE(h->reported.isEmpty()) << h->reported.join("\n").toStdString();
    EXPECT_TRUE(log.contains("FROM_THE_IMAGE")) << log.toStdString();
    EXPECT_TRUE(log.contains("RUNEMARK_LOADED MyMod")) << log.toStdString();
}
