// The readers of a patch's own files, on paks and maps built byte by byte.
#include "content/Bsp.h"
#include "content/Pak.h"
#include "content/PatchFacts.h"

#include "support/TempTree.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using testing_support::TempTree;

QByteArray le32(qint64 value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A map of the header's first lump alone: its identification, then the
// entity lump right after.
QByteArray bsp(const QByteArray& entities, const QByteArray& ident = le32(29)) {
    return ident + le32(12) + le32(entities.size()) + entities;
}

QByteArray worldspawn(const QByteArray& message) {
    return "{\n\"classname\" \"worldspawn\"\n\"message\" \"" + message + "\"\n}\n{ }";
}

QByteArray pak(const std::vector<std::pair<QByteArray, QByteArray>>& files) {
    QByteArray data;
    QByteArray directory;
    for (const auto& [name, bytes] : files) {
        directory +=
            name.leftJustified(56, '\0', true) + le32(12 + data.size()) + le32(bytes.size());
        data += bytes;
    }
    return "PACK" + le32(12 + data.size()) + le32(directory.size()) + data + directory;
}

std::vector<std::pair<QString, QString>> mapsOf(const content::PatchFacts& facts) {
    std::vector<std::pair<QString, QString>> maps;
    for (const content::MapFacts& map : facts.maps)
        maps.emplace_back(map.name, map.title);
    return maps;
}

TEST(PatchFacts, ATitleComesFromDescriptIonThenTheTableThenTheStartMapElseNone) {
    TempTree tree;
    tree.file("given/DESCRIPT.ION", "\r\n   \nA Patch Of One's Own\r\nsecond line\n");
    tree.file("given/maps/start.bsp", bsp(worldspawn("Not this")));
    tree.file("MG1/pak0.pak", pak({{"maps/start.bsp", bsp(worldspawn("Not this either"))}}));
    tree.file("fromstart/maps/start.bsp",
              bsp(worldspawn("The \xc8\xe1ll\\nof \x12\x1b Doors"), "BSP2"));
    tree.file("none/progs.dat");
    EXPECT_EQ(content::readPatch(tree.path("given")).title, "A Patch Of One's Own");
    EXPECT_EQ(content::readPatch(tree.path("MG1")).title, "Dimension of the Machine");
    EXPECT_EQ(content::officialTitle("dopa"), "Dimension of the Past");
    // Quake's coloured letters, a written line break and its digit glyphs.
    EXPECT_EQ(content::readPatch(tree.path("fromstart")).title, "The Hall of 09 Doors");
    EXPECT_EQ(content::readPatch(tree.path("none")).title, "");
}

TEST(PatchFacts, MapsComeLooseAndFromPaksOnceEachWithTitlesAndTheReadMeByTheMenusRule) {
    TempTree tree;
    tree.file("p/Maps/E1M1.BSP", bsp(worldspawn("Loose, hidden by the pak"), "2PSB"));
    tree.file("p/Maps/loose.bsp", bsp(worldspawn("Only loose")));
    tree.file("p/Maps/notamap.txt");
    tree.file("p/PAK0.PAK", pak({{"maps/e1m1.bsp", bsp(worldspawn("Old"))},
                                 {"maps/b.bsp", bsp("{ \"classname\" \"worldspawn\" }")},
                                 {"maps/sub/c.bsp", bsp(worldspawn("In a folder"))},
                                 {"progs.dat", "x"}}));
    tree.file("p/pak1.pak", pak({{"MAPS/E1m1.bsp", bsp(worldspawn("New"))}}));
    tree.file("p/readme.txt");
    tree.file("p/p_notes.txt");
    const content::PatchFacts facts = content::readPatch(tree.path("p"));
    const std::vector<std::pair<QString, QString>> expected = {
        {"b", ""}, {"E1m1", "New"}, {"loose", "Only loose"}};
    EXPECT_EQ(mapsOf(facts), expected);
    EXPECT_EQ(facts.readme, "p_notes.txt");
}

TEST(Readers, BadFilesGiveLessNeverACrashOrAReadOfTheWholeFile) {
    const QByteArray good = pak({{"maps/a.bsp", bsp(worldspawn("A"))}});
    const auto entries = [](const QByteArray& bytes) {
        return content::pakDirectory(bytes.size(), content::readFrom(bytes)).size();
    };
    EXPECT_EQ(entries(good), 1U);
    EXPECT_EQ(entries(good.left(40)), 0U);                                 // truncated
    EXPECT_EQ(entries(QByteArray(good).replace(4, 4, le32(1 << 20))), 0U); // directory past the end
    EXPECT_EQ(entries(QByteArray(good).replace(8, 4, le32(0x7fffffc0))),
              0U); // a count that overflows
    QByteArray unended = good;
    unended.replace(unended.size() - 64, 56, QByteArray(56, 'n'));
    EXPECT_EQ(entries(unended), 0U); // a name without its zero
    QByteArray outside = good;
    outside.replace(outside.size() - 8, 4, le32(1 << 20));
    EXPECT_EQ(entries(outside), 0U); // a file past the end

    const auto title = [](const QByteArray& bytes) {
        return content::mapTitle(bytes.size(), content::readFrom(bytes));
    };
    EXPECT_EQ(title(bsp(worldspawn("A"))), "A");
    EXPECT_EQ(title(bsp(worldspawn("A"), le32(30))), ""); // another format
    EXPECT_EQ(title(bsp(worldspawn("A")).left(30)), "");  // lump past the end
    EXPECT_EQ(title(bsp(worldspawn("bell \x07"))), "");   // not text
    EXPECT_EQ(title(bsp("{ \"message\" \"never closed")), "");
    // An entity that never ends within the cap: at most the cap is read.
    const QByteArray huge = bsp("{ \"message\" \"A\" " + QByteArray(3 << 20, ' '));
    qint64 asked = 0;
    const content::ReadAt reader = content::readFrom(huge);
    EXPECT_EQ(content::mapTitle(huge.size(),
                                [&](qint64 offset, qint64 length) {
                                    asked += length;
                                    return reader(offset, length);
                                }),
              "");
    EXPECT_LE(asked, content::MaxEntityLumpRead + 12);

    EXPECT_EQ(content::descriptionTitle(QByteArray("\x00\x01\xff\xfe", 4)), "");
    // Not UTF-8, as DOS and Windows tools wrote it: still a title.
    EXPECT_EQ(content::descriptionTitle("Caf\xe9 de la \x93mort\x94\r\n"),
              QString::fromUtf8("Café de la “mort”"));
    TempTree tree;
    QFile huge2(tree.file("big/descript.ion", ""));
    ASSERT_TRUE(huge2.resize(qint64(2) << 30)); // sparse: nothing is written
    EXPECT_EQ(content::readPatch(tree.path("big")).title, "");
}

} // namespace
