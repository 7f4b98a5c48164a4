#include "platform/Process.h"
#include "platform/Error.h"
#include "platform/Spawn.h"
#include "platform/System.h"
#include "support/TempTree.h"
#include "support/Unprivileged.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using platform::splitWords;
using testing_support::TempTree;

TEST(SplitWords, SplitsAtBlanksKeepingQuotedRunsWhole) {
    EXPECT_EQ(splitWords("quake -listen 8  +map\te1m1"),
              QStringList({"quake", "-listen", "8", "+map", "e1m1"}));
    EXPECT_EQ(splitWords("\"my quake\" -game \"\""), QStringList({"my quake", "-game", ""}));
    EXPECT_EQ(splitWords("a\"b c\"d"), QStringList({"ab cd"}));
    EXPECT_EQ(splitWords("   "), QStringList());
}

TEST(ResolvedWords, SpellProgramAndArgumentsAsOnDisk) {
    TempTree tree;
    const QString program = tree.file("Quake/quake", "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    tree.dir("Quake/ctf");
    const QString before = QDir::currentPath();
    platform::changeDirectory(tree.path("QUAKE"));
    const QStringList words =
        platform::resolvedWords({tree.path("QUAKE") + "/quake", "-game", "CTF", "+map", "E1M1"});
    QDir::setCurrent(before);
    EXPECT_EQ(words, QStringList({program, "-game", "ctf", "+map", "E1M1"}));
}

TEST(ResolvedWords, AProgramThatCannotStartIsAnErrorNamingIt) {
    TempTree tree;
    try {
        platform::resolvedWords({tree.path("nothing-here")});
        FAIL() << "expected an error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.message(),
                  "Cannot start " + tree.path("nothing-here") + ": No such program.");
        EXPECT_EQ(error.detail(), "Looked for:\n  " + tree.path("nothing-here"));
    }
    EXPECT_THROW(platform::resolvedWords({tree.path()}), platform::Error); // a directory
    EXPECT_THROW(platform::resolvedWords({"no-such-program-on-path-xyz"}), platform::Error);
    EXPECT_THROW(platform::resolvedWords({}), platform::Error);
    EXPECT_THROW(platform::resolvedWords({""}), platform::Error);
}

// Root may run a file that any user may run, but not one nobody may. As
// root, it runs here and again as "nobody".
TEST(ResolvedWords, AFileWithNoRunPermissionCannotStartForRootOrNobody) {
    TempTree tree;
    EXPECT_THROW(platform::resolvedWords({tree.file("quake", "data")}), platform::Error);
    RUNEMARK_PERMISSION_TEST();
}

namespace {
QByteArray waitForFile(const QString& path) {
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray content = file.readAll();
            if (content.endsWith("END\n"))
                return content;
        }
        QThread::msleep(20);
    }
    return {};
}
} // namespace

TEST(StartProgram, RunsTheRealProgramDetachedWithPlainWordsAndNoShell) {
    TempTree tree;
    const QString out = tree.path("out.txt");
    const QString script = tree.file(
        // No "#!" line: run by /bin/sh, as a shell would.
        "Game/Run.sh", QStringLiteral("for a in \"$@\"; do printf '[%s]\\n' \"$a\"; "
                                      "done > '%1.tmp'\npwd >> '%1.tmp'\n"
                                      "ps -o sid= -p $$ | tr -d ' ' >> '%1.tmp'\n"
                                      "echo END >> '%1.tmp'\nmv '%1.tmp' '%1'\n")
                           .arg(out)
                           .toUtf8());
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    const QString before = QDir::currentPath();
    // The program's current directory is the one given; the launcher's own
    // stays where it was.
    platform::startProgram(
        {tree.path("GAME/run.sh"), "; touch pwned", "$(touch pwned)", "a b|c>d", "`id`"},
        platform::MaximizedFocus, tree.path("Game"));
    EXPECT_EQ(QDir::currentPath(), before);
    const QList<QByteArray> lines = waitForFile(out).split('\n');
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[0], "[; touch pwned]");
    EXPECT_EQ(lines[1], "[$(touch pwned)]");
    EXPECT_EQ(lines[2], "[a b|c>d]");
    EXPECT_EQ(lines[3], "[`id`]");
    EXPECT_EQ(QString::fromLocal8Bit(lines[4]), tree.path("Game"));
    // In a session of its own, not the test's.
    EXPECT_NE(lines[5].toLong(), static_cast<long>(getsid(0)));
    EXPECT_FALSE(QFile::exists(tree.path("Game/pwned")));
    EXPECT_FALSE(QFile::exists(tree.path("pwned")));
}

TEST(StartProgram, ASignalPendingBeforeTheExecMeetsTheDefaultActionNotTheLaunchersHandler) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The launcher's handler, and a signal waiting while it is blocked.
        std::signal(SIGUSR1, [](int) { ::_exit(3); });
        sigset_t usr1;
        sigemptyset(&usr1);
        sigaddset(&usr1, SIGUSR1);
        ::sigprocmask(SIG_BLOCK, &usr1, nullptr);
        ::raise(SIGUSR1);
        platform::resetSignalsForProgram();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGUSR1) << status;
}

TEST(ChangeDirectory, ResolvesCaseAndNamesAMissingDirectory) {
    TempTree tree;
    tree.dir("Quake");
    const QString before = QDir::currentPath();
    platform::changeDirectory(tree.path("QUAKE"));
    EXPECT_EQ(platform::currentDirectory(), tree.path("Quake"));
    try {
        platform::changeDirectory(tree.path("gone"));
        FAIL() << "expected an error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.message(), "Cannot change to the directory " + tree.path("gone") +
                                       ": No such file or directory");
    }
    EXPECT_EQ(platform::currentDirectory(), tree.path("Quake")); // unchanged
    QDir::setCurrent(before);
}
