#include "state/SettingsFile.h"
#include "platform/Error.h"
#include "support/Harness.h"
#include "support/QuakeTree.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(SettingsFile, WriterAndReaderRoundTripByteForByte) {
    TempTree tree;
    const QString path = tree.path("runemark.ini");
    state::writeSettings(path, "C:\\QUAKE", "quake -listen # +map #");
    EXPECT_EQ(tree.read("runemark.ini"), "\"C:\\QUAKE\"\r\n\"quake -listen # +map #\"\r\n");

    state::writeSettings(path, "/home/me/My Games/quake", "quake -listen 8, +map e1m1");
    const state::SettingsRead read = state::tryReadSettings(path);
    EXPECT_TRUE(read.problem.isEmpty());
    EXPECT_EQ(read.values, QStringList({"/home/me/My Games/quake", "quake -listen 8, +map e1m1"}));

    state::writeSettings(path, "/q", "");
    EXPECT_EQ(tree.read("runemark.ini"), "\"/q\"\r\n\"\"\r\n");
    EXPECT_EQ(state::tryReadSettings(path).values, QStringList({"/q", ""}));
}

TEST(SettingsFile, ReadsWhatUsersTypeByHand) {
    TempTree tree;
    const QString path = tree.file("runemark.ini", "C:\\QUAKE\r\nquake -listen\r\nextra line\r\n");
    EXPECT_EQ(state::tryReadSettings(path).values, QStringList({"C:\\QUAKE", "quake -listen"}));
    // An unquoted comma cuts the value; the rest is the next value.
    tree.file("runemark.ini", "C:\\QUAKE,quake\r\n");
    EXPECT_EQ(state::tryReadSettings(path).values, QStringList({"C:\\QUAKE", "quake"}));
}

TEST(SettingsFile, ProblemsNameTheFile) {
    TempTree tree;
    const QString path = tree.file("runemark.ini", "\"/only/one\"\r\n");
    const state::SettingsRead read = state::tryReadSettings(path);
    EXPECT_EQ(read.values, QStringList({"/only/one"}));
    EXPECT_EQ(read.problem,
              "Cannot read the settings file " + path + ": it holds only 1 of its two values");
    EXPECT_TRUE(state::tryReadSettings(tree.path("none.ini")).problem.contains("none.ini"));

    Harness h(tree.path());
    EXPECT_THROW(state::readSettings(*h.ctx), platform::Error);
}

TEST(SettingsFile, IsTheOneInTheStartDirectoryWhereverTheProcessMovesLater) {
    TempTree tree;
    tree.file("start/runemark.ini", "\"/q\"\r\n\"quake\"\r\n");
    Harness h(tree.path("start"));
    EXPECT_EQ(h.ctx->settingsFile, tree.path("start/runemark.ini"));
    // Without one there, the per-user file is the one for the whole run.
    Harness elsewhere(tree.dir("elsewhere"));
    EXPECT_EQ(elsewhere.ctx->settingsFile, perUserIni());
}
