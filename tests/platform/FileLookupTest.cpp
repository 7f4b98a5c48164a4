#include "platform/FileLookup.h"
#include "platform/Wildcard.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::findFirstFile;
using platform::wildcardMatch;
using testing_support::TempTree;

TEST(Wildcard, MatchesStarsAndQuestionMarksIgnoringCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.pak", "PAK0.PAK", true},
        {"*.pak", "pak0.pak.bak", false},
        {"*ctf*.txt", "CTF.TXT", true},
        {"*ctf*.txt", "my_ctf_notes.txt", true},
        {"*read*.txt", "README.TXT", true},
        {"*read*.txt", "rea.txt", false},
        {"progs.dat", "PROGS.DAT", true},
        {"progs.dat", "progs.da", false},
        {"pak?.pak", "pak1.pak", true},
        {"pak?.pak", "pak10.pak", false},
        {"*", "", true},
        {"?", "", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYYcZ", false},
        {"**.txt", "x.txt", true},
        {"[dm]*", "[DM]pack", true},
        {"[dm]*", "dpack", false},
        {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcardMatch(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)), c.match)
            << c.pattern << " vs " << c.name;
}

TEST(FileLookup, FindsTheBareOnDiskNameIgnoringCaseInDirectoryAndName) {
    TempTree tree;
    tree.file("Quake/CTF/Progs.Dat");
    tree.file("Quake/CTF/README.TXT");
    EXPECT_EQ(findFirstFile(tree.path("QUAKE/ctf/progs.dat")), "Progs.Dat");
    EXPECT_EQ(findFirstFile(tree.path("quake/Ctf/*read*.txt")), "README.TXT");
    EXPECT_EQ(findFirstFile(tree.path("quake/ctf/*.pak")), "");
}

TEST(FileLookup, NeverMatchesDirectoriesHiddenFilesOrDanglingLinks) {
    TempTree tree;
    tree.dir("q/mod/pak0.pak");   // a directory named like a file
    tree.file("q/mod/.pak1.pak"); // hidden
    QFile::link(tree.path("q/nowhere"), tree.path("q/mod/progs.dat")); // dangling
    EXPECT_EQ(findFirstFile(tree.path("q/mod/*.pak")), "");
    EXPECT_EQ(findFirstFile(tree.path("q/mod/progs.dat")), "");
    EXPECT_EQ(findFirstFile(tree.path("q/mod/*")), "");

    // A link to an ordinary file is an ordinary file.
    tree.file("q/real.dat");
    tree.dir("q/linked");
    QFile::link(tree.path("q/real.dat"), tree.path("q/linked/progs.dat"));
    EXPECT_EQ(findFirstFile(tree.path("q/linked/PROGS.DAT")), "progs.dat");
}

TEST(FileLookup, AMissingDirectoryOrEmptyPatternMatchesNothing) {
    TempTree tree;
    EXPECT_EQ(findFirstFile(tree.path("no/such/dir/*.txt")), "");
    EXPECT_EQ(findFirstFile(tree.path("")), "");
    EXPECT_EQ(findFirstFile(tree.path("") + "/"), "");
}

TEST(FileLookup, ExactNameWinsOverOtherCaseVariants) {
    TempTree tree;
    tree.file("m/PROGS.DAT");
    tree.file("m/progs.dat");
    EXPECT_EQ(findFirstFile(tree.path("m/progs.dat")), "progs.dat");
    EXPECT_EQ(findFirstFile(tree.path("m/PROGS.DAT")), "PROGS.DAT");
}

TEST(FileLookup, BareNamesLookInTheCurrentDirectory) {
    TempTree tree;
    tree.file("runemark.ini");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tree.path()));
    EXPECT_EQ(findFirstFile("RUNEMARK.INI"), "runemark.ini");
    QDir::setCurrent(before);
}
