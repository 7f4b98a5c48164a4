// What Play and Readme start, when it fails at once: real programs (Debian's
// QuakeSpasm without its data, scripts that exit or die by a signal), the
// real window and the dispatcher's one error path. Also the patch names an
// engine would take for options, and, under a real X server on a small
// screen, the message the player meets.

#include "app/Wiring.h"
#include "launch/Started.h"
#include "menu/MenuCommands.h"
#include "platform/System.h"
#include "support/Configured.h"
#include "support/PidFile.h"
#include "support/ScopedPath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

using namespace testing_support;

namespace {

const QString quakespasm = QStringLiteral("/usr/games/quakespasm");

QString executable(const TempTree& tree, const QString& relative, const QByteArray& body) {
    QString path = tree.file(relative, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

// A Quake directory as a store installs it: the base game spelled
// Id1/PAK0.PAK, a patch with its progs.dat.
void storeLayout(const TempTree& tree) {
    tree.file("quake/Id1/PAK0.PAK", "PACK");
    tree.file("quake/MyMod/progs.dat", "progs");
}

bool reportArrives(const Harness& h, int count = 1) {
    return QTest::qWaitFor([&] { return h.reported.size() >= count; }, 20000);
}

QString cacheLog(const QString& name) {
    return qEnvironmentVariable("XDG_CACHE_HOME") + "/runemark/" + name;
}

} // namespace

TEST(FailedStart, AnEngineWithoutItsDataIsReportedInItsOwnWords) {
    if (!QFileInfo(quakespasm).isExecutable())
        GTEST_SKIP() << "quakespasm is not installed";
    ScopedPath path("/usr/games:/usr/bin:/bin");
    Configured c("quakespasm", storeLayout, /*recordStarts=*/false);
    QDir(c.quake + "/id1").removeRecursively(); // only the store's spelling is left
    ASSERT_EQ(entries(c.f().List2), QStringList({"Ctf", "Mymod"}));
    c.f().List2->setListIndex(1);
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    ASSERT_TRUE(reportArrives(*c.h));
    EXPECT_EQ(c.h->reported[0], "The game " + quakespasm +
                                    ": it ended at once, with exit status 1.\nThe base game is "
                                    "here as Id1/PAK0.PAK; engines on Linux look for the "
                                    "lower-case names id1/pak0.pak: rename them to lower case.");
    const QString log = cacheLog("game.log");
    EXPECT_TRUE(c.h->details[0].startsWith("Its last lines (all of its output is in " + log))
        << c.h->details[0].toStdString();
    EXPECT_TRUE(c.h->details[0].contains("an id1 subdirectory containing pak0.pak"));
    // The engine ran in the Quake directory, given the patch.
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString all = QString::fromLocal8Bit(file.readAll());
    EXPECT_TRUE(all.contains("-game MyMod")) << all.toStdString();
    EXPECT_TRUE(all.contains("Basedir is: " + c.quake)) << all.toStdString();
}

// The note needs no engine installed: a stand-in that ends as they do
// without id1/pak0.pak.
TEST(FailedStart, TheBaseGameSpelledAsAStoreDoesIsNamedWithAnyEngine) {
    Configured c(
        "quake",
        [](const TempTree& tree) {
            storeLayout(tree);
            executable(tree, "quake/quake", "echo \"couldn't load gfx.wad\"\nexit 1\n");
        },
        /*recordStarts=*/false);
    QDir(c.quake + "/id1").removeRecursively();
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    ASSERT_TRUE(reportArrives(*c.h));
    EXPECT_EQ(c.h->reported[0], "The game " + c.quake +
                                    "/quake: it ended at once, with exit status 1.\nThe base game "
                                    "is here as Id1/PAK0.PAK; engines on Linux look for the "
                                    "lower-case names id1/pak0.pak: rename them to lower case.");
}

TEST(FailedStart, AGameKilledByASignalAndAFailingReadmeViewerAreReported) {
    TempTree bin;
    executable(bin, "bin/" + menu::textEditor(),
               "echo 'no method available for opening' >&2\nexit 3\n");
    ScopedPath path(bin.path("bin") + ":/usr/bin:/bin");
    Configured c(
        "quake",
        [](const TempTree& tree) {
            executable(tree, "quake/quake", "echo 'Host_Error: out of memory'\nkill -ABRT $$\n");
        },
        /*recordStarts=*/false);
    // Its base game spelled as engines look for it: no note.
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    ASSERT_TRUE(reportArrives(*c.h));
    EXPECT_EQ(c.h->reported[0],
              "The game " + c.quake + "/quake: it ended at once, killed by signal 6 (Aborted).");
    EXPECT_TRUE(c.h->details[0].endsWith("\n\nHost_Error: out of memory"));

    c.f().frmMenus().menu(1).setTag(c.quake + "/ctf/ctf.txt");
    emit c.f().menuClick(1);
    ASSERT_TRUE(reportArrives(*c.h, 2));
    EXPECT_EQ(c.h->reported[1], "The read-me viewer " + bin.path("bin/" + menu::textEditor()) +
                                    ": it ended at once, with exit status 3.\nIt was to show " +
                                    c.quake + "/ctf/ctf.txt.");
    EXPECT_EQ(c.h->details[1], "Its last lines (all of its output is in " + cacheLog("readme.log") +
                                   "):\n\nno method available for opening");
}

// The launcher is the game's parent only to hear of an early end: Exit
// neither waits for the game nor ends it, and a game that runs past the
// watch is never reported, whatever it does later.
TEST(FailedStart, AGameThatKeepsRunningIsLeftAloneAfterExit) {
    TempTree side;
    const QString pidFile = side.path("game.pid");
    const QString stop = side.path("stop");
    auto c = std::make_unique<Configured>(
        "quake",
        [&](const TempTree& tree) {
            executable(tree, "quake/quake",
                       ("echo $$ > '" + pidFile + "'\nwhile [ ! -e '" + stop +
                        "' ]; do echo tick; sleep 0.1; done\nexit 2\n")
                           .toUtf8());
        },
        /*recordStarts=*/false);
    QTest::mouseClick(c->f().Command1, Qt::LeftButton);
    const qint64 pid = pidWrittenTo(pidFile);
    ASSERT_GT(pid, 0);
    QTest::mouseClick(c->f().Command2, Qt::LeftButton); // Exit
    EXPECT_EQ(c->h->endRequests, 1);
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0) << "Exit ended the game";

    // Past the watch, still writing to its log, never reported.
    QTest::qWait(static_cast<int>(std::chrono::milliseconds(launch::StartWatchTime).count()) + 500);
    EXPECT_TRUE(c->h->reported.isEmpty()) << c->h->reported.join("\n").toStdString();
    c.reset(); // the window and its dispatcher gone, as after Exit
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), 0);
    const qint64 logged = QFileInfo(cacheLog("game.log")).size();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QFileInfo(cacheLog("game.log")).size() > logged; }, 20000));

    // Its later failure reaches no one, and it is reaped, not left a zombie.
    QFile(stop).open(QIODevice::WriteOnly);
    EXPECT_TRUE(QTest::qWaitFor([pid] { return ::kill(static_cast<pid_t>(pid), 0) != 0; }, 20000));
}

// Engines read "-word" as an option and "+word" as a console command
// wherever it stands: such a directory stays listed but never starts.
TEST(OptionLikeNames, AreListedButRefusedByEveryPlay) {
    Configured c("quake", [](const TempTree& tree) {
        tree.file("quake/+quit/progs.dat", "progs");
        tree.file("quake/-dedicated/progs.dat", "progs");
    });
    const QStringList listed = entries(c.f().List2);
    EXPECT_EQ(listed.size(), 3);
    const int quit = listed.indexOf("+quit");
    const int dedicated = listed.indexOf("-dedicated");
    ASSERT_GE(quit, 0);
    ASSERT_GE(dedicated, 0);
    c.f().show();

    c.f().List2->setListIndex(quit);
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    QTest::mouseDClick(c.f().List2->viewport(), Qt::LeftButton, {},
                       c.f().List2->entryRect(dedicated).center());
    emit c.f().menuClick(0);
    EXPECT_TRUE(c.h->started.empty());
    ASSERT_EQ(c.h->reported.size(), 3);
    EXPECT_EQ(c.h->reported[0],
              "Cannot start +quit: The game would read a name beginning with \"+\" as a console "
              "command, not as the patch. Rename the directory " +
                  c.quake +
                  "/+quit (to \"quit\", say), then choose Refresh from the patch "
                  "list's menu.");
    EXPECT_EQ(c.h->reported[1],
              "Cannot start -dedicated: The game would read a name beginning with \"-\" as an "
              "option, not as the patch. Rename the directory " +
                  c.quake +
                  "/-dedicated (to \"dedicated\", say), then choose Refresh from the "
                  "patch list's menu.");
    EXPECT_EQ(c.h->reported[2], c.h->reported[1]);
    EXPECT_EQ(platform::currentDirectory(), c.tree.path("start"));

    // A name with the sign inside is a patch like any other.
    c.tree.file("quake/c-t+f/progs.dat", "progs");
    emit c.f().menuClick(3); // Refresh
    c.f().List2->setListIndex(entries(c.f().List2).indexOf("C-t+f"));
    QTest::mouseClick(c.f().Command1, Qt::LeftButton);
    ASSERT_EQ(c.h->started.size(), 1u) << c.h->reported.join("\n").toStdString();
    EXPECT_EQ(c.h->started[0].last(), "c-t+f");
}

// Under a real X server: the player's own press on Play, then the message
// on a 1024x600 screen at scale 1.5, then its detail.
namespace {

struct BoxSeen {
    bool shown = false;
    bool fitted = false;
    bool fittedOpen = false;
    bool scrolls = false;
    QString text;
    QString detail;
};

// Handles the next message box once it is the active modal window: checks it
// lies within the screen with its OK button, opens its detail with a click,
// checks again, scrolls the detail, and presses Enter on OK.
void answerNextBox(BoxSeen* seen) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !QTest::qWaitForWindowActive(box, 0))
            return;
        poll->stop();
        poll->deleteLater();
        seen->shown = true;
        seen->text = box->text();
        seen->detail = box->detailedText();
        const QRect screen = box->screen()->availableGeometry();
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        const auto okOnScreen = [&] {
            return screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size()));
        };
        seen->fitted = screen.contains(box->frameGeometry()) && okOnScreen();
        QAbstractButton* details = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                details = button;
        }
        if (details) {
            const int shut = box->height();
            QTest::mouseClick(details, Qt::LeftButton);
            auto* area = box->findChild<QTextEdit*>();
            if (area && QTest::qWaitFor([area] { return area->isVisible(); }, 5000)) {
                // The box grows, then is moved back on screen.
                seen->fittedOpen = QTest::qWaitFor(
                    [&] {
                        return box->height() > shut && screen.contains(box->frameGeometry()) &&
                               okOnScreen() &&
                               screen.contains(
                                   QRect(area->mapToGlobal(QPoint(0, 0)), area->size()));
                    },
                    10000);
                QScrollBar* bar = area->verticalScrollBar();
                const int before = bar->value();
                QTest::mouseClick(bar, Qt::LeftButton, {},
                                  QPoint(bar->width() / 2, bar->height() - 3));
                seen->scrolls = bar->maximum() > 0 && bar->value() > before;
            }
        }
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
    });
    poll->start(50);
}

// The harness's dispatcher replaced by the program's own, which shows its
// messages in a message box.
void showMessagesAsTheProgramDoes(Harness& h) {
    h.dispatcher.reset();
    h.dispatcher = std::make_unique<ui::Dispatcher>(*h.form, app::handlersFor(*h.ctx));
}

bool onRealScreen() {
    return QGuiApplication::platformName() == "xcb";
}

void pressPlay(ui::Form1& f) {
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
}

} // namespace

TEST(OnScreen, AMissingEngineOnALongPathFitsTheScreenWithItsPlacesInTheDetail) {
    if (!onRealScreen())
        GTEST_SKIP() << "needs a real X server (x11.failed_start)";
    TempTree bin;
    QStringList dirs;
    for (int i = 0; i < 60; ++i)
        dirs.append(bin.dir(QStringLiteral("opt/toolchain-%1/bin").arg(i)));
    ScopedPath path(dirs.join(":"));
    Configured c("nosuchgame -listen 8");
    showMessagesAsTheProgramDoes(*c.h);
    BoxSeen seen;
    answerNextBox(&seen);
    pressPlay(c.f());
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.shown; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 20000));
    EXPECT_TRUE(seen.text.startsWith("Cannot start nosuchgame: No such program."));
    EXPECT_TRUE(seen.detail.contains(dirs.last()));
    EXPECT_TRUE(seen.fitted);
    EXPECT_TRUE(seen.fittedOpen);
    EXPECT_TRUE(seen.scrolls);
}

TEST(OnScreen, AGameThatFailsAtOnceShowsHowWithItsLastLinesInTheDetail) {
    if (!onRealScreen())
        GTEST_SKIP() << "needs a real X server (x11.failed_start)";
    if (!QFileInfo(quakespasm).isExecutable())
        GTEST_SKIP() << "quakespasm is not installed";
    ScopedPath path("/usr/games:/usr/bin:/bin");
    Configured c("quakespasm", storeLayout, /*recordStarts=*/false);
    QDir(c.quake + "/id1").removeRecursively(); // only the store's spelling is left
    c.f().List2->setListIndex(entries(c.f().List2).indexOf("Mymod"));
    showMessagesAsTheProgramDoes(*c.h);
    BoxSeen seen;
    answerNextBox(&seen);
    pressPlay(c.f());
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.shown; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 20000));
    EXPECT_TRUE(seen.text.startsWith("The game " + quakespasm + ": it ended at once"))
        << seen.text.toStdString();
    EXPECT_TRUE(seen.detail.contains("an id1 subdirectory containing pak0.pak"))
        << seen.detail.toStdString();
    EXPECT_TRUE(seen.fitted);
    EXPECT_TRUE(seen.fittedOpen);
    EXPECT_TRUE(seen.scrolls);
}
