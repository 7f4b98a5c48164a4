#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <unistd.h>

namespace testing_support {

enum class Privileges {
    Unprivileged, // run the test here
    Rerun,        // it ran again as "nobody": return, its result is the rerun's
    Unavailable,  // root, but "nobody" cannot reach the test program: skip
};

namespace detail {
// Whether users other than the owner can reach and run `program`.
inline bool reachableByOthers(const QString& program) {
    QFileInfo at(program);
    if (!(at.permissions() & QFile::ExeOther))
        return false;
    for (QDir dir = at.dir(); !dir.isRoot(); dir.cdUp()) {
        if (!(QFileInfo(dir.absolutePath()).permissions() & QFile::ExeOther))
            return false;
    }
    return true;
}
} // namespace detail

// Root reads and writes every directory, so tests of permission failures run
// again as the unprivileged user "nobody" when the suite runs as root.
inline Privileges privilegesForPermissionTest() {
    if (geteuid() != 0 || qEnvironmentVariableIsSet("RUNEMARK_UNPRIVILEGED"))
        return Privileges::Unprivileged;
    if (!detail::reachableByOthers(QCoreApplication::applicationFilePath()))
        return Privileges::Unavailable;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RUNEMARK_UNPRIVILEGED"), QStringLiteral("1"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/tmp"));
    QProcess rerun;
    rerun.setProcessEnvironment(environment);
    rerun.setProcessChannelMode(QProcess::MergedChannels);
    rerun.setWorkingDirectory(QStringLiteral("/tmp"));
    rerun.start(
        QStringLiteral("setpriv"),
        {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
         QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
         QStringLiteral("--gtest_filter=%1.%2")
             .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()))});
    const bool finished = rerun.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(rerun.readAll());
    EXPECT_TRUE(finished && rerun.exitStatus() == QProcess::NormalExit && rerun.exitCode() == 0)
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    return Privileges::Rerun;
}

} // namespace testing_support

// The first line of a test of permission failures: as root, the test runs
// again as "nobody" and this run ends with that run's result.
#define RUNEMARK_PERMISSION_TEST()                                                                 \
    switch (testing_support::privilegesForPermissionTest()) {                                      \
    case testing_support::Privileges::Rerun:                                                       \
        return;                                                                                    \
    case testing_support::Privileges::Unavailable:                                                 \
        GTEST_SKIP() << "root, and the test program is out of reach of other users";               \
    case testing_support::Privileges::Unprivileged:                                                \
        break;                                                                                     \
    }
