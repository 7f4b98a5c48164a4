// Where the desktop keeps a user's configuration, and making it.

#include "platform/UserDirectories.h"
#include "platform/Error.h"

#include "support/ScopedVariable.h"
#include "support/TempTree.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(UserDirectories, ConfigurationDirectoryFollowsTheXdgRule) {
    const ScopedVariable home("HOME", QString("/home/player"));
    {
        const ScopedVariable unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(platform::userConfigDirectory(), "/home/player/.config");
    }
    for (const char* ignored : {"", "relative/config", "./x"}) {
        const ScopedVariable config("XDG_CONFIG_HOME", QString(ignored));
        EXPECT_EQ(platform::userConfigDirectory(), "/home/player/.config") << ignored;
    }
    const ScopedVariable config("XDG_CONFIG_HOME", QString("/srv/conf/"));
    EXPECT_EQ(platform::userConfigDirectory(), "/srv/conf");
}

TEST(UserDirectories, MissingDirectoriesAreMadeForTheOwnerAloneOrTheRefusalNamed) {
    TempTree tree;
    platform::makeDirectories(tree.path("config/runemark"));
    for (const char* made : {"config", "config/runemark"}) {
        const QFileInfo dir(tree.path(made));
        EXPECT_TRUE(dir.isDir());
        EXPECT_EQ(dir.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                       QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
                  QFile::Permissions());
    }
    platform::makeDirectories(tree.path("config/runemark")); // there already: nothing to do

    tree.file("file", "x");
    try {
        platform::makeDirectories(tree.path("file/runemark"));
        FAIL() << "made a directory under a file";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create the directory " +
                                               tree.path("file/runemark") + ": "))
            << error.message().toStdString();
    }
}
