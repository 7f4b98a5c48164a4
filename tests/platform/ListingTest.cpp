#include "platform/DirectoryListing.h"
#include "platform/FileLookup.h"
#include "platform/Wildcard.h"
#include "support/TempTree.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using testing_support::TempTree;

namespace {
QStringList directories(const QString& dir, platform::Hidden hidden) {
    QStringList names = platform::subdirectoryNames(dir, hidden);
    names.sort();
    return names;
}
} // namespace

TEST(Listing, IncludesHiddenEntriesOnlyWhenAskedAndNeverDotOrDotDot) {
    TempTree tree;
    tree.file("home/.local/share/x");
    tree.file("home/..hidden2/x");
    tree.file("home/Games/x");
    tree.file("home/.profile");
    EXPECT_EQ(directories(tree.path("home"), platform::Hidden::Skip), QStringList({"Games"}));
    EXPECT_EQ(directories(tree.path("home"), platform::Hidden::Include),
              QStringList({"..hidden2", ".local", "Games"}));
    // The file lookup keeps leaving hidden files out.
    EXPECT_EQ(platform::findFirstFile(tree.path("home/*profile")), "");
}

TEST(LiteralPattern, WildcardsInATextMatchOnlyThemselves) {
    using platform::literalPattern;
    using platform::wildcardMatch;
    const QString starP = "*" + literalPattern(u"st?r") + "*.txt";
    EXPECT_FALSE(wildcardMatch(starP, u"star.txt"));
    EXPECT_TRUE(wildcardMatch(starP, u"ST?R-notes.TXT"));
    EXPECT_FALSE(wildcardMatch("*" + literalPattern(u"a*b") + "*.txt", u"aXXb.txt"));
    EXPECT_TRUE(wildcardMatch("*" + literalPattern(u"a*b") + "*.txt", u"A*B.txt"));
    EXPECT_TRUE(wildcardMatch("*" + literalPattern(u"[dm]") + "*", u"x[DM]y"));
    EXPECT_FALSE(wildcardMatch("*" + literalPattern(u"[dm]") + "*", u"xdy"));
    EXPECT_TRUE(wildcardMatch(literalPattern(u"a\\b"), u"a\\b"));
    EXPECT_FALSE(wildcardMatch(literalPattern(u"a\\b"), u"ab"));
    EXPECT_TRUE(platform::hasWildcards(literalPattern(u"a\\b"))); // matched, not looked up

    TempTree tree;
    tree.file("q/st?r/star.txt");
    EXPECT_EQ(platform::findFirstFile(tree.path("q/st?r/*") + literalPattern(u"st?r") + "*.txt"),
              "");
    tree.file("q/st?r/ST?R.txt");
    EXPECT_EQ(platform::findFirstFile(tree.path("q/st?r/*") + literalPattern(u"st?r") + "*.txt"),
              "ST?R.txt");
}

namespace {

// Everything a listing of `dir` tells, in its order: names and kinds.
QStringList listing(const QString& dir, platform::Hidden hidden,
                    const platform::DirectorySnapshot* held = nullptr) {
    QStringList seen;
    const bool read = platform::forEachEntry(
        dir,
        [&seen](const platform::DirectoryEntry& entry) {
            seen.append(entry.name + QLatin1Char(' ') +
                        QString::number(static_cast<int>(entry.kind())));
            return true;
        },
        hidden, held);
    if (!read)
        seen.append(QStringLiteral("(unreadable)"));
    return seen;
}

} // namespace

TEST(Snapshot, AnswersAsTheDiskDidWhenReadAndReadsNothingItHolds) {
    TempTree tree;
    tree.file("q/Ctf/PROGS.DAT");
    tree.file("q/Ctf/.hidden.pak");
    tree.file("q/Ctf/sub/x");
    tree.file("q/ctf/pak0.pak");
    tree.file("q/.steam/progs.dat");
    tree.file("q/deep/inner/x");
    tree.file("q/readme.txt");
    tree.dir("q/Empty");
    ASSERT_TRUE(QFile::link(tree.path("q/Ctf"), tree.path("q/linked")));
    ASSERT_TRUE(QFile::link(tree.path("q/Ctf/PROGS.DAT"), tree.path("q/Ctf/alias.dat")));
    ASSERT_TRUE(QFile::link(tree.path("q/nowhere"), tree.path("q/broken")));
    const QString root = tree.path("q");
    const QStringList dirs = {root,           root + "/Ctf",   root + "/ctf",   root + "/.steam",
                              root + "/deep", root + "/Empty", root + "/linked"};
    std::vector<QStringList> fresh;
    for (const QString& dir : dirs)
        for (const auto hidden : {platform::Hidden::Skip, platform::Hidden::Include})
            fresh.push_back(listing(dir, hidden));

    const platform::DirectorySnapshot snapshot = platform::DirectorySnapshot::read(root);
    EXPECT_EQ(snapshot.directoriesHeld(), 1 + 6); // the root and its sub-directories, links too
    tree.file("q/Ctf/added.pak");                 // after the reading: not in what it answers
    {
        const long before = platform::directoriesReadOnThisThread();
        size_t i = 0;
        for (const QString& dir : dirs)
            for (const auto hidden : {platform::Hidden::Skip, platform::Hidden::Include})
                EXPECT_EQ(listing(dir, hidden, &snapshot), fresh.at(i++)) << dir.toStdString();
        // A lookup handed a listing it holds is answered from that listing
        // (the file added since is not there).
        platform::HeldListings probes(&snapshot);
        EXPECT_EQ(platform::findFirstFile(root + "/Ctf/added.pak", &probes), "");
        EXPECT_EQ(platform::findFirstFile(root + "/ctf/progs.dat", &probes), "");
        EXPECT_EQ(platform::findFirstFile(root + "/Ctf/progs.dat", &probes), "PROGS.DAT");
        EXPECT_EQ(platform::findFirstFile(root + "/Ctf/*.pak", &probes), "");
        EXPECT_EQ(platform::directoriesReadOnThisThread(), before);

        // What it does not hold is read from disk, as it is now.
        EXPECT_EQ(listing(root + "/deep/inner", platform::Hidden::Skip, &snapshot),
                  QStringList({"x 0"}));
        EXPECT_EQ(platform::directoriesReadOnThisThread(), before + 1);
        EXPECT_EQ(platform::findFirstFile(root + "/deep/inner/x", &probes), "x");
    }
    // A lookup not handed it sees the disk as it is now.
    EXPECT_EQ(platform::findFirstFile(root + "/Ctf/*.pak"), "added.pak");
}

TEST(Snapshot, AStoppedReadingKeepsWhatItReadAndTheRestComesFromDisk) {
    TempTree tree;
    tree.file("q/a/progs.dat");
    tree.file("q/b/progs.dat");
    const std::atomic<bool> stop{true};
    const auto snapshot = platform::DirectorySnapshot::read(tree.path("q"), &stop);
    EXPECT_EQ(snapshot.directoriesHeld(), 1);
    platform::HeldListings held(&snapshot);
    EXPECT_EQ(platform::findFirstFile(tree.path("q/b/PROGS.DAT"), &held), "progs.dat");
    const auto nothing = platform::DirectorySnapshot::read(tree.path("missing"));
    EXPECT_EQ(nothing.directoriesHeld(), 0);
}
