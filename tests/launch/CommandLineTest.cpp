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

// The words name the program by the command's first word alone (the Quake
// directory is where it is looked for first) and the patch by its
// directory's name; with those two put back as the one-text line spells
// them, they are that line's words.
TEST(CommandLine, WordsAreThoseOfTheOneTextLineWhenNoBlankIsInside) {
    const struct {
        const char* dir;
        const char* command;
        const char* patch;
    } cases[] = {
        {"/home/me/quake", "quake -listen # +map #", "Ctf"},
        {"/q", "WinQuake -listen 8 +map E1M1", "Mymod"},
        {"/q", "\"quake\" -x", "Ctf"},
        {"/q", "quake", ""},
        {"/", "quake", "3wave"},
    };
    for (const auto& c : cases) {
        QStringList words = patchLaunchWords(c.command, c.patch);
        words[0] = QString(c.dir).toUpper() + sep + words[0];
        if (words.size() > 1 && words.last() != "-game")
            words.last() = words.last().toUpper();
        EXPECT_EQ(words, platform::splitWords(patchLaunchCommand(c.dir, c.command, c.patch)))
            << c.dir << " | " << c.command << " | " << c.patch;
    }
    // Blanks before the first word are no word: the program is still "quake".
    EXPECT_EQ(baseWords(" quake -listen 8"), QStringList({"quake", "-listen", "8"}));
    EXPECT_EQ(baseWords("   "), QStringList({""})); // an empty program word
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
