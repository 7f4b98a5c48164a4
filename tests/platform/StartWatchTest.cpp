// Real child processes that fail at once in each way, one that keeps
// running, and what the watch on them reports.

#include "platform/Error.h"
#include "platform/Process.h"
#include "support/PidFile.h"
#include "support/TempTree.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

using namespace std::chrono_literals;
using testing_support::pidWrittenTo;
using testing_support::TempTree;

namespace {

QString script(const TempTree& tree, const QString& relative, const QString& body) {
    QString path = tree.file(relative, ("#!/bin/sh\n" + body).toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

// Starts `words` in `dir`, watched for `within`, and waits (running the
// event loop) until `until` says so; returns the report, if any.
struct Watched {
    std::optional<platform::ProgramEnd> end;
    void start(const QStringList& words, const QString& dir, const QString& log,
               std::chrono::milliseconds within = 3000ms) {
        platform::StartWatch watch;
        watch.log = log;
        watch.within = within;
        watch.failed = [this](const platform::ProgramEnd& e) { end = e; };
        platform::startProgram(words, platform::MaximizedFocus, dir, {}, watch);
    }
    bool reported(int ms = 20000) {
        return QTest::qWaitFor([this] { return end.has_value(); }, ms);
    }
};

// The process's state letter from /proc ('Z' for a zombie); empty once gone.
QByteArray stateOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1);
}

} // namespace

TEST(StartWatch, AFailingExitIsReportedWithTheProgramsLastLinesCapped) {
    TempTree tree;
    const QString game = script(tree, "Quake/game",
                                "i=1; while [ $i -le 50 ]; do echo \"line $i\"; i=$((i+1)); done\n"
                                "echo 'no data here' >&2\nexit 3\n");
    const QString log = tree.path("cache/runemark/game.log");
    Watched w;
    w.start({game}, tree.path("Quake"), log);
    ASSERT_TRUE(w.reported());
    EXPECT_EQ(w.end->program, game);
    EXPECT_FALSE(w.end->signalled);
    EXPECT_EQ(w.end->code, 3);
    EXPECT_EQ(w.end->log, log);
    const QStringList lines = w.end->lastLines.split('\n');
    ASSERT_EQ(lines.size(), 30); // capped
    EXPECT_EQ(lines.front(), "line 22");
    EXPECT_EQ(lines.back(), "no data here"); // standard error too, in order

    const platform::Error error = w.end->failure("The game", "A note.");
    EXPECT_EQ(error.message(), "The game " + game +
                                   ": it ended at once, with exit status 3.\n"
                                   "A note.");
    EXPECT_TRUE(error.detail().startsWith("Its last lines (all of its output is in " + log +
                                          "):\n\nline 22\n"));
    EXPECT_TRUE(error.detail().endsWith("line 50\nno data here"));
}

TEST(StartWatch, ASignalIsNamedAndSilenceIsSaid) {
    TempTree tree;
    const QString game = script(tree, "game", "kill -SEGV $$\n");
    Watched w;
    w.start({game}, tree.path(), tree.path("game.log"));
    ASSERT_TRUE(w.reported());
    EXPECT_TRUE(w.end->signalled);
    EXPECT_EQ(w.end->code, SIGSEGV);
    const platform::Error error = w.end->failure("The game");
    EXPECT_EQ(error.message(),
              "The game " + game + ": it ended at once, killed by signal 11 (Segmentation fault).");
    EXPECT_EQ(error.detail(), "It wrote nothing to " + tree.path("game.log") + ".");
}

// Debian's QuakeSpasm, run where there is no id1/pak0.pak: it says so and
// ends at once, as it does on a desktop.
TEST(StartWatch, ARealEngineWithoutItsDataIsReportedInItsOwnWords) {
    const QString engine = "/usr/games/quakespasm";
    if (!QFileInfo(engine).isExecutable())
        GTEST_SKIP() << "quakespasm is not installed";
    TempTree tree;
    tree.file("Quake/Id1/PAK0.PAK", "PACK"); // Steam's spelling: not found on Linux
    Watched w;
    w.start({engine}, tree.path("Quake"), tree.path("game.log"));
    ASSERT_TRUE(w.reported());
    EXPECT_FALSE(w.end->signalled);
    EXPECT_NE(w.end->code, 0);
    EXPECT_TRUE(w.end->lastLines.contains("couldn't load gfx.wad"))
        << w.end->lastLines.toStdString();
}

TEST(StartWatch, SuccessAndLateFailureAreNotReportedAndNoZombieStays) {
    TempTree tree;
    Watched quick;
    quick.start({script(tree, "ok", "echo fine\n")}, tree.path(), tree.path("ok.log"));
    // Fails, but only after the watch: it had started well.
    Watched late;
    const QString pidFile = tree.path("late.pid");
    late.start({script(tree, "late", "echo $$ > '" + pidFile + "'\nsleep 1\nexit 1\n")},
               tree.path(), tree.path("late.log"), 200ms);
    const qint64 pid = pidWrittenTo(pidFile);
    ASSERT_GT(pid, 0);
    // Reaped once it ends, while the launcher runs on.
    EXPECT_TRUE(QTest::qWaitFor([pid] { return stateOf(pid).isEmpty(); }, 20000))
        << "state " << stateOf(pid).constData();
    QTest::qWait(300);
    EXPECT_FALSE(quick.end.has_value());
    EXPECT_FALSE(late.end.has_value());
}

TEST(StartWatch, OutputGoesToTheLogReplacedAtEachStartNeverToAPipe) {
    TempTree tree;
    const QString log = tree.path("cache/game.log");
    const QString out = tree.path("fds.txt");
    // The shell's own descriptors, read while its output is not redirected.
    const QString probe =
        script(tree, "probe",
               "echo first-run\na=$(readlink /proc/$$/fd/0)\nb=$(readlink /proc/$$/fd/1)\n"
               "c=$(readlink /proc/$$/fd/2)\nprintf '%s\\n' \"$a\" \"$b\" \"$c\" > '" +
                   out + ".tmp'\nmv '" + out + ".tmp' '" + out + "'\n");
    Watched w;
    w.start({probe}, tree.path(), log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 20000));
    EXPECT_EQ(QString::fromUtf8(tree.read("fds.txt")), "/dev/null\n" + log + "\n" + log + "\n");

    // The next start replaces it; the log of a program still writing to the
    // old one is its own.
    Watched again;
    again.start({script(tree, "second", "echo second-run\n")}, tree.path(), log);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return tree.read("cache/game.log") == "second-run\n"; }, 20000))
        << tree.read("cache/game.log").constData();
}

TEST(StartWatch, AWorkingDirectoryThatCannotBeEnteredIsTheError) {
    TempTree tree;
    const QString game = script(tree, "game", "exit 0\n");
    try {
        platform::startProgram({game}, platform::MaximizedFocus, tree.path("gone"));
        FAIL() << "expected an error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.message(), "Cannot change to the directory " + tree.path("gone") +
                                       ": No such file or directory");
    }
    // A file that is no program the system can run (no #! line, not ELF)
    // goes to /bin/sh, as execvp() hands it; the shell's refusal is the
    // failure reported.
    const QString notRunnable = tree.file("data.bin", QByteArray("\x7f\x01\x02garbage", 10));
    QFile::setPermissions(notRunnable, QFile::permissions(notRunnable) | QFile::ExeOwner);
    Watched w;
    w.start({notRunnable}, tree.path(), tree.path("cache/game.log"));
    ASSERT_TRUE(w.reported());
    EXPECT_NE(w.end->code, 0);
}

TEST(LastLines, TheTailOfALargeFileWithoutItsCutLineOrControlCharacters) {
    TempTree tree;
    QByteArray big;
    for (int i = 0; i < 100000; ++i)
        big += "some output " + QByteArray::number(i) + "\n";
    big += "\x1b[31mred\x1b[0m\rprogress 10%\rprogress 100%\n";
    const QString path = tree.file("big.log", big);
    const QString tail = platform::lastLinesOf(path, 4, 200);
    EXPECT_EQ(tail, "some output 99999\n[31mred[0m\nprogress 10%\nprogress 100%");
    // Fewer bytes than a line: nothing whole is left.
    EXPECT_EQ(platform::lastLinesOf(path, 30, 5), "");
    EXPECT_EQ(platform::lastLinesOf(tree.path("none.log")), "");
}
