#include "launch/CommandLine.h"
#include "platform/Process.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

using namespace launch;

// Blanks before the first word are no word: the program is still "quake".
TEST(CommandLine, TheProgramIsTheFirstWordOfTheLowerCasedCommand) {
    EXPECT_EQ(baseWords(" Quake -listen 8"), QStringList({"quake", "-listen", "8"}));
    EXPECT_EQ(baseWords("   "), QStringList({""})); // an empty program word
    EXPECT_EQ(patchLaunchWords("quake", ""), QStringList({"quake", "-game"}));
}

TEST(CommandLine, BlanksInThePatchStayInsideTheirWord) {
    EXPECT_EQ(patchLaunchWords("Quake -listen 8", "arcane dimensions"),
              QStringList({"quake", "-listen", "8", "-game", "arcane dimensions"}));
    // Shell metacharacters are plain characters of plain words.
    EXPECT_EQ(patchLaunchWords("quake; rm -rf ~", "$(reboot)|x"),
              QStringList({"quake;", "rm", "-rf", "~", "-game", "$(reboot)|x"}));
    // The program is looked for in the Quake directory first, and the
    // messages send the user to the Setup tab's command line.
    const platform::ProgramLookup lookup = engineLookup("/home/me/quake");
    EXPECT_EQ(lookup.home, "/home/me/quake");
    EXPECT_EQ(lookup.setting, "\"Program And Command Line\" on the Setup tab");
}

TEST(CommandLine, ApprovedGamesMatchTheirTitlesExactly) {
    QStringList words;
    EXPECT_TRUE(approvedGameWords("Default Game", &words));
    EXPECT_TRUE(words.isEmpty());
    EXPECT_TRUE(approvedGameWords("Scourge Of The Armageddon", &words));
    EXPECT_EQ(words, QStringList({"-game", "HIPNOTIC"}));
    EXPECT_TRUE(approvedGameWords("Dissolution Of Eternity", &words));
    EXPECT_EQ(words, QStringList({"-game", "ROGUE"}));
    EXPECT_FALSE(approvedGameWords("default game", &words));
    EXPECT_FALSE(approvedGameWords(" Default Game", &words));
    EXPECT_FALSE(approvedGameWords("", &words));
}
