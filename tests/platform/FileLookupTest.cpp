#include "platform/FileLookup.h"
#include "platform/DirectoryListing.h"
#include "platform/Wildcard.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::findFirstFile;
using platform::HeldListings;
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
        // Only letters fold: these pairs differ by the same bit as a and A.
        {"[dm]*", "{dm}pack", false},
        {"@*", "`a", false},
        {"x^", "X~", false},
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

namespace {

// The ordinary files of `dir` in the directory's own order, as a fresh read
// gives them: what "first" means for a lookup.
QStringList filesInListingOrder(const QString& dir) {
    QStringList files;
    platform::forEachEntry(dir, [&files](const platform::DirectoryEntry& entry) {
        if (entry.kind() == platform::EntryKind::File)
            files.append(entry.name);
        return true;
    });
    return files;
}

} // namespace

TEST(HeldListings, AnswersEveryPatternAsAFreshLookupDoes) {
    TempTree tree;
    for (const char* name : {"b.pak", "A.PAK", "c.Pak", "readme.txt", "Progs.Dat", "PROGS.DAT"})
        tree.file(QStringLiteral("q/Mod/") + name);
    tree.file("q/Mod/.hidden.pak");
    tree.dir("q/Mod/dir.pak");   // a directory named like a file
    tree.dir("q/Mod/progs.dat"); // and like the exact name
    tree.file("q/target.txt");
    QFile::link(tree.path("q/target.txt"), tree.path("q/Mod/linked.txt"));
    QFile::link(tree.path("q/nowhere"), tree.path("q/Mod/dangling.pak"));
    QFile::link(tree.path("q"), tree.path("q/Mod/dirlink.pak"));

    const QStringList patterns = {
        "q/Mod/*.pak",        "q/Mod/*.PAK",       "q/Mod/progs.dat",  "q/Mod/PROGS.DAT",
        "q/Mod/Progs.Dat",    "q/Mod/pROGS.dAT",   "q/Mod/*read*.txt", "q/Mod/*.txt",
        "q/Mod/linked.TXT",   "q/Mod/.hidden.pak", "q/Mod/*.hidden*",  "q/Mod/dir.pak",
        "q/Mod/dangling.pak", "q/Mod/dirlink.pak", "q/Mod/*",          "q/Mod/?.pak",
        "Q/mod/*.pak",        "Q/mod/progs.dat",   "Q/mod/PROGS.DAT",  "Q/mod/Progs.Dat",
        "q/none/*.pak",       "q/Mod/none.dat",
    };
    QStringList fresh;
    for (const QString& pattern : patterns)
        fresh.append(findFirstFile(tree.path(pattern)));
    QStringList scoped;
    {
        HeldListings held;
        for (const QString& pattern : patterns)
            scoped.append(findFirstFile(tree.path(pattern), &held));
    }
    EXPECT_EQ(scoped, fresh);

    // And what they are: of the names written here, the first in the
    // directory's own order; hidden names, directories and dangling links
    // never; an exact spelling first.
    const QStringList order = filesInListingOrder(tree.path("q/Mod"));
    const auto firstOf = [&order](const QStringList& names) {
        for (const QString& name : order) {
            if (names.contains(name))
                return name;
        }
        return QString("none of them");
    };
    const QString pak = firstOf({"b.pak", "A.PAK", "c.Pak"});
    const QString progs = firstOf({"Progs.Dat", "PROGS.DAT"});
    const QString text = firstOf({"readme.txt", "linked.txt"});
    // A directory spelled otherwise has no exact spelling to prefer.
    const QStringList expected = {
        pak,          pak,   progs, "PROGS.DAT", "Progs.Dat", progs, "readme.txt",  text,
        "linked.txt", "",    "",    "",          "",          "",    order.first(), pak,
        pak,          progs, progs, progs,       "",          ""};
    EXPECT_EQ(scoped, expected);
}

TEST(HeldListings, ReadsEachDirectoryOnceAndKeepsNothingOnceItEnds) {
    TempTree tree;
    tree.file("q/a/pak0.pak");
    tree.file("q/b/PROGS.DAT");
    {
        HeldListings held;
        EXPECT_EQ(findFirstFile(tree.path("q/a/progs.dat"), &held), "");
        EXPECT_EQ(findFirstFile(tree.path("q/a/*.pak"), &held), "pak0.pak");
        EXPECT_EQ(held.directoriesRead(), 1);
        EXPECT_EQ(findFirstFile(tree.path("q/b/progs.dat"), &held), "PROGS.DAT");
        EXPECT_EQ(findFirstFile(tree.path("q/b/*.pak"), &held), "");
        EXPECT_EQ(held.directoriesRead(), 2);
        // Only the last directory read is kept.
        EXPECT_EQ(findFirstFile(tree.path("q/a/*.pak"), &held), "pak0.pak");
        EXPECT_EQ(held.directoriesRead(), 3);
        EXPECT_EQ(findFirstFile(tree.path("q/a/PAK0.PAK"), &held), "pak0.pak");
        EXPECT_EQ(held.directoriesRead(), 3);
    }

    // Files that come and go between two sets are seen by the later one and
    // by lookups handed none.
    QFile::remove(tree.path("q/a/pak0.pak"));
    tree.file("q/a/Progs.dat");
    tree.file("q/b/pak1.pak");
    {
        HeldListings held;
        EXPECT_EQ(findFirstFile(tree.path("q/a/*.pak"), &held), "");
        EXPECT_EQ(findFirstFile(tree.path("q/a/progs.dat"), &held), "Progs.dat");
        EXPECT_EQ(findFirstFile(tree.path("q/b/*.pak"), &held), "pak1.pak");
        {
            // Another set serves only the lookups handed it.
            HeldListings inner;
            EXPECT_EQ(findFirstFile(tree.path("q/b/*.dat"), &inner), "PROGS.DAT");
            EXPECT_EQ(inner.directoriesRead(), 1);
        }
        EXPECT_EQ(findFirstFile(tree.path("q/b/*.pak"), &held), "pak1.pak");
        EXPECT_EQ(held.directoriesRead(), 2);
    }
    tree.file("q/b/pak2.pak");
    QFile::remove(tree.path("q/b/pak1.pak"));
    EXPECT_EQ(findFirstFile(tree.path("q/b/*.pak")), "pak2.pak");
}
