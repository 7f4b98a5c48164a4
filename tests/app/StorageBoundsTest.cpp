// The bounds of the calls on storage: a fixed set of workers however often a
// dead share is retried, no hang when none can be made, and storage that
// fails or stops in part (a listing broken half way, a link into a dead
// share, the settings file on one) costs only what it concerns. On real
// FUSE shares (tests/support/Share.h) in a private mount namespace.

#include "app/StartUp.h"
#include "catalogue/Scan.h"
#include "platform/Deadline.h"
#include "platform/Error.h"
#include "support/Configured.h"
#include "support/QuakeTree.h"
#include "support/Share.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

int threadsOfThisProcess() {
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// `count` patches p00, p01... in `at`; their names.
QStringList patches(TempTree& tree, const QString& at, int count) {
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names.append(QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')));
        tree.file(at + "/" + names.last() + "/progs.dat");
    }
    return names;
}

void refreshAndExpect(Harness& h, const QStringList& listed) {
    emit h.form->menuClick(3); // the patch menu's Refresh
    EXPECT_EQ(entries(h.form->List2), listed) << h.reported.join("\n").toStdString();
}

class StorageBounds : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const QString why = Share::unavailableBecause(); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        platform::setStorageDeadline(600ms);
    }
    void TearDown() override {
        Share::resumeAll();
        platform::waitForStorageCalls(10s);
        platform::setStorageDeadline(5s);
    }
};

} // namespace

TEST(StorageWorkers, NoThreadToBeMadeIsAnErrorAndTheWindowAnswers) {
    TempTree tree;
    writeIni(tree, makeQuake(tree), "quake");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(entries(h.form->List2), QStringList({"Ctf"}));

    platform::failWorkerCreationForTesting(true);
    for (int i = 0; i < 2000 && platform::storageWorkers() > 0; ++i)
        QThread::msleep(1);
    h.form->List1->Clear();
    h.form->List2->Clear();
    // The parallel reading cannot begin and no listing can be read.
    EXPECT_THROW(catalogue::scanPatches(*h.ctx, state::Occasion::Refresh), platform::Error);
    refreshAndExpect(h, {});
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].contains("No thread can be made")) << h.reported[0].toStdString();

    platform::failWorkerCreationForTesting(false);
    refreshAndExpect(h, {"Ctf", "Hipnotic", "Rogue"});
}

TEST_F(StorageBounds, TwentyRescansOfADeadShareKeepTheThreadsWithinTheBound) {
    TempTree tree;
    const QStringList all = patches(tree, "src/quake", 40);
    Share share(tree.path("src"));
    writeIni(tree, share.path() + "/quake", "quake");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(h.form->List2->ListCount(), 40);
    const int others = threadsOfThisProcess() - platform::storageWorkers();

    share.stop();
    for (int i = 0; i < 20; ++i) {
        h.form->List1->Clear();
        h.form->List2->Clear();
        EXPECT_THROW(catalogue::scanPatches(*h.ctx, state::Occasion::Refresh), platform::Error);
    }
    EXPECT_LE(platform::storageWorkers(), platform::StorageWorkerBound);
    EXPECT_LE(threadsOfThisProcess(), others + platform::StorageWorkerBound);

    // Once its stuck calls return, the share is read again.
    share.resume();
    ASSERT_TRUE(platform::waitForStorageCalls(10s));
    refreshAndExpect(h, all);
    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
}

TEST_F(StorageBounds, ALinkIntoAShareThatStoppedHidesNoOtherPatch) {
    TempTree tree;
    patches(tree, "quake", 3);
    const QString quake = tree.path("quake");
    tree.file("src/far/progs.dat");
    Share share(tree.path("src"));
    ASSERT_TRUE(QFile::link(share.path() + "/far", quake + "/P03"));
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    share.stop();
    h.load();
    // The link is passed over; the rest is listed as usual.
    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    EXPECT_EQ(entries(h.form->List2), QStringList({"P00", "P01", "P02"}));

    share.resume();
    ASSERT_TRUE(platform::waitForStorageCalls(10s));
    refreshAndExpect(h, {"P00", "P01", "P02", "P03"});
}

TEST_F(StorageBounds, AListingThatFailsPartWayIsAnErrorNotAShortList) {
    TempTree tree;
    patches(tree, "src/quake", 6);
    Share share(tree.path("src"));
    writeIni(tree, share.path() + "/quake", "quake");
    share.breakListings("quake", 3);
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].contains("Input/output error")) << h.reported[0].toStdString();
    EXPECT_EQ(h.form->List2->ListCount(), 0);
}

TEST_F(StorageBounds, APortableSettingsFileOnAShareThatStoppedIsReportedAndKept) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake -listen 8", "src/start");
    Share share(tree.path("src"));
    const QString file = share.path() + "/start/runemark.ini";
    Harness h(share.path() + "/start");
    ASSERT_EQ(h.ctx->settingsFile, file);

    share.stop();
    h.load();
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_TRUE(h.reported[0].contains("settings file " + file)) << h.reported[0].toStdString();
    EXPECT_FALSE(h.form->Command1->isEnabled()); // as on a first run

    // What the file holds is unknown: Exit replaces it with nothing, even
    // once the share answers again, until a Refresh has read it.
    h.form->Command2->click(); // Exit
    share.resume();
    ASSERT_TRUE(platform::waitForStorageCalls(10s));
    h.form->Command2->click();
    ASSERT_EQ(h.reported.size(), 3);
    EXPECT_TRUE(h.reported[2].contains("settings were not saved")) << h.reported[2].toStdString();
    EXPECT_EQ(tree.read("src/start/runemark.ini"), ini(quake, "quake -listen 8"));

    app::Refresh(*h.ctx);
    share.stop();
    h.form->Command2->click(); // a write that does not answer
    ASSERT_EQ(h.reported.size(), 4);
    EXPECT_TRUE(h.reported[3].contains("settings could not be saved"))
        << h.reported[3].toStdString();
    EXPECT_EQ(h.endRequests, 0);
    share.resume();
    ASSERT_TRUE(platform::waitForStorageCalls(10s));
    EXPECT_EQ(tree.read("src/start/runemark.ini"), ini(quake, "quake -listen 8"));
}
