#include "platform/DirectoryListing.h"
#include "platform/FileLookup.h"
#include "platform/Wildcard.h"
#include "support/TempTree.h"

#include <QStringList>
#include <gtest/gtest.h>

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
