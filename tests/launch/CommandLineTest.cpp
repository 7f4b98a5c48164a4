#include "launch/CommandLine.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

using namespace launch;

namespace {
const QString sep = platform::separator();
}

TEST(CommandLine, ComposesThePatchLaunchWithCaseConversionOnly) {
    EXPECT_EQ(patchLaunchCommand("c:\\games\\quake", "WinQuake -listen 8 +map E1M1", "Ctf"),
              "C:\\GAMES\\QUAKE" + sep + "winquake -listen 8 +map e1m1 -game CTF");
    // The offered lines' "#" marks pass unchanged; nothing is trimmed.
    EXPECT_EQ(baseCommand("/q", " quake -listen # +map # "),
              "/Q" + sep + " quake -listen # +map # ");
    // A root directory gives a doubled separator, started as it is.
    EXPECT_EQ(baseCommand(sep, "quake"), sep + sep + "quake");
    // No selection: the line ends with " -game ".
    EXPECT_EQ(patchLaunchCommand("/q", "quake", ""), "/Q" + sep + "quake -game ");
    EXPECT_EQ(baseCommand("/q", ""), "/Q" + sep);
}

TEST(CommandLine, WordsAreThoseOfTheOneTextLineWhenNoBlankIsInside) {
    const struct {
        const char* dir;
        const char* command;
        const char* patch;
    } cases[] = {
        {"/home/me/quake", "quake -listen # +map #", "Ctf"},
        {"/q", "WinQuake -listen 8 +map E1M1", "Mymod"},
        {"/q", " quake", "Ctf"},
        {"/q", "", "Ctf"},
        {"/q", "quake", ""},
        {"/", "quake", "3wave"},
        {"/q", "\"quake\" -x", "Ctf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(patchLaunchWords(c.dir, c.command, c.patch),
                  platform::splitWords(patchLaunchCommand(c.dir, c.command, c.patch)))
            << c.dir << " | " << c.command << " | " << c.patch;
    }
}

TEST(CommandLine, BlanksInTheDirectoryOrPatchStayInsideTheirWord) {
    EXPECT_EQ(patchLaunchWords("/home/me/My Games/quake", "quake -listen 8", "Arcane dimensions"),
              QStringList({"/HOME/ME/MY GAMES/QUAKE" + sep + "quake", "-listen", "8", "-game",
                           "ARCANE DIMENSIONS"}));
    // Shell metacharacters are plain characters of plain words.
    EXPECT_EQ(patchLaunchWords("/q", "quake; rm -rf ~", "$(reboot)|x"),
              QStringList({"/Q" + sep + "quake;", "rm", "-rf", "~", "-game", "$(REBOOT)|X"}));
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
