// Exit's write of runemark.ini, killed at random moments: the file must always
// hold either the old or the new settings, whole.

#include "support/TempTree.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using testing_support::TempTree;

TEST(CrashSafety, KillingExitMidWriteLeavesOldOrNewSettingsWhole) {
    TempTree tree;
    const QByteArray oldContent = "\"/old/quake\"\r\n\"quake -listen # +map #\"\r\n";
    const QByteArray newContent =
        "\"/new/" + QByteArray(3000, 'd') + "\"\r\n\"winquake -dedicated 8 +map e1m1\"\r\n";
    QRandomGenerator random(1234);
    int sawOld = 0, sawNew = 0;
    // Thirty rounds at least, and on until each outcome was seen: a kill
    // that always lands in one of them would prove little.
    for (int round = 0; round < 30 || ((sawOld == 0 || sawNew == 0) && round < 300); ++round) {
        QProcess writer;
        writer.start(EXIT_WRITER, {tree.path()});
        ASSERT_TRUE(writer.waitForReadyRead(20000)) << "writer did not start";
        QThread::usleep(random.bounded(20000));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(20000));
        const QByteArray content = tree.read("runemark.ini");
        ASSERT_TRUE(content == oldContent || content == newContent)
            << "round " << round << ": " << content.size() << " bytes";
        (content == oldContent ? sawOld : sawNew)++;
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}
