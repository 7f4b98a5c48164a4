#include "platform/Paths.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::resolveCaseAlways;
using testing_support::TempTree;

TEST(ResolveCase, FindsEveryComponentOfAMixedCaseTreeIgnoringCase) {
    TempTree tree;
    tree.file("Quake/ID1/Pak0.PAK");
    EXPECT_EQ(resolveCaseAlways(tree.path("quake/id1/pak0.pak")), tree.path("Quake/ID1/Pak0.PAK"));
    EXPECT_EQ(resolveCaseAlways(tree.path("QUAKE/Id1")), tree.path("Quake/ID1"));
    // A trailing separator stays; a doubled one collapses.
    EXPECT_EQ(resolveCaseAlways(tree.path("quake//id1/")), tree.path("Quake/ID1/"));
}

TEST(ResolveCase, ExactSpellingWinsAndAmbiguousNamesPickTheFirstByCodePoint) {
    TempTree tree;
    tree.dir("q/ctf");
    tree.dir("q/CTF");
    tree.dir("q/Ctf");
    EXPECT_EQ(resolveCaseAlways(tree.path("q/ctf")), tree.path("q/ctf"));
    EXPECT_EQ(resolveCaseAlways(tree.path("q/Ctf")), tree.path("q/Ctf"));
    EXPECT_EQ(resolveCaseAlways(tree.path("q/cTF")), tree.path("q/CTF"));
}

TEST(ResolveCase, KeepsWhatMatchesNothingAndFollowsLinks) {
    TempTree tree;
    tree.file("Quake/id1/pak0.pak");
    EXPECT_EQ(resolveCaseAlways(tree.path("QUAKE/NoSuch/ID1")), tree.path("Quake/NoSuch/ID1"));
    ASSERT_TRUE(QFile::link(tree.path("Quake"), tree.path("Games")));
    EXPECT_EQ(resolveCaseAlways(tree.path("games/ID1/PAK0.pak")), tree.path("Games/id1/pak0.pak"));
    ASSERT_TRUE(QFile::link(tree.path("gone"), tree.path("Dangling")));
    EXPECT_EQ(resolveCaseAlways(tree.path("dangling")), tree.path("Dangling"));
}

TEST(ResolveCase, ResolvesRelativePathsAgainstTheCurrentDirectory) {
    TempTree tree;
    tree.dir("Quake/Rogue");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tree.path()));
    EXPECT_EQ(resolveCaseAlways("quake/ROGUE"), "Quake/Rogue");
    EXPECT_EQ(resolveCaseAlways("-game"), "-game");
    QDir::setCurrent(before);
}

TEST(ResolveCase, FindsTheOnDiskSpellingOnlyWhereTheHostHeedsCase) {
    TempTree tree;
    tree.dir("Quake/ID1");
    const QString asked = tree.path("quake/id1");
    EXPECT_EQ(platform::resolveCase(asked),
              platform::caseSensitiveHost() ? tree.path("Quake/ID1") : asked);
}

TEST(Paths, TrailingSeparatorsGoExceptAtARoot) {
    EXPECT_EQ(platform::withoutTrailingSeparator("/"), "/");
    EXPECT_EQ(platform::withoutTrailingSeparator("/home/me/quake//"), "/home/me/quake");
    EXPECT_EQ(platform::withoutTrailingSeparator("C:\\"), "C:\\");
}
