// Damaged or hostile input: each case ends in a message that names the
// problem or in the ordinary behaviour, never a crash, hang or lost file.

#include "menu/ContextMenu.h"
#include "menu/MenuCommands.h"
#include "platform/Error.h"
#include "support/Configured.h"
#include "support/Unprivileged.h"
#include "ui/FrmMenus.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

QStringList patches(const ui::Form1& form) {
    return entries(form.List2);
}

// Creates a file by its raw bytes, for names Qt cannot spell.
void rawFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
}

} // namespace

TEST(BadInput, LinkLoopsAndDanglingLinksEndTheScanNormally) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    QFile::link(quake + "/self", quake + "/self");         // a link to itself
    QFile::link(quake, quake + "/cycle");                  // back up to the Quake directory
    QFile::link(quake + "/gone", quake + "/ctf/pak9.pak"); // dangling
    tree.dir("quake/dangle");
    QFile::link(quake + "/nothing", quake + "/dangle/progs.dat");
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    // The cycle holds what the Quake directory holds: no patch of its own.
    EXPECT_EQ(patches(*h.form), QStringList({"Ctf"}));
    EXPECT_TRUE(entries(h.form->List1).contains(quake + "/cycle"));
}

TEST(BadInput, ANameThatIsNotUtf8IsListedShowingItsBadByteAndRefusedByName) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    // Latin-1, as old archives unpack.
    const QByteArray bad = QFile::encodeName(quake) + "/caf\xe9";
    ASSERT_EQ(::mkdir(bad.constData(), 0755), 0);
    rawFile(bad + "/progs.dat");
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    const QString shown = QStringLiteral("Caf\uFFFD");
    ASSERT_EQ(patches(*h.form), QStringList({shown, "Ctf"}));

    // Play and Readme name it and say what to do; nothing starts.
    const QString named = quake + QStringLiteral("/caf\uFFFD");
    h.form->List2->setListIndex(0);
    h.form->Command1->click();
    menu::List2_MouseDown(*h.ctx, ui::LeftButton, 0, 0, 0);
    ASSERT_TRUE(h.form->frmMenus().menu(1).Enabled());
    try {
        menu::menu_Click(*h.ctx, 1, {});
    } catch (const platform::Error& error) {
        h.reported.append(error.message());
    }
    ASSERT_EQ(h.reported.size(), 2);
    EXPECT_TRUE(h.reported[0].startsWith("Cannot start " + shown + ": The name " + named))
        << h.reported[0];
    EXPECT_TRUE(
        h.reported[1].startsWith("Cannot show the read-me of " + shown + ": The name " + named))
        << h.reported[1];
    for (const QString& message : h.reported)
        EXPECT_TRUE(message.contains("Rename it")) << message;
    EXPECT_TRUE(h.started.empty());
    // Qt cannot name it, so it is removed by its bytes.
    ::unlink((bad + "/progs.dat").constData());
    ::rmdir(bad.constData());
}

TEST(BadInput, LongAndHostileNamesAreListedAndStartedAsPlainWords) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const QString longest(255, 'x');
    const QString hostile = "$(touch pwned); echo `id` | tee >x";
    tree.file("quake/" + longest + "/progs.dat");
    tree.file("quake/" + hostile + "/progs.dat");
    tree.file("quake/" + hostile + "/" + hostile + ".txt");
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_EQ(patches(*h.form).size(), 3);
    const int row = static_cast<int>(
        entries(h.form->List2).indexOf(hostile.left(1).toUpper() + hostile.mid(1).toLower()));
    h.form->List2->setListIndex(row);
    emit h.form->List2->MouseDown(1, 0, 10, 10);
    EXPECT_EQ(h.form->frmMenus().menu(1).Caption(), "&Readme (" + hostile.toLower() + ".txt)");

    QFile::setPermissions(tree.file("quake/quake", "#!/bin/sh\n"),
                          QFile::ExeOwner | QFile::ReadOwner);
    h.form->Command1->click();
    ASSERT_EQ(h.started.size(), 1u);
    EXPECT_EQ(h.started[0].last(), hostile); // one word, in its on-disk spelling
    h.form->List2->setListIndex(
        static_cast<int>(entries(h.form->List2).indexOf("X" + longest.mid(1))));
    h.form->Command1->click();
    ASSERT_EQ(h.started.size(), 2u);
    EXPECT_EQ(h.started[1].last(), longest);
    EXPECT_FALSE(QFile::exists(tree.path("start/pwned")) || QFile::exists(quake + "/pwned"));
}

TEST(BadInput, DamagedSettingsFilesAreReportedAndStartUpGoesOn) {
    const QByteArray cases[] = {
        QByteArray("\"/q\0uake\"\r\n\"quake\"\r\n", 20),     // NUL bytes
        "\"" + QByteArray(1 << 20, 'a') + "\"\r\n\"quake\"", // a very long line, no line end
        QByteArray("\xff\xfe\x00\x01garbage", 12),           // binary
        "",                                                  // empty
    };
    for (const QByteArray& content : cases) {
        TempTree tree;
        tree.file("start/runemark.ini", content);
        Harness h(tree.path("start"));
        h.load();
        ASSERT_EQ(h.reported.size(), 1) << content.left(20).toStdString();
        EXPECT_TRUE(h.reported[0].contains("runemark.ini") || h.reported[0].contains("Quake"))
            << h.reported[0];
        EXPECT_LT(h.reported[0].size(), 1000);
        EXPECT_FALSE(h.form->Command1->isEnabled()); // first-run state
        EXPECT_EQ(h.form->Label5->Caption(), "1.20 (Build 2)");
        EXPECT_EQ(tree.read("start/runemark.ini"), content); // nothing written
    }
}

TEST(BadInput, LineEndsOfEveryKindReadTheSameSettings) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        tree.file("start/runemark.ini", "\"" + quake.toLocal8Bit() + "\"" + end + "\"quake -x\"");
        Harness h(tree.path("start"));
        h.load();
        EXPECT_TRUE(h.reported.isEmpty()) << h.reported.join("\n");
        EXPECT_EQ(h.ctx->GameCommand, "quake -x");
        EXPECT_EQ(patches(*h.form), QStringList({"Ctf"}));
    }
}

TEST(BadInput, AHugeOrBinaryManualIsShownWhole) {
    TempTree tree;
    QByteArray binary(1 << 16, '\0');
    QRandomGenerator random(42);
    for (char& byte : binary)
        byte = static_cast<char>(random.bounded(256));
    QByteArray huge;
    while (huge.size() < qsizetype{10} * 1024 * 1024)
        huge += "A line of a very long manual, ten megabytes of it.\r\n";
    for (const QByteArray& manual : {binary, huge}) {
        tree.file("start/MANUAL.RM", manual);
        Harness h(tree.path("start"));
        h.load();
        EXPECT_TRUE(h.reported.isEmpty());
        EXPECT_EQ(h.form->Text1->Text(), QString::fromLocal8Bit(manual));
    }
}

TEST(BadInput, AWriteProtectedQuakeDirectoryWorksAsAnyOther) {
    RUNEMARK_PERMISSION_TEST()
    TempTree tree;
    const QString quake = makeQuake(tree);
    writeIni(tree, quake, "quake");
    QFile::setPermissions(quake,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    EXPECT_EQ(patches(*h.form), QStringList({"Ctf"}));
    QFile::setPermissions(quake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(BadInput, AnUnreadableSubdirectoryIsNoPatch) {
    RUNEMARK_PERMISSION_TEST()
    TempTree tree;
    const QString quake = makeQuake(tree);
    tree.file("quake/locked/progs.dat");
    QFile::setPermissions(quake + "/locked", QFile::Permissions());
    writeIni(tree, quake, "quake");
    Harness h(tree.dir("start"));
    h.load();
    EXPECT_TRUE(h.reported.isEmpty());
    EXPECT_EQ(patches(*h.form), QStringList({"Ctf"}));
    QFile::setPermissions(quake + "/locked",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(BadInput, AStartDirectoryThatCannotBeWrittenKeepsTheOldFile) {
    RUNEMARK_PERMISSION_TEST()
    TempTree tree;
    writeIni(tree, makeQuake(tree), "quake");
    const QByteArray before = tree.read("start/runemark.ini");
    Harness h(tree.path("start"));
    h.load();
    QFile::setPermissions(tree.path("start"), QFile::ReadOwner | QFile::ExeOwner);
    h.form->Command2->click();
    QFile::setPermissions(tree.path("start"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(h.reported.size(), 1);
    EXPECT_EQ(h.endRequests, 0);
    EXPECT_EQ(tree.read("start/runemark.ini"), before);
}
