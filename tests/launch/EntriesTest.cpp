// Every list entry keeps the directory it was found in: what starts, and
// which read-me opens, is that directory, by its on-disk name.

#include "launch/Launch.h"
#include "support/Configured.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct Listed : Configured {
    explicit Listed(const std::function<void(const TempTree&)>& lay)
        : Configured("quake -listen 8", lay) {}
    int rowOf(const QString& dirName) {
        for (int row = 0; row < f().List2->ListCount(); ++row) {
            if (QFileInfo(f().List2->ItemDirectory(row)).fileName() == dirName)
                return row;
        }
        return -1;
    }
    QStringList words(const QString& patch) const {
        return {quake + "/quake", "-listen", "8", "-game", patch};
    }
    // Play, a double-click and the menu's Play on the entry at `row`.
    void startAllThreeWays(int row) {
        f().List2->setListIndex(row);
        QTest::mouseClick(f().Command1, Qt::LeftButton);
        f().show();
        QTest::mouseDClick(f().List2->viewport(), Qt::LeftButton, {},
                           f().List2->entryRect(row).center());
        emit f().menuClick(0); // the menu's Play, through the dispatcher
    }
};

} // namespace

TEST(Entries, TwoDirectoriesDifferingInLetterCaseStartAndReadTheirOwn) {
    Listed c([](const TempTree& t) {
        t.file("quake/CTF/pak0.pak");
        t.file("quake/CTF/README.TXT", "upper");
    });
    // The usual ctf (progs.dat, ctf.txt) beside CTF: two rows, one name.
    ASSERT_EQ(entries(c.f().List2), QStringList({"Ctf", "Ctf"}));
    for (const QString dir : {"ctf", "CTF"}) {
        const int row = c.rowOf(dir);
        ASSERT_GE(row, 0) << dir.toStdString();
        c.h->started.clear();
        c.startAllThreeWays(row);
        ASSERT_TRUE(c.h->reported.isEmpty()) << c.h->reported.join("\n").toStdString();
        ASSERT_EQ(c.h->started.size(), 3u);
        for (const QStringList& words : c.h->started)
            EXPECT_EQ(words, c.words(dir));

        QTest::mouseClick(c.f().List2->viewport(), Qt::LeftButton, {},
                          c.f().List2->entryRect(row).center());
        ASSERT_EQ(c.f().List2->ListIndex(), row);
        const ui::MenuItem& readme = c.f().frmMenus().menu(1);
        EXPECT_EQ(readme.Tag(),
                  dir == "ctf" ? c.quake + "/ctf/ctf.txt" : c.quake + "/CTF/README.TXT");
        EXPECT_EQ(readme.Caption(), dir == "ctf" ? "&Readme (ctf.txt)" : "&Readme (readme.txt)");
    }
}

TEST(Entries, NamesThatUpperCasingCannotBringBackStartAsOnDisk) {
    const QString strasse = QString::fromUtf8("stra\u00dfe");
    const QString istanbul = QString::fromUtf8("\u0131stanbul");
    Listed c([&](const TempTree& t) {
        t.file("quake/" + strasse + "/progs.dat");
        t.file("quake/" + istanbul + "/pak0.pak");
        t.file("quake/" + istanbul + "/" + istanbul + ".txt");
    });
    for (const QString& dir : {strasse, istanbul}) {
        c.h->started.clear();
        c.startAllThreeWays(c.rowOf(dir));
        ASSERT_EQ(c.h->started.size(), 3u) << c.h->reported.join("\n").toStdString();
        for (const QStringList& words : c.h->started)
            EXPECT_EQ(words, c.words(dir));
    }
    // The read-me named after the directory, though the list shows "Istanbul".
    c.f().List2->setListIndex(c.rowOf(istanbul));
    QTest::mouseClick(c.f().List2->viewport(), Qt::MiddleButton);
    EXPECT_EQ(c.f().frmMenus().menu(1).Tag(), c.quake + "/" + istanbul + "/" + istanbul + ".txt");
}

TEST(Entries, WildcardCharactersInAPatchNameAreLiteralInTheReadmeLookup) {
    Listed c([](const TempTree& t) {
        t.file("quake/st?r/progs.dat");
        t.file("quake/st?r/star.txt");
        t.file("quake/st?r/readme.txt");
        t.file("quake/[dm]*/progs.dat");
        t.file("quake/[dm]*/d-notes.txt");
        t.file("quake/[dm]*/[DM]*manual.txt");
    });
    c.f().List2->setListIndex(c.rowOf("st?r"));
    QTest::mouseClick(c.f().List2->viewport(), Qt::MiddleButton);
    EXPECT_EQ(c.f().frmMenus().menu(1).Caption(), "&Readme (readme.txt)");
    c.f().List2->setListIndex(c.rowOf("[dm]*"));
    QTest::mouseClick(c.f().List2->viewport(), Qt::MiddleButton);
    EXPECT_EQ(c.f().frmMenus().menu(1).Caption(), "&Readme ([dm]*manual.txt)");
}

TEST(Entries, MissionPacksStartByTheirDirectoryAsFound) {
    Listed c([](const TempTree& t) {
        QDir(t.path("quake")).rename("hipnotic", "Hipnotic");
        QDir(t.path("quake")).rename("rogue", "ROGUE");
    });
    c.f().Check1->click();
    for (const char* title : {"Scourge Of The Armageddon", "Dissolution Of Eternity"})
        c.f().Combo2->setListIndex(c.f().Combo2->findText(title)), c.f().Command1->click();
    ASSERT_EQ(c.h->started.size(), 2u) << c.h->reported.join("\n").toStdString();
    EXPECT_EQ(c.h->started[0], c.words("Hipnotic"));
    EXPECT_EQ(c.h->started[1], c.words("ROGUE"));
}

TEST(Entries, NothingStartsFromADirectoryNoLongerInTheQuakeDirectory) {
    Listed c([](const TempTree& t) { makeQuake(t, "other"); });
    ui::Form1& f = c.f();
    // Another directory opened on the Setup tab, the list still the old one.
    emit f.Dir1->userOpened(c.tree.path("other"));
    c.startAllThreeWays(0);
    f.Check1->click();
    f.Command1->click(); // Default Game
    EXPECT_TRUE(c.h->started.empty());
    ASSERT_EQ(c.h->reported.size(), 4);
    // What to do, and nothing that would lead back to the same message.
    const auto advice = [&c](const QString& name) {
        const QString other = c.tree.path("other");
        return ". The list shows the patches of " + c.quake + ", opened before. To play " + name +
               ", open " + c.quake + " again on the Setup tab; to list the patches of " + other +
               ", press Exit, which saves it, and start Runemark again.";
    };
    EXPECT_EQ(c.h->reported[0], "Cannot start Ctf: Its directory " + c.quake +
                                    "/ctf is not in the Quake directory " + c.tree.path("other") +
                                    advice("Ctf"));
    EXPECT_EQ(c.h->reported[3], "Cannot start Default Game: Its directory " + c.quake +
                                    "/id1 is not in the Quake directory " + c.tree.path("other") +
                                    advice("Default Game"));
    const QString again = " Refresh (right-click the patch list) lists the saved Quake "
                          "directory's patches as they are now.";

    // Back in the Quake directory, a patch directory deleted since the scan.
    f.Check1->click();
    emit f.Dir1->userOpened(c.quake);
    QDir(c.quake + "/ctf").removeRecursively();
    f.Command1->click();
    ASSERT_EQ(c.h->reported.size(), 5);
    EXPECT_EQ(c.h->reported[4],
              "Cannot start Ctf: Its directory " + c.quake + "/ctf no longer exists." + again);
    EXPECT_TRUE(c.h->started.empty());

    // Refresh lists what is there, and Play starts it.
    c.tree.file("quake/arcane/progs.dat");
    emit f.menuClick(3); // Refresh
    f.List2->setListIndex(c.rowOf("arcane"));
    f.Command1->click();
    ASSERT_EQ(c.h->started.size(), 1u);
    EXPECT_EQ(c.h->started[0], c.words("arcane"));
}

TEST(Entries, HiddenDirectoriesAreShownAndScannedLikeAnyOther) {
    Listed c([](const TempTree& t) {
        t.file("quake/.hidden-mod/progs.dat");
        t.file("quake/.cache/notes");
    });
    const QString hidden = c.quake + "/.hidden-mod";
    EXPECT_TRUE(entries(c.f().List1).contains(hidden));
    EXPECT_TRUE(entries(c.f().List1).contains(c.quake + "/.cache"));
    // Only a directory that holds a game is listed.
    EXPECT_EQ(entries(c.f().List2), QStringList({".hidden-mod", "Ctf"}));
}
