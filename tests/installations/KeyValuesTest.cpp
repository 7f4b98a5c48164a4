// Valve's KeyValues text as Steam writes it and as it reaches us: edited by
// hand, cut short by a full disk, or not KeyValues at all.

#include "installations/KeyValues.h"

#include "support/StoreTree.h"

#include <gtest/gtest.h>

using installations::findEntry;
using installations::KeyValue;
using installations::readKeyValues;

namespace {

// The "path" of library `number` in a libraryfolders.vdf read, if any.
QString libraryPath(const std::vector<KeyValue>& entries, const QString& number) {
    const KeyValue* folders = findEntry(entries, u"libraryfolders");
    const KeyValue* library = folders ? folders->find(number) : nullptr;
    const KeyValue* path = library ? library->find(u"path") : nullptr;
    return path ? path->value : QString();
}

int depth(const std::vector<KeyValue>& entries) {
    int deepest = 0;
    for (const KeyValue& entry : entries)
        deepest = std::max(deepest, entry.isBlock ? 1 + depth(entry.block) : 0);
    return deepest;
}

const QByteArray steamsOwn =
    ("\"libraryfolders\"\n{\n" +
     testing_support::steamLibraryEntry(0, "/home/me/.local/share/Steam", {"228980"}) +
     testing_support::steamLibraryEntry(1, "/mnt/disk2/SteamLibrary", {"2310", "1007"}) + "}\n")
        .toUtf8();

} // namespace

TEST(KeyValues, ReadsSteamsLibraryListWithItsTabsAndNestedBlocks) {
    const auto entries = readKeyValues(steamsOwn);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(libraryPath(entries, "0"), "/home/me/.local/share/Steam");
    EXPECT_EQ(libraryPath(entries, "1"), "/mnt/disk2/SteamLibrary");
    const KeyValue* folders = findEntry(entries, u"LibraryFolders");
    ASSERT_NE(folders, nullptr);
    const KeyValue* second = folders->find(u"1");
    ASSERT_NE(second, nullptr);
    const KeyValue* apps = second->find(u"apps");
    ASSERT_TRUE(apps && apps->isBlock);
    ASSERT_EQ(apps->block.size(), 2u);
    EXPECT_EQ(apps->block[0].key, "2310");
    EXPECT_EQ(apps->block[1].key, "1007"); // the file's order
}

TEST(KeyValues, EscapesBareWordsCommentsAndConditionsAsRealFilesHoldThem) {
    const auto entries = readKeyValues("// written by hand\n"
                                       "\"AppState\" {\n"
                                       "  \"name\" \"Quake \\\"Enhanced\\\"\" // a comment\n"
                                       "  \"dir\" \"C:\\\\Games\\\\Quake\"\n"
                                       "  \"typed\" \"C:\\Games\"\n"
                                       "  installdir Quake [$LINUX]\n"
                                       "  \"unknown\" { \"deeper\" { \"x\" \"y\" } }\n"
                                       "  \"lines\" \"a\\nb\\tc\"\n"
                                       "}\n");
    const KeyValue* state = findEntry(entries, u"appstate");
    ASSERT_TRUE(state && state->isBlock);
    EXPECT_EQ(state->find(u"name")->value, "Quake \"Enhanced\"");
    EXPECT_EQ(state->find(u"dir")->value, "C:\\Games\\Quake");
    EXPECT_EQ(state->find(u"typed")->value, "C:\\Games"); // not an escape: kept
    EXPECT_EQ(state->find(u"installdir")->value, "Quake");
    EXPECT_EQ(state->find(u"lines")->value, "a\nb\tc");
    EXPECT_EQ(state->find(u"unknown")->find(u"deeper")->find(u"x")->value, "y");
}

TEST(KeyValues, AFileCutShortGivesOnlyWhatWasReadWhole) {
    // Cut at every byte: a library's path is either whole or not there.
    for (qsizetype cut = 0; cut <= steamsOwn.size(); ++cut) {
        const auto entries = readKeyValues(steamsOwn.left(cut));
        for (const char* number : {"0", "1"}) {
            const QString path = libraryPath(entries, number);
            EXPECT_TRUE(path.isEmpty() || path == "/home/me/.local/share/Steam" ||
                        path == "/mnt/disk2/SteamLibrary")
                << "cut at " << cut << ": " << path.toStdString();
        }
    }
    EXPECT_EQ(libraryPath(readKeyValues(steamsOwn.left(steamsOwn.size() - 3)), "1"),
              "/mnt/disk2/SteamLibrary"); // the closing braces lost
}

TEST(KeyValues, WhatIsNotKeyValuesGivesLittleAndNeverFails) {
    EXPECT_TRUE(readKeyValues({}).empty());
    EXPECT_TRUE(readKeyValues("}}}}").empty());
    EXPECT_TRUE(readKeyValues(QByteArray("\0\xff\xfe\x01{", 5)).size() <= 1);
    EXPECT_TRUE(readKeyValues("\"unterminated").empty());
    EXPECT_EQ(readKeyValues("{\"a\" \"b\"}").front().find(u"a")->value, "b");
    // Deep nesting is bounded, so neither reading nor tearing down runs out
    // of stack, and what follows the deep part is still read.
    const QByteArray deep =
        QByteArray(100000, '{') + QByteArray(100000, '}') + "\"after\" \"read\"";
    const auto entries = readKeyValues(deep);
    EXPECT_LE(depth(entries), installations::KeyValuesMaxDepth);
    ASSERT_NE(findEntry(entries, u"after"), nullptr);
    EXPECT_EQ(findEntry(entries, u"after")->value, "read");
}
