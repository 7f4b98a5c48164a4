#include "catalogue/Scan.h"
#include "catalogue/PatchName.h"
#include "support/Configured.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Starts the program on a Quake directory laid out by `lay`.
struct Scanned {
    TempTree tree;
    std::unique_ptr<Harness> h;
    template <typename Lay> explicit Scanned(Lay lay) {
        lay(tree);
        writeIni(tree, tree.dir("quake"), "quake");
        h = std::make_unique<Harness>(tree.path("start"));
        h->load();
    }
    ui::Form1& f() { return *h->form; }
};

} // namespace

TEST(Scan, SortsPatchesFromOfficialGamesAndListsEverySubdirectory) {
    Scanned s([](const TempTree& t) { makeQuake(t); });
    EXPECT_EQ(entries(s.f().List2), QStringList({"Ctf"}));
    EXPECT_EQ(entries(s.f().Combo2), QStringList({"Default Game", "Dissolution Of Eternity",
                                                  "Scourge Of The Armageddon"}));
    EXPECT_EQ(s.f().Combo2->currentText(), "Default Game");
    const QString q = s.tree.path("quake/");
    EXPECT_EQ(entries(s.f().List1),
              QStringList({q + "ctf", q + "hipnotic", q + "id1", q + "maps", q + "rogue"}));
}

TEST(Scan, ProgsDatDecidesFirstEvenForOfficialNames) {
    Scanned s([](const TempTree& t) {
        t.file("quake/ID1/progs.dat");
        t.file("quake/ID1/pak0.pak");
        t.file("quake/both/progs.dat");
        t.file("quake/both/pak0.pak");
    });
    EXPECT_EQ(entries(s.f().List2), QStringList({"Both", "Id1"}));
    EXPECT_EQ(s.f().Combo2->count(), 0);
}

TEST(Scan, HiddenFilesAndDirectoriesNamedLikeFilesMakeNoPatch) {
    Scanned s([](const TempTree& t) {
        t.file("quake/hidden/.pak0.pak");
        t.dir("quake/fake/pak0.pak");
        t.dir("quake/fake2/progs.dat");
        t.file("quake/.git/config"); // listed by Dir1, and no game
    });
    EXPECT_EQ(s.f().List2->ListCount(), 0);
    EXPECT_EQ(s.f().List2->ListIndex(), -1);
    EXPECT_EQ(s.f().Combo2->count(), 0);
    EXPECT_EQ(s.f().Combo2->ListIndex(), -1);
    EXPECT_EQ(s.f().List1->ListCount(), 4);
}

TEST(Scan, WithoutTheBaseGameTheFirstTitleIsSelected) {
    Scanned s([](const TempTree& t) {
        t.file("quake/Hipnotic/pak0.pak");
        t.file("quake/ROGUE/PAK0.PAK");
    });
    EXPECT_EQ(entries(s.f().Combo2),
              QStringList({"Dissolution Of Eternity", "Scourge Of The Armageddon"}));
    EXPECT_EQ(s.f().Combo2->currentText(), "Dissolution Of Eternity");
}

TEST(Scan, NamesAreNormalisedAndSortedIgnoringCase) {
    Scanned s([](const TempTree& t) {
        t.file("quake/MYMOD/progs.dat");
        t.file("quake/3wave/progs.dat");
        t.file("quake/_under/PROGS.DAT");
        t.file("quake/arcane dimensions/pak0.pak");
        t.file("quake/Zer0/Pak3.Pak");
    });
    EXPECT_EQ(entries(s.f().List2),
              QStringList({"_under", "3wave", "Arcane dimensions", "Mymod", "Zer0"}));
    EXPECT_EQ(s.f().List2->ListIndex(), 0);
}

TEST(Scan, RescanListsHipnoticAndRogueAsPatchesAndLeavesCombo2Alone) {
    Scanned s([](const TempTree& t) { makeQuake(t); });
    ui::Form1& f = s.f();
    f.List1->Clear();
    f.List2->Clear();
    catalogue::scanPatches(*s.h->ctx, state::Occasion::Refresh);
    EXPECT_EQ(entries(f.List2), QStringList({"Ctf", "Hipnotic", "Rogue"}));
    EXPECT_EQ(f.Combo2->count(), 3);
    EXPECT_EQ(f.List2->ListIndex(), 0);
}

TEST(Scan, EachScanSeesTheDiskAsItIsThen) {
    Scanned s([](const TempTree& t) {
        makeQuake(t);
        t.file("quake/ctf/pak0.pak");
    });
    ui::Form1& f = s.f();
    // Between two scans: maps gains a progs.dat in another case, ctf loses
    // its progs.dat but keeps a .pak file, hipnotic loses its only .pak.
    s.tree.file("quake/maps/PROGS.DAT");
    QFile::remove(s.tree.path("quake/ctf/progs.dat"));
    QFile::remove(s.tree.path("quake/hipnotic/pak0.pak"));
    f.List1->Clear();
    f.List2->Clear();
    catalogue::scanPatches(*s.h->ctx, state::Occasion::Refresh);
    EXPECT_EQ(entries(f.List2), QStringList({"Ctf", "Maps", "Rogue"}));
    QFile::remove(s.tree.path("quake/ctf/pak0.pak"));
    f.List1->Clear();
    f.List2->Clear();
    catalogue::scanPatches(*s.h->ctx, state::Occasion::Refresh);
    EXPECT_EQ(entries(f.List2), QStringList({"Maps", "Rogue"}));
}

TEST(PatchName, IsTheLastComponentLowerCasedWithACapitalFirst) {
    EXPECT_EQ(catalogue::patchName("/q/ID1"), "Id1");
    EXPECT_EQ(catalogue::patchName("/q/hipnotic"), "Hipnotic");
    EXPECT_EQ(catalogue::patchName("/q/MyMod"), "Mymod");
    EXPECT_EQ(catalogue::patchName("/q/3wave"), "3wave");
    EXPECT_EQ(catalogue::patchName("/q/a_B-Z@[`{"), "A_b-z@[`{"); // ASCII edges
    EXPECT_EQ(catalogue::patchName("/q/\u00C9CLAIR"), "\u00C9clair");
    EXPECT_EQ(catalogue::patchName("/q/\u00DFmod"), "SSmod"); // cased as a string
    EXPECT_EQ(catalogue::patchName("/q/"), "");
    EXPECT_EQ(catalogue::patchName("ÉCLAIR"), "Éclair");
}

// The manual tells the player the rule the scan follows: an official
// game's directory is a patch when it holds a progs.dat.
TEST(Scan, TheManualSaysWhenAnOfficialGameIsListedAsAPatch) {
    Scanned s([](const TempTree& t) {
        t.file("quake/id1/progs.dat");
        t.file("quake/id1/pak0.pak");
        t.file("quake/hipnotic/pak0.pak");
    });
    EXPECT_EQ(entries(s.f().List2), QStringList({"Id1"}));
    EXPECT_EQ(entries(s.f().Combo2), QStringList({"Scourge Of The Armageddon"}));

    QFile file(RUNEMARK_SOURCE_DIR "/data/MANUAL.RM");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n");
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 46) << line.toStdString(); // the text box's width
    const QString manual = lines.join(' ').simplified();
    EXPECT_TRUE(manual.contains("the official games. Holding .pak files only, they are not "
                                "listed as patches"));
    EXPECT_TRUE(manual.contains("When one of them holds a progs.dat, it is listed as a patch "
                                "instead."));
}
