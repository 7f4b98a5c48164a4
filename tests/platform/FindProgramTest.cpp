#include "platform/Error.h"
#include "platform/Process.h"
#include "support/ScopedPath.h"
#include "support/TempTree.h"
#include "support/Unprivileged.h"

#include <QFile>
#include <gtest/gtest.h>

using platform::findProgram;
using platform::ProgramLookup;
using testing_support::ScopedPath;
using testing_support::TempTree;

namespace {

QString program(const TempTree& tree, const QString& relative) {
    QString path = tree.file(relative, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

QString messageOf(const QString& word, const ProgramLookup& lookup, QString* detail = nullptr) {
    try {
        return "found " + findProgram(word, lookup);
    } catch (const platform::Error& error) {
        if (detail)
            *detail = error.detail();
        return error.message();
    }
}

const QString setting = "\"Program And Command Line\" on the Setup tab";

} // namespace

TEST(FindProgram, TheQuakeDirectorysProgramWinsThenPathThenAnAbsolutePath) {
    TempTree tree;
    const QString inQuake = program(tree, "Quake/DPServer");
    const QString onPath = program(tree, "bin/dpserver");
    const QString other = program(tree, "usr/games/quakespasm");
    const QString appImage = program(tree, "Apps/Ironwail.AppImage");
    tree.dir("Quake/quakespasm.d"); // a directory is no program
    tree.dir("Quake/vkquake");
    program(tree, "usr/games/vkquake");
    ScopedPath path(tree.path("bin") + ":" + tree.path("usr/games"));
    const ProgramLookup lookup{tree.path("QUAKE"), setting, {}};

    // Letter case ignored in the Quake directory, which comes first.
    EXPECT_EQ(findProgram("dpserver", lookup), inQuake);
    // None there: a bare name is found on PATH, in PATH's order.
    EXPECT_EQ(findProgram("quakespasm", lookup), other);
    EXPECT_EQ(findProgram("vkquake", lookup), tree.path("usr/games/vkquake"));
    // Without the Quake directory, PATH alone.
    EXPECT_EQ(findProgram("dpserver", {}), onPath);
    // A full path stands as it is, its letter case resolved (the command
    // line reaches here lower-cased).
    EXPECT_EQ(findProgram(tree.path("apps/ironwail.appimage"), lookup), appImage);
    // A relative path is the Quake directory's.
    program(tree, "Quake/bin/Engine");
    EXPECT_EQ(findProgram("bin/engine", lookup), tree.path("Quake/bin/Engine"));
}

TEST(FindProgram, NamesEveryPlaceTriedAsOnDiskAndWhereToCorrectIt) {
    TempTree tree;
    tree.dir("Quake");
    ScopedPath path(tree.dir("bin") + "::" + tree.dir("bin") + ":" + tree.dir("games"));
    const ProgramLookup lookup{tree.path("QUAKE"), setting, {}};

    // The message stays short whatever PATH holds; the places tried, one a
    // line, are its detail.
    QString detail;
    EXPECT_EQ(messageOf("quakespasm", lookup, &detail),
              "Cannot start quakespasm: No such program. Correct it in " + setting + ".");
    EXPECT_EQ(detail, "Looked for:\n  " + tree.path("Quake/quakespasm") +
                          "\nand in the search path (PATH):\n  " + tree.path("bin") + "\n  .\n  " +
                          tree.path("games"));
    const QString missing = tree.path("apps/ironwail.appimage");
    EXPECT_EQ(messageOf(missing, lookup, &detail),
              "Cannot start " + missing + ": No such program. Correct it in " + setting + ".");
    EXPECT_EQ(detail, "Looked for:\n  " + tree.path("Quake") + missing + "\n  " + missing);
    {
        ScopedPath none(tree.path("bin"));
        EXPECT_EQ(messageOf("quakespasm", {}, &detail),
                  "Cannot start quakespasm: No such program.");
        EXPECT_EQ(detail, "Looked in the search path (PATH):\n  " + tree.path("bin"));
    }
    EXPECT_EQ(messageOf("", lookup), "No program is given: type one in " + setting);
    EXPECT_EQ(messageOf("", {}), "No program is given");
}

TEST(FindProgram, AFileThatCannotRunIsNamedWithTheSystemsReason) {
    RUNEMARK_PERMISSION_TEST();
    TempTree tree;
    tree.file("Quake/quake", "data");
    program(tree, "bin/quake");
    ScopedPath path(tree.path("bin"));
    // The Quake directory's file of that name is the program, and cannot run.
    EXPECT_EQ(messageOf("quake", {tree.path("Quake"), setting, {}}),
              "Cannot start " + tree.path("Quake/quake") + ": Permission denied");
}
