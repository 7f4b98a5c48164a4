#include "app/StartUp.h"
#include "platform/SequentialFile.h"
#include "platform/Version.h"
#include "support/TempTree.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using testing_support::TempTree;

namespace {
struct Finished {
    int code = -1; // -1: did not finish normally
    QString out;
    QString err;
};

Finished
runSplit(const QString& program, const QStringList& arguments,
         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Finished result;
    if (!process.waitForFinished(120000))
        return result;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        result.code = process.exitCode();
    return result;
}

int run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    const Finished done = runSplit(program, arguments);
    if (output)
        *output = done.out + done.err;
    return done.code;
}

bool have(const QString& tool) {
    return !QStandardPaths::findExecutable(tool).isEmpty();
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
    if (have("appstreamcli")) {
        EXPECT_EQ(run("appstreamcli", {"validate", "--no-net", metainfo}, &log), 0) << log;
    }
}

// --help and --version answer on the real program and end it, without a
// display; anything else is refused with the usage and a failing status.
TEST(Install, TheProgramAnswersHelpAndVersionAndRefusesOtherArguments) {
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(name);
    const QString version = QStringLiteral("Runemark %1.%2.%3\n")
                                .arg(platform::Version::major)
                                .arg(platform::Version::minor)
                                .arg(platform::Version::revision);

    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const Finished done = runSplit(RUNEMARK_PROGRAM, {option}, headless);
        EXPECT_EQ(done.code, 0) << option << done.err;
        EXPECT_EQ(done.out, version) << option;
        EXPECT_EQ(done.err, "") << option;
    }
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Finished done = runSplit(RUNEMARK_PROGRAM, {option}, headless);
        EXPECT_EQ(done.code, 0) << option << done.err;
        EXPECT_TRUE(done.out.startsWith("Usage: ")) << done.out.toStdString();
        EXPECT_TRUE(done.out.contains("--version")) << done.out.toStdString();
        EXPECT_TRUE(done.out.contains("runemark.ini")) << done.out.toStdString();
        EXPECT_EQ(done.err, "") << option;
    }

    // Unknown options, stray words and a bare "--" print why on stderr, then
    // the usage; nothing reaches stdout and no window is attempted.
    const QList<std::pair<QStringList, QString>> refused = {
        {{"--frobnicate"}, "Unknown option 'frobnicate'."},
        {{"-x"}, "Unknown option 'x'."},
        {{"/home/player/quake"}, "Unexpected argument '/home/player/quake'."},
        {{"--version", "extra"}, "Unexpected argument 'extra'."},
        {{"--"}, "Only --help and --version"},
        {{"-platform", "offscreen"}, "Unknown option"},
    };
    for (const auto& [arguments, reason] : refused) {
        const Finished done = runSplit(RUNEMARK_PROGRAM, arguments, headless);
        const std::string what = arguments.join(' ').toStdString();
        EXPECT_EQ(done.code, 2) << what;
        EXPECT_EQ(done.out, "") << what;
        EXPECT_TRUE(done.err.startsWith("runemark: " + reason))
            << what << ": " << done.err.toStdString();
        EXPECT_TRUE(done.err.contains("Usage: ")) << what;
    }
}

// The Debian package built from this tree with CPack: its name, control
// fields and files. Needs the tools CPack's Debian generator runs.
TEST(Install, TheDebianPackageHoldsTheInstalledFilesAndTheManualPage) {
    for (const char* tool : {"cpack", "dpkg", "dpkg-deb", "dpkg-shlibdeps", "file", "strip"}) {
        if (!have(tool))
            GTEST_SKIP() << tool << " is not installed";
    }
    TempTree out;
    QString log;
    ASSERT_EQ(
        run("cpack",
            {"-G", "DEB", "--config", RUNEMARK_BINARY_DIR "/CPackConfig.cmake", "-B", out.path()},
            &log),
        0)
        << log.toStdString();
    QString arch;
    ASSERT_EQ(run("dpkg", {"--print-architecture"}, &arch), 0);
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(platform::Version::major)
                                .arg(platform::Version::minor)
                                .arg(platform::Version::revision);
    const QString deb = out.path(QStringLiteral("runemark_%1_%2.deb").arg(version, arch.trimmed()));
    ASSERT_TRUE(QFile::exists(deb)) << log.toStdString();

    const auto field = [&](const QString& name) {
        QString value;
        EXPECT_EQ(run("dpkg-deb", {"-f", deb, name}, &value), 0) << name.toStdString();
        return value.trimmed();
    };
    EXPECT_EQ(field("Package"), "runemark");
    EXPECT_EQ(field("Version"), version);
    EXPECT_EQ(field("Section"), "games");
    // Computed from the program by dpkg-shlibdeps, with versions.
    const QString depends = field("Depends");
    for (const char* library : {"libc6 (>=", "libqt6core6 (>=", "libqt6widgets6 (>="})
        EXPECT_TRUE(depends.contains(library)) << library << " in " << depends.toStdString();

    QString listing;
    ASSERT_EQ(run("dpkg-deb", {"-c", deb}, &listing), 0);
    QStringList files;
    for (const QString& line : listing.split('\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith('d'))
            files.append(line.section(' ', -1));
    }
    files.sort();
    const QStringList expected = {
        "./usr/" RUNEMARK_INSTALL_BINDIR "/runemark",
        "./usr/share/applications/org.runemark.Runemark.desktop",
        "./usr/share/doc/runemark/changelog.gz",
        "./usr/share/doc/runemark/copyright",
        "./usr/share/icons/hicolor/48x48/apps/org.runemark.Runemark.png",
        "./usr/share/man/man6/runemark.6.gz",
        "./usr/share/metainfo/org.runemark.Runemark.metainfo.xml",
        "./usr/share/runemark/MANUAL.RM",
    };
    EXPECT_EQ(files, expected);

    // The manual page is compressed without a time stamp (gzip -n) and names
    // this version.
    TempTree unpacked;
    ASSERT_EQ(run("dpkg-deb", {"-x", deb, unpacked.path()}, &log), 0) << log.toStdString();
    const QByteArray page = unpacked.read("usr/share/man/man6/runemark.6.gz");
    ASSERT_GT(page.size(), 10);
    EXPECT_EQ(page.mid(4, 4), QByteArray(4, '\0')) << "gzip header holds a time stamp";
    QString text;
    ASSERT_EQ(run("gzip", {"-dc", unpacked.path("usr/share/man/man6/runemark.6.gz")}, &text), 0);
    EXPECT_TRUE(text.contains(".TH RUNEMARK 6 ")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("\"Runemark " + version + "\""));
}
