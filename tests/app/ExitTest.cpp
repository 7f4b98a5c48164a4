// Exit writes what the player sees and chose, reads back the same at the next
// start, and never leaves a damaged settings file behind.

#include "support/Configured.h"
#include "support/Unprivileged.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace testing_support;

namespace {

// While it lives, writing a file past `bytes` fails as on a full disk (with
// EFBIG instead of ENOSPC, which needs no special file system).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

void ageBy(const QString& path, int seconds) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                                 QFileDevice::FileModificationTime));
}

} // namespace

TEST(ExitSaves, AFailedWriteKeepsTheOldFileIsReportedAndTheWindowStays) {
    Configured c("quake -listen 8");
    const QByteArray before = c.tree.read("start/runemark.ini");
    c.f().Combo1->setText("winquake -dedicated 16 +map e2m1");
    {
        const FileSizeLimit full(0);
        c.f().Command2->click();
    }
    ASSERT_EQ(c.h->reported.size(), 1);
    EXPECT_TRUE(c.h->reported[0].contains(c.tree.path("start/runemark.ini"))) << c.h->reported[0];
    EXPECT_TRUE(c.h->reported[0].endsWith("the old file is kept")) << c.h->reported[0];
    EXPECT_EQ(c.h->endRequests, 0);
    EXPECT_EQ(c.tree.read("start/runemark.ini"), before);
    EXPECT_EQ(QDir(c.tree.path("start")).entryList(QDir::Files),
              QStringList({"runemark.ini"})); // no temporary left behind

    // With room again, the same Exit succeeds.
    c.f().Command2->click();
    EXPECT_EQ(c.h->endRequests, 1);
    EXPECT_EQ(c.tree.read("start/runemark.ini"), ini(c.quake, "winquake -dedicated 16 +map e2m1"));
}

TEST(ExitSaves, EveryTypableTextComesBackAtTheNextStart) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake");
    const QString odd = tree.dir(" Quäke \"one\", two ");
    const QStringList commands = {
        "quake +name \"Player One\" +map e1m1",
        "\"",
        "\"\"",
        "quake -listen 8, +map e1m1",
        "  leading and trailing blanks  ",
        "Ünïcödé ✓ квейк",
        "quake " + QString(5000, 'x') + " \"end\"",
        "",
    };
    for (const QString& command : commands) {
        {
            Harness h(tree.path("start"));
            h.load();
            ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n");
            emit h.form->Dir1->userOpened(odd);
            h.form->Combo1->setText(command);
            h.form->Command2->click();
            ASSERT_EQ(h.endRequests, 1) << h.reported.join("\n");
        }
        Harness next(tree.path("start"));
        next.load();
        EXPECT_TRUE(next.reported.isEmpty()) << next.reported.join("\n");
        EXPECT_EQ(next.ctx->QuakeDir, odd);
        EXPECT_EQ(next.form->Dir1->Path(), odd);
        EXPECT_EQ(next.ctx->GameCommand, command);
        EXPECT_EQ(next.form->Combo1->Text(), command);
    }
}

TEST(ExitSaves, AMissingSavedDirectoryIsKeptUnlessAnotherIsOpened) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const QString unmounted = tree.path("usb/quake");
    writeIni(tree, unmounted, "quake -listen 8");
    {
        Harness h(tree.dir("start"));
        h.load();
        ASSERT_EQ(h.reported.size(), 1);
        h.form->Command2->click();
        EXPECT_EQ(h.endRequests, 1);
        EXPECT_EQ(tree.read("start/runemark.ini"), ini(unmounted, "quake -listen 8"));
    }
    Harness h(tree.path("start"));
    h.load();
    emit h.form->Dir1->userOpened(quake);
    h.form->Command2->click();
    EXPECT_EQ(tree.read("start/runemark.ini"), ini(quake, "quake -listen 8"));
}

TEST(ExitSaves, ASymbolicLinkStaysOneAndItsTargetGetsTheSettings) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake", "conf");
    tree.dir("start");
    ASSERT_TRUE(QFile::link("../conf/runemark.ini", tree.path("start/runemark.ini")));
    Harness h(tree.path("start"));
    h.load();
    ASSERT_TRUE(h.reported.isEmpty()) << h.reported.join("\n");
    h.form->Combo1->setText("quake -listen 8");
    h.form->Command2->click();
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_TRUE(QFileInfo(tree.path("start/runemark.ini")).isSymLink());
    EXPECT_EQ(tree.read("conf/runemark.ini"), ini(quake, "quake -listen 8"));

    // A link to a file not there yet: the first Exit creates the target.
    tree.dir("first");
    ASSERT_TRUE(QFile::link("../conf/new.ini", tree.path("first/runemark.ini")));
    Harness first(tree.path("first"));
    first.load();
    first.form->Command2->click();
    EXPECT_EQ(first.endRequests, 1) << first.reported.join("\n");
    EXPECT_TRUE(QFileInfo(tree.path("first/runemark.ini")).isSymLink());
    EXPECT_EQ(tree.read("conf/new.ini"), ini(tree.path("first"), "quake -dedicated # +map #"));
}

TEST(ExitSaves, RemovesOnlyItsOwnLeftoverTemporariesAndNeverThePlayersCopies) {
    Configured c;
    const QString start = c.tree.path("start");
    // A player's copies, in the form the toolkit's own temporaries take too.
    const QStringList players = {"runemark.ini.backup", "runemark.ini.old123",
                                 "runemark.ini.a1B2c3"};
    const QString ours = "runemark.ini.runemark-save-a1B2c3";
    const QString fresh = "runemark.ini.runemark-save-Zz9Yy8";
    for (const QString& name : players + QStringList{ours, fresh, "other.ini.runemark-save-a1B2c3"})
        c.tree.file("start/" + name, "left over");
    for (const QString& name : players + QStringList{ours, "other.ini.runemark-save-a1B2c3"})
        ageBy(start + "/" + name, 120);
    c.f().Command2->click();
    EXPECT_EQ(c.h->endRequests, 1);
    QStringList left = QDir(start).entryList(QDir::Files);
    left.sort();
    // The fresh one may belong to another copy writing at this moment.
    QStringList expected =
        players + QStringList{"other.ini.runemark-save-a1B2c3", "runemark.ini", fresh};
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST(ExitSaves, AWriteProtectedDirectoryOrFileIsNamedAsWhatRefused) {
    RUNEMARK_PERMISSION_TEST()
    Configured c;
    const QString start = c.tree.path("start");
    const QByteArray before = c.tree.read("start/runemark.ini");
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

    QFile::setPermissions(start, QFile::ReadOwner | QFile::ExeOwner);
    c.f().Command2->click();
    QFile::setPermissions(start, all);
    ASSERT_EQ(c.h->reported.size(), 1);
    // The file could be written; the directory it is replaced in cannot.
    EXPECT_TRUE(c.h->reported[0].contains("directory " + start + ":")) << c.h->reported[0];

    QFile::setPermissions(start + "/runemark.ini", QFile::ReadOwner);
    c.f().Command2->click();
    QFile::setPermissions(start + "/runemark.ini", QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(c.h->reported.size(), 2);
    EXPECT_TRUE(c.h->reported[1].contains("write-protected file " + start + "/runemark.ini"))
        << c.h->reported[1];
    EXPECT_EQ(c.h->endRequests, 0);
    EXPECT_EQ(c.tree.read("start/runemark.ini"), before);
}
