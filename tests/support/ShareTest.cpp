// The test rig's share itself: what the tests of slow and dead storage stand on.

#include "support/Share.h"
#include "support/TempTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

#include <sys/statvfs.h>

using testing_support::Share;
using testing_support::TempTree;

namespace {

QStringList listing(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(Share, ShowsTheDirectoryItServesAndTakesWrites) {
    TempTree tree;
    tree.file("src/quake/id1/pak0.pak", "PACK");
    tree.file("src/quake/ctf/progs.dat", "progs");
    Share share(tree.path("src"));
    EXPECT_EQ(listing(share.path() + "/quake"), QStringList({"ctf", "id1"}));
    QFile progs(share.path() + "/quake/ctf/progs.dat");
    ASSERT_TRUE(progs.open(QIODevice::ReadOnly));
    EXPECT_EQ(progs.readAll(), "progs");

    QFile written(share.path() + "/runemark.ini");
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write("\"quake\"\r\n");
    written.close();
    EXPECT_EQ(tree.read("src/runemark.ini"), "\"quake\"\r\n");
    EXPECT_TRUE(QDir(share.path()).rename("runemark.ini", "saved.ini"));
    EXPECT_EQ(tree.read("src/saved.ini"), "\"quake\"\r\n");
}

TEST(Share, EachListingIsAnsweredLateAndListingsOverlap) {
    TempTree tree;
    for (int i = 0; i < 4; ++i)
        tree.file(QStringLiteral("src/p%1/progs.dat").arg(i));
    Share share(tree.path("src"), {.listingMs = 150});
    QElapsedTimer one;
    one.start();
    EXPECT_EQ(listing(share.path() + "/p0"), QStringList({"progs.dat"}));
    // Never sooner than the latency, however loaded the machine.
    EXPECT_GE(one.elapsed(), 150);

    // Taken back, it holds nothing: a listing that would wait a minute
    // comes back well within it.
    share.setLatency({.listingMs = 60000});
    share.setLatency({.listingMs = 0});
    auto quick = std::async(std::launch::async, [&share] { return listing(share.path() + "/p1"); });
    EXPECT_EQ(quick.wait_for(std::chrono::seconds(20)), std::future_status::ready);

    // Four listings asked at once are waited for at once: the server answers
    // on many threads, as a real one does.
    share.stop();
    std::vector<std::future<QStringList>> readings;
    readings.reserve(4);
    for (int i = 0; i < 4; ++i)
        readings.push_back(std::async(std::launch::async, [&share, i] {
            return listing(share.path() + QStringLiteral("/p%1").arg(i));
        }));
    EXPECT_TRUE(share.waitForBlockedCalls(4, 10000));
    share.resume();
    for (auto& reading : readings)
        EXPECT_EQ(reading.get(), QStringList({"progs.dat"}));
}

TEST(Share, AStoppedShareHoldsEveryCallUntilItAnswersAgain) {
    TempTree tree;
    tree.file("src/quake/id1/pak0.pak", "PACK");
    Share share(tree.path("src"));
    share.stop();
    // statfs, as a program asking every mount for its details does.
    std::atomic<bool> answered = false;
    auto details = std::async(std::launch::async, [&] {
        struct statvfs volume {};
        const int result = ::statvfs(QFile::encodeName(share.path()).constData(), &volume);
        answered = true;
        return result;
    });
    auto lookup = std::async(std::launch::async,
                             [&] { return QFileInfo(share.path() + "/quake/id1").isDir(); });
    ASSERT_TRUE(share.waitForBlockedCalls(2, 10000));
    EXPECT_FALSE(answered);
    share.resume();
    EXPECT_EQ(details.get(), 0);
    EXPECT_TRUE(lookup.get());
}

TEST(Share, EndingAStoppedShareLeavesNoProcessStuck) {
    TempTree tree;
    tree.file("src/quake/id1/pak0.pak", "PACK");
    auto share = std::make_unique<Share>(tree.path("src"), Share::Latency{});
    const QString where = share->path();
    share->stop();
    // Another process waits in the kernel on the share; another still
    // stands inside it, which keeps the mount busy.
    QProcess waiting;
    waiting.start(QStringLiteral("ls"), {where + "/quake"});
    ASSERT_TRUE(share->waitForBlockedCalls(1, 10000));
    QProcess inside;
    inside.setWorkingDirectory(tree.path("src"));
    inside.start(QStringLiteral("sh"), {QStringLiteral("-c"), "cd '" + where + "' && sleep 1"});
    ASSERT_TRUE(inside.waitForStarted());

    share.reset();
    EXPECT_TRUE(waiting.waitForFinished(10000));
    EXPECT_TRUE(inside.waitForFinished(10000));
    EXPECT_FALSE(QFileInfo(where).exists());
}

TEST(Share, ResumeAllLetsAProgramBeKilled) {
    TempTree tree;
    tree.file("src/quake/id1/pak0.pak", "PACK");
    Share share(tree.path("src"));
    share.stop();
    QProcess waiting;
    waiting.start(QStringLiteral("ls"), {share.path() + "/quake"});
    ASSERT_TRUE(share.waitForBlockedCalls(1, 10000));
    Share::resumeAll();
    waiting.kill();
    EXPECT_TRUE(waiting.waitForFinished(10000));
    EXPECT_EQ(share.blockedCalls(), 0);
}
