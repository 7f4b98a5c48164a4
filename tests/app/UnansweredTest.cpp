// Storage that stops answering, met by the handlers on a real FUSE share
// (tests/support/Share.h): every call on it fails within the deadline with
// an error naming the directory, the window stays in a state a normal path
// also produces, and Exit keeps the saved Quake directory.

#include "catalogue/Scan.h"
#include "installations/QuakeInstallations.h"
#include "platform/Deadline.h"
#include "platform/Drives.h"
#include "support/Configured.h"
#include "support/Share.h"
#include "support/StoreTree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// A share run from a thread of its own, so that it can be let answer again
// while the test's thread waits on it: a program that waits without bound
// then fails its test instead of hanging it.
class ControlledShare {
  public:
    explicit ControlledShare(const QString& source, Share::Latency latency = {}) {
        thread_.start();
        context_.moveToThread(&thread_);
        run([&] { share_ = std::make_unique<Share>(source, latency); });
        path_ = share_->path();
    }
    ~ControlledShare() {
        run([&] { share_->resume(); });
        // Calls abandoned on it return once it answers again.
        platform::waitForStorageCalls(10s);
        run([&] {
            share_.reset();
            context_.moveToThread(QCoreApplication::instance()->thread());
        });
        thread_.quit();
        thread_.wait();
    }
    ControlledShare(const ControlledShare&) = delete;
    ControlledShare& operator=(const ControlledShare&) = delete;

    const QString& path() const { return path_; }
    // Stops it, with the storage deadline shortened to `deadline` to keep the
    // test quick; lets it answer again after `rescue` unless
    // cameBackOnItsOwn() was asked first.
    void stop(std::chrono::milliseconds rescue, std::chrono::milliseconds deadline = 400ms) {
        platform::setStorageDeadline(deadline);
        rescued_ = false;
        armed_ = true;
        run([&] {
            share_->stop();
            QTimer::singleShot(rescue, &context_, [this] {
                if (armed_.exchange(false)) {
                    rescued_ = true;
                    share_->resume();
                }
            });
        });
    }
    // Whether the test's thread came back while the share was stopped,
    // without the rescue; it answers again from now on, with the usual
    // deadline (a loaded machine's share may be slow, never dead).
    bool cameBackOnItsOwn() {
        armed_ = false;
        run([&] { share_->resume(); });
        platform::setStorageDeadline(5s);
        return !rescued_;
    }
    int blockedCalls() {
        int blocked = 0;
        run([&] { blocked = share_->blockedCalls(); });
        return blocked;
    }

  private:
    template <typename F> void run(F f) {
        QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection);
    }
    QThread thread_;
    QObject context_;
    std::unique_ptr<Share> share_;
    QString path_;
    std::atomic<bool> armed_{false};
    std::atomic<bool> rescued_{false};
};

class Unanswered : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString why = Share::unavailableBecause();
        if (!why.isEmpty())
            GTEST_SKIP() << why.toStdString();
    }
    void TearDown() override { platform::setStorageDeadline(5s); }
};

void expectNotAnswering(const QStringList& reported, const QString& dir) {
    ASSERT_EQ(reported.size(), 1) << reported.join("\n").toStdString();
    EXPECT_TRUE(reported[0].contains(dir)) << reported[0].toStdString();
    EXPECT_TRUE(reported[0].contains("does not answer")) << reported[0].toStdString();
}

} // namespace

TEST_F(Unanswered, AMountThatStoppedAnsweringStillLetsTheDrivesBeListed) {
    TempTree tree;
    tree.file("src/quake/id1/pak0.pak");
    ControlledShare share(tree.path("src"));
    share.stop(2s);
    const QStringList drives = platform::drives();
    EXPECT_TRUE(share.cameBackOnItsOwn());
    EXPECT_TRUE(drives.contains("/"));
}

TEST_F(Unanswered, AQuakeDirectoryThatStoppedAnsweringAtStartUpIsReportedAndKeptByExit) {
    TempTree tree;
    makeQuake(tree, "src/quake");
    ControlledShare share(tree.path("src"));
    const QString quake = share.path() + "/quake";
    writeIni(tree, quake, "quake -listen 8");
    Harness h(tree.dir("start"));
    share.stop(3s);
    h.load();
    EXPECT_TRUE(share.cameBackOnItsOwn());
    expectNotAnswering(h.reported, quake);
    // As with a saved directory that is gone: nothing listed, the command
    // line kept, the window as on a first run.
    EXPECT_EQ(h.form->List2->ListCount(), 0);
    EXPECT_FALSE(h.form->Command1->isEnabled());
    EXPECT_EQ(h.form->Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(h.form->Dir1->Path(), tree.path("start"));
    h.form->Command2->click();
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_EQ(tree.read("start/runemark.ini"), ini(quake, "quake -listen 8"));
}

TEST_F(Unanswered, RefreshAndPlayOnAShareThatStoppedFailWithinTheDeadline) {
    TempTree tree;
    makeQuake(tree, "src/quake");
    const QString program = tree.file("src/quake/quake", "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    ControlledShare share(tree.path("src"));
    const QString quake = share.path() + "/quake";
    writeIni(tree, quake, "quake -listen 8");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
    ASSERT_EQ(entries(h.form->List2), QStringList({"Ctf"}));

    // Play: the launch's checks wait on the share; nothing starts.
    share.stop(3s);
    h.form->Command1->click();
    EXPECT_TRUE(share.cameBackOnItsOwn());
    expectNotAnswering(h.reported, quake);
    EXPECT_TRUE(h.started.empty());
    EXPECT_EQ(entries(h.form->List2), QStringList({"Ctf"}));

    // Refresh: reported, the window left as a saved directory that cannot be
    // opened leaves it, the command line kept.
    h.reported.clear();
    share.stop(3s);
    emit h.form->menuClick(3); // the patch menu's Refresh
    EXPECT_TRUE(share.cameBackOnItsOwn());
    expectNotAnswering(h.reported, quake);
    EXPECT_EQ(h.form->List2->ListCount(), 0);
    EXPECT_EQ(h.form->Combo1->Text(), "quake -listen 8");
    EXPECT_EQ(h.form->Combo1->ListCount(), 5);

    // The read-me lookup of the patch menu.
    h.reported.clear();
    share.stop(3s);
    h.form->List2->MouseDown(1, 0, 10, 10);
    EXPECT_TRUE(share.cameBackOnItsOwn());
    expectNotAnswering(h.reported, quake);

    h.form->Command2->click();
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_EQ(tree.read("start/runemark.ini"), ini(quake, "quake -listen 8"));
}

TEST_F(Unanswered, ThePanelSaysTheShareStoppedWhileTheWindowGoesOn) {
    TempTree tree;
    makeQuake(tree, "src/quake");
    ControlledShare share(tree.path("src"));
    const QString quake = share.path() + "/quake";
    writeIni(tree, quake, "quake -listen 8");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(entries(h.form->List2), QStringList({"Ctf"}));
    share.stop(10s);
    // The selection is read once it rests; the window's thread turns on
    // while the reading waits on the share.
    const QLabel* note = h.form->Panel.Label15;
    EXPECT_TRUE(QTest::qWaitFor([note] { return note->text().contains("does not answer"); }, 5000));
    EXPECT_TRUE(share.cameBackOnItsOwn());
    EXPECT_EQ(h.form->Panel.Label12->fullText(), "Ctf");
    EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n").toStdString();
}

TEST_F(Unanswered, TheScanKeepsSixteenListingsInFlight) {
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.file(QStringLiteral("src/quake/p%1/progs.dat").arg(i, 2, 10, QLatin1Char('0')));
    ControlledShare share(tree.path("src"));
    const QString quake = share.path() + "/quake";
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(h.form->List2->ListCount(), 40);

    // The directory list holds the Quake directory; only its sub-directories
    // are read now, and none answers until sixteen wait at once (within a
    // generous ceiling), or a while more showed whether more would.
    share.stop(60s, 30s);
    std::atomic<int> mostInFlight{0};
    std::atomic<bool> cameBack{false};
    QThread* watch = QThread::create([&] {
        const auto sample = [&] {
            mostInFlight = std::max(mostInFlight.load(), share.blockedCalls());
            QThread::msleep(20);
        };
        QDeadlineTimer ceiling(20s);
        while (mostInFlight < 16 && !ceiling.hasExpired())
            sample();
        for (int i = 0; i < 10; ++i)
            sample();
        cameBack = share.cameBackOnItsOwn();
    });
    watch->start();
    h.form->List1->Clear();
    h.form->List2->Clear();
    EXPECT_NO_THROW(catalogue::scanPatches(*h.ctx, state::Occasion::Refresh));
    watch->wait();
    delete watch;
    EXPECT_TRUE(cameBack);
    EXPECT_EQ(mostInFlight.load(), 16);
    EXPECT_EQ(h.form->List2->ListCount(), 40);
}

// A first run's search for Quake passes over a place that does not answer
// (a second Steam library on a sleeping disk) and goes on to the next.
TEST_F(Unanswered, AQuakeSearchPlaceThatStoppedAnsweringIsPassedOver) {
    TempTree tree;
    const QString home = tree.dir("home");
    tree.dir("src/SteamLibrary");
    ControlledShare share(tree.path("src"));
    const QString library = share.path() + "/SteamLibrary";
    writeLibraryFolders(tree, "home/.local/share/Steam", {steamLibraryEntry(1, library, {"2310"})});
    const QString fallback = layStoreQuake(tree, "home/quake", "id1/pak0.pak");
    share.stop(3s);
    const QString found =
        installations::findQuakeInstallation(installations::QuakePlaces{home, {}}).directory;
    EXPECT_TRUE(share.cameBackOnItsOwn());
    EXPECT_EQ(found, fallback + "/rerelease");
}
