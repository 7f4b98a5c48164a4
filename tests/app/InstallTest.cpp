#include "app/StartUp.h"
#include "platform/SequentialFile.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using testing_support::TempTree;

namespace {
int run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
} // namespace

// Installs the built program into a fresh prefix, as a package would, and
// checks that it finds its manual there and that its desktop files are valid.
TEST(Install, TheInstalledProgramFindsItsManualAndIsADesktopApplication) {
    TempTree stage;
    QString log;
    ASSERT_EQ(run("cmake", {"--install", RUNEMARK_BINARY_DIR, "--prefix", stage.path()}, &log), 0)
        << log;
    const QString share = stage.path("share");
    const QString desktop = share + "/applications/org.runemark.Runemark.desktop";
    const QString metainfo = share + "/metainfo/org.runemark.Runemark.metainfo.xml";
    EXPECT_TRUE(QFileInfo(stage.path("bin/runemark")).isExecutable());
    EXPECT_TRUE(QFile::exists(share + "/icons/hicolor/48x48/apps/org.runemark.Runemark.png"));

    TempTree elsewhere; // started from a directory without a manual
    QFile source(RUNEMARK_SOURCE_DIR "/data/MANUAL.RM");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(app::loadManual(app::manualPlaces(elsewhere.path(), stage.path("bin"))),
              platform::decodeText(source.readAll()));

    ASSERT_EQ(run("desktop-file-validate", {desktop}, &log), 0) << log;
    if (!QStandardPaths::findExecutable("appstreamcli").isEmpty()) {
        EXPECT_EQ(run("appstreamcli", {"validate", "--no-net", metainfo}, &log), 0) << log;
    }
}
