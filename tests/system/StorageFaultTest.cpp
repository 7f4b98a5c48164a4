// The built program on storage that stops answering, and on a relative Quake
// directory, driven as a player drives it under a real X server: each fault,
// then Exit, with the settings file checked.
//
// Shares are FUSE mounts (support/Share.h) in the test's private mount
// namespace; a stopped share holds every call on it in the kernel, as a
// share whose server went away does.

#include "support/QuakeTree.h"
#include "support/RunningProgram.h"
#include "support/Share.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using testing_support::makeQuake;
using testing_support::RunningProgram;
using testing_support::Share;
using testing_support::TempTree;
using testing_support::writeIni;

namespace {

// Long enough for a few calls that each wait out the program's deadline on
// storage (a few seconds), far shorter than a window that never answers.
constexpr int MessageWithin = 30000;
constexpr int WindowWithin = 20000;

// The program built with the tests, or another build of it named by
// RUNEMARK_PROGRAM_UNDER_TEST (to try these tests on a branch's program).
const QString Program =
    qEnvironmentVariable("RUNEMARK_PROGRAM_UNDER_TEST", QStringLiteral(RUNEMARK_PROGRAM));

// The settings file's age set to 1970, so that Exit's writing shows even
// when it writes the same bytes back.
void markUnwritten(const QString& ini) {
    std::filesystem::last_write_time(ini.toStdString(), std::filesystem::file_time_type::min() +
                                                            std::chrono::hours(24 * 365 * 100));
}

bool written(const QString& ini) {
    return QFileInfo(ini).lastModified().date().year() > 2000;
}

// The values of a settings file, unquoted.
QStringList values(const QByteArray& file) {
    QStringList found;
    for (const QString& line :
         QString::fromLocal8Bit(file).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        found.append(line.mid(1, line.size() - 2));
    return found;
}

// A player's pause: the program finishes what the last input started.
void settle(int ms = 1500) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

// Presses Exit, which must write `ini`; only then are the shares let answer
// again, and the program must end cleanly (a thread of it may still wait on a
// stopped share until then).
void exitAndSave(RunningProgram& program, const QString& ini) {
    ASSERT_FALSE(program.showsAnotherWindow())
        << "a message is open: " << program.waitForMessage(1000).value_or(program.why());
    program.click(RunningProgram::ExitX, RunningProgram::ExitY);
    for (int waited = 0; !written(ini) && waited < 10000; waited += 100)
        QThread::msleep(100);
    EXPECT_TRUE(written(ini)) << "Exit did not write the settings; " << program.said();
    Share::resumeAll();
    const std::optional<int> code = program.waitForEnd(15000);
    EXPECT_EQ(code, std::optional<int>(0)) << program.why();
}

// The message must say that a directory on the share does not answer, and
// name it (the Quake directory, or the share's root above it, whichever was
// asked first).
void expectNotAnswering(RunningProgram& program, const QString& dir) {
    const std::optional<QString> message = program.waitForMessage(MessageWithin);
    ASSERT_TRUE(message) << program.why();
    EXPECT_TRUE(message->contains(dir)) << *message;
    EXPECT_TRUE(message->contains(QStringLiteral("does not answer"), Qt::CaseInsensitive))
        << *message;
}

// A Quake directory on a share: the tree's share/quake served at a mount.
struct QuakeOnShare {
    TempTree tree;
    QString served = makeQuake(tree, QStringLiteral("share/quake"));
    Share share{tree.path(QStringLiteral("share"))};
    QString quake = share.path() + QStringLiteral("/quake");
    QString ini;
    QByteArray saved;

    QuakeOnShare() {
        const QString program = tree.file(QStringLiteral("share/quake/quake"), "#!/bin/sh\n");
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        writeIni(tree, quake, QStringLiteral("quake -listen 8"));
        ini = tree.path(QStringLiteral("start/runemark.ini"));
        saved = tree.read(QStringLiteral("start/runemark.ini"));
        markUnwritten(ini);
    }
};

} // namespace

// What the tests below stand on: a message is read and closed, and the window
// answers Exit after it. A saved Quake directory that is gone is reported.
TEST(DeadShare, TheRigReadsAMessageAndExits) {
    TempTree tree;
    const QString gone = tree.path(QStringLiteral("gone/quake"));
    writeIni(tree, gone, QStringLiteral("quake -listen 8"));
    const QString ini = tree.path(QStringLiteral("start/runemark.ini"));
    const QByteArray saved = tree.read(QStringLiteral("start/runemark.ini"));
    markUnwritten(ini);

    RunningProgram program(Program, tree.path(QStringLiteral("start")));
    ASSERT_TRUE(program.waitForWindow(WindowWithin)) << program.why();
    const std::optional<QString> message = program.waitForMessage(MessageWithin);
    ASSERT_TRUE(message) << program.why();
    EXPECT_TRUE(message->contains(gone)) << *message;
    exitAndSave(program, ini);
    EXPECT_EQ(tree.read(QStringLiteral("start/runemark.ini")), saved);
}

// A mount that has nothing to do with Quake, whose server is gone: asking it
// for its details (statfs) never returns.
TEST(DeadShare, AnUnrelatedMountThatDoesNotAnswerLeavesTheWindowUsable) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, QStringLiteral("quake -listen 8"));
    const QString ini = tree.path(QStringLiteral("start/runemark.ini"));
    const QByteArray saved = tree.read(QStringLiteral("start/runemark.ini"));
    markUnwritten(ini);
    Share nas(tree.dir(QStringLiteral("nas")));
    nas.stop();

    RunningProgram program(Program, tree.path(QStringLiteral("start")));
    ASSERT_TRUE(program.waitForWindow(WindowWithin)) << program.why();
    settle();
    exitAndSave(program, ini);
    EXPECT_EQ(tree.read(QStringLiteral("start/runemark.ini")), saved);
}

namespace {

// The program started on the share and shown, with no message up.
void startAnswering(RunningProgram& program) {
    ASSERT_TRUE(program.waitForWindow(WindowWithin)) << program.why();
    settle();
    ASSERT_FALSE(program.showsAnotherWindow()) << program.said();
}

// The share's silence reported, and Exit writing the saved settings back.
void expectReportedAndKept(RunningProgram& program, QuakeOnShare& at) {
    expectNotAnswering(program, at.share.path());
    exitAndSave(program, at.ini);
    EXPECT_EQ(at.tree.read(QStringLiteral("start/runemark.ini")), at.saved);
}

} // namespace

TEST(DeadShare, AQuakeDirectoryThatDoesNotAnswerAtStartUpIsReportedAndKept) {
    QuakeOnShare at;
    at.share.stop();

    RunningProgram program(Program, at.tree.path(QStringLiteral("start")));
    ASSERT_TRUE(program.waitForWindow(WindowWithin)) << program.why();
    expectReportedAndKept(program, at);
}

TEST(DeadShare, AQuakeDirectoryThatStopsAnsweringBeforeRefreshIsReportedAndKept) {
    QuakeOnShare at;
    RunningProgram program(Program, at.tree.path(QStringLiteral("start")));
    startAnswering(program);
    // The menu opens on the share still answering (the read-me lookup); it
    // goes away while the player picks Refresh.
    program.chooseFromPatchMenu(0, [&] { at.share.stop(); });
    expectReportedAndKept(program, at);
}

TEST(DeadShare, AQuakeDirectoryThatStopsAnsweringBeforePlayIsReportedAndKept) {
    QuakeOnShare at;
    RunningProgram program(Program, at.tree.path(QStringLiteral("start")));
    startAnswering(program);
    at.share.stop();
    program.click(RunningProgram::PlayX, RunningProgram::PlayY);
    expectReportedAndKept(program, at);
}

namespace {

// A stand-in engine in the Quake directory that notes where it was started
// and with what, one line per start.
QString recordingEngine(const TempTree& tree, const QString& quakeDir) {
    const QString notes = tree.path(QStringLiteral("started.txt"));
    const QString engine = tree.file(
        quakeDir + QStringLiteral("/quake"),
        ("#!/bin/sh\nprintf '%s|%s\\n' \"$(pwd -P)\" \"$*\" >> '" + notes + "'\n").toLocal8Bit());
    QFile::setPermissions(engine, QFile::permissions(engine) | QFile::ExeOwner);
    return notes;
}

// The starts noted so far, once there are `count`.
QStringList starts(const TempTree& tree, qsizetype count) {
    QStringList lines;
    for (int waited = 0; waited < 10000; waited += 100) {
        lines = QString::fromLocal8Bit(tree.read(QStringLiteral("started.txt")))
                    .split('\n', Qt::SkipEmptyParts);
        if (lines.size() >= count)
            break;
        QThread::msleep(100);
    }
    return lines;
}

// Play twice and Refresh in between, each in the Quake directory the saved
// relative value named at start; then Exit.
void playRefreshPlay(RunningProgram& program, const TempTree& tree, const QString& quake) {
    const QString where = QFileInfo(quake).canonicalFilePath();
    ASSERT_TRUE(program.waitForWindow(WindowWithin)) << program.why();
    settle();
    ASSERT_FALSE(program.showsAnotherWindow()) << program.waitForMessage(1000).value_or("");

    program.click(RunningProgram::PlayX, RunningProgram::PlayY);
    QStringList started = starts(tree, 1);
    ASSERT_EQ(started.size(), 1) << program.waitForMessage(1000).value_or(program.said());
    EXPECT_EQ(started[0], where + "|-listen 8 -game ctf");

    program.chooseFromPatchMenu(0);
    settle();
    ASSERT_FALSE(program.showsAnotherWindow()) << program.waitForMessage(1000).value_or("");

    program.click(RunningProgram::PlayX, RunningProgram::PlayY);
    started = starts(tree, 2);
    ASSERT_EQ(started.size(), 2) << program.waitForMessage(1000).value_or(program.said());
    EXPECT_EQ(started[1], where + "|-listen 8 -game ctf");
}

// Exit keeps meaning the same directory: the saved relative value, or the
// directory it named.
void expectSameDirectorySaved(const TempTree& tree, const QString& ini, const QString& startDir,
                              const QString& relative) {
    const QStringList saved = values(tree.read(ini));
    ASSERT_EQ(saved.size(), 2) << tree.read(ini).toStdString();
    EXPECT_EQ(QFileInfo(QDir(startDir), saved[0]).canonicalFilePath(),
              QFileInfo(QDir(startDir), relative).canonicalFilePath())
        << saved[0];
    EXPECT_EQ(saved[1], QStringLiteral("quake -listen 8"));
}

} // namespace

TEST(RelativeQuakeDirectory, ASavedRelativeDirectoryKeepsItsMeaningAfterPlay) {
    TempTree tree;
    const QString quake = makeQuake(tree, QStringLiteral("start/quake"));
    recordingEngine(tree, QStringLiteral("start/quake"));
    writeIni(tree, QStringLiteral("quake"), QStringLiteral("quake -listen 8"));
    const QString ini = tree.path(QStringLiteral("start/runemark.ini"));
    markUnwritten(ini);

    RunningProgram program(Program, tree.path(QStringLiteral("start")));
    playRefreshPlay(program, tree, quake);
    exitAndSave(program, ini);
    expectSameDirectorySaved(tree, QStringLiteral("start/runemark.ini"), tree.path("start"),
                             QStringLiteral("quake"));
}

TEST(RelativeQuakeDirectory, TheDotInASettingsFileInTheQuakeDirectoryKeepsItsMeaningAfterPlay) {
    TempTree tree;
    const QString quake = makeQuake(tree, QStringLiteral("quake"));
    recordingEngine(tree, QStringLiteral("quake"));
    writeIni(tree, QStringLiteral("."), QStringLiteral("quake -listen 8"), QStringLiteral("quake"));
    const QString ini = tree.path(QStringLiteral("quake/runemark.ini"));
    markUnwritten(ini);

    RunningProgram program(Program, quake);
    playRefreshPlay(program, tree, quake);
    exitAndSave(program, ini);
    expectSameDirectorySaved(tree, QStringLiteral("quake/runemark.ini"), quake,
                             QStringLiteral("."));
}
