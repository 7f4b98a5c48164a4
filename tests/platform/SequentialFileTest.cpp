#include "platform/SequentialFile.h"
#include "platform/Error.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>

using platform::FieldReader;
using testing_support::TempTree;

namespace {
QStringList allValues(const QString& text) {
    FieldReader reader(text);
    QStringList values;
    while (auto value = reader.next())
        values.append(*value);
    return values;
}
} // namespace

TEST(FieldReader, ReadsTheSettingsFormat) {
    EXPECT_EQ(allValues("\"C:\\QUAKE\"\r\n\"quake -listen # +map #\"\r\n"),
              QStringList({"C:\\QUAKE", "quake -listen # +map #"}));
    // Quoted values keep their commas; an empty pair of quotes is empty text.
    EXPECT_EQ(allValues("\"a, b\"\r\n\"\"\r\n"), QStringList({"a, b", ""}));
    // Blanks before a value are skipped; after the closing quote, the rest of
    // the field is passed over.
    EXPECT_EQ(allValues("  \"x\" junk,\"y\"\r\n"), QStringList({"x", "y"}));
}

TEST(FieldReader, ReadsADoubledQuoteInsideQuotesAsOne) {
    EXPECT_EQ(allValues("\"quake +name \"\"Player One\"\" +map e1m1\"\r\n\"\"\r\n"),
              QStringList({"quake +name \"Player One\" +map e1m1", ""}));
    EXPECT_EQ(allValues("\"\"\"\"\r\n\"a\"\"\"\r\n"), QStringList({"\"", "a\""}));
    // A single inner quote, as older files hold, still ends the value.
    EXPECT_EQ(allValues("\"quake +name \"Player One\" +map\"\r\n\"b\"\r\n"),
              QStringList({"quake +name ", "b"}));
}

TEST(FieldReader, ReadsUnquotedValuesUpToACommaOrLineEnd) {
    EXPECT_EQ(allValues("C:\\QUAKE\r\nquake -listen\r\n"),
              QStringList({"C:\\QUAKE", "quake -listen"}));
    EXPECT_EQ(allValues("C:\\QUAKE,quake\r\n"), QStringList({"C:\\QUAKE", "quake"}));
    // Nothing is trimmed after the value.
    EXPECT_EQ(allValues("a b \r\n"), QStringList({"a b "}));
}

TEST(FieldReader, AcceptsEveryLineEndAndAMissingOne) {
    EXPECT_EQ(allValues("\"a\"\r\"b\"\r"), QStringList({"a", "b"}));
    EXPECT_EQ(allValues("\"a\"\n\"b\""), QStringList({"a", "b"}));
    EXPECT_EQ(allValues("a\nb"), QStringList({"a", "b"}));
    EXPECT_EQ(allValues("\"unclosed\r\nrest"), QStringList({"unclosed\r\nrest"}));
    EXPECT_EQ(allValues(""), QStringList());
}

TEST(OutputFile, WritesQuotedRecordsWithCrLfByteForByte) {
    TempTree tree;
    const QString path = tree.path("runemark.ini");
    platform::OutputFile out(path);
    out.writeRecord("C:\\QUAKE");
    out.writeRecord("quake -listen # +map #");
    out.close();
    const QByteArray bytes = tree.read("runemark.ini");
    EXPECT_EQ(bytes, QByteArray("\"C:\\QUAKE\"\r\n\"quake -listen # +map #\"\r\n"));
    // Nothing else is left beside it.
    EXPECT_EQ(QDir(tree.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({"runemark.ini"}));
}

TEST(OutputFile, DoublesQuotesInsideAValue) {
    TempTree tree;
    platform::OutputFile out(tree.path("runemark.ini"));
    out.writeRecord("quake +name \"Player One\"");
    out.close();
    EXPECT_EQ(tree.read("runemark.ini"), "\"quake +name \"\"Player One\"\"\"\r\n");
}

TEST(OutputFile, ReplacesTheOldContentAndKeepsItWhenTheWriteIsAbandoned) {
    TempTree tree;
    const QString path = tree.file("runemark.ini", "old content");
    {
        platform::OutputFile out(path);
        out.writeRecord("new");
        // Destroyed without close(): the old file must stay as it was.
    }
    EXPECT_EQ(tree.read("runemark.ini"), "old content");
    platform::OutputFile out(path);
    out.writeRecord("");
    out.close();
    EXPECT_EQ(tree.read("runemark.ini"), "\"\"\r\n");
}

TEST(OutputFile, ALoopOfLinksIsRefusedAndEachLinkStaysALink) {
    TempTree tree;
    ASSERT_TRUE(QFile::link("b.ini", tree.path("a.ini")));
    ASSERT_TRUE(QFile::link("c.ini", tree.path("b.ini")));
    ASSERT_TRUE(QFile::link("a.ini", tree.path("c.ini")));
    try {
        platform::OutputFile out(tree.path("a.ini"));
        out.writeRecord("x");
        out.close();
        FAIL() << "expected an error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.subject(), tree.path("a.ini"));
        EXPECT_EQ(error.reason(), platform::systemReason(ELOOP));
    }
    for (const char* name : {"a.ini", "b.ini", "c.ini"})
        EXPECT_TRUE(QFileInfo(tree.path(name)).isSymLink()) << name;
    EXPECT_EQ(QDir(tree.path()).entryList(QDir::Files | QDir::System).size(), 3);
}

TEST(SequentialFiles, FailuresNameTheFileAndTheReason) {
    TempTree tree;
    tree.file("blocker", "a file where a directory should be");
    try {
        platform::OutputFile out(tree.path("blocker/runemark.ini"));
        out.close();
        FAIL() << "expected an error";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(
            error.message().startsWith("Cannot write " + tree.path("blocker/runemark.ini") + ": "))
            << error.message().toStdString();
        EXPECT_FALSE(error.reason().isEmpty());
    }
    EXPECT_THROW(platform::InputFile(tree.path("missing.ini")), platform::Error);
}

TEST(InputFile, ReadsCharactersAsStoredLineBreaksIncluded) {
    TempTree tree;
    platform::InputFile in(tree.file("MANUAL.RM", "line one\r\nline two\r\n"));
    EXPECT_EQ(in.length(), 20);
    EXPECT_EQ(in.readChars(in.length()), "line one\r\nline two\r\n");
}
