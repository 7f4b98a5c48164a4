#include "support/Harness.h"
#include "support/QuakeTree.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <gtest/gtest.h>

using namespace testing_support;

// Takes a picture of every tab and About page of the loaded window, so a
// person can look at them (they land in RUNEMARK_SHOTS, else the build dir).
TEST(Screenshots, EveryTabAndAboutPage) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    tree.file("quake/Arcane Dimensions/pak0.pak");
    tree.file("quake/3wave/progs.dat");
    writeIni(tree, quake, "quake -listen # +map #");
    QFile manual(QStringLiteral(RUNEMARK_SOURCE_DIR "/data/MANUAL.RM"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    tree.file("start/MANUAL.RM", manual.readAll());
    Harness h(tree.dir("start"));
    h.load();
    ASSERT_TRUE(h.reported.isEmpty());

    const QString out = qEnvironmentVariable("RUNEMARK_SHOTS", QDir::currentPath() + "/shots");
    QDir().mkpath(out);
    const QString suffix =
        QGuiApplication::platformName() + "-x" + qEnvironmentVariable("QT_SCALE_FACTOR", "1");
    const char* tabs[] = {"play", "setup", "about"};
    const char* about[] = {"manual", "credits", "legal"};
    for (int tab = 0; tab < 3; ++tab) {
        h.form->SSTab1->setTab(tab);
        QCoreApplication::processEvents();
        EXPECT_TRUE(h.form->grab().save(out + QString("/%1-%2.png").arg(tabs[tab], suffix)));
    }
    for (int page = 0; page < 3; ++page) {
        h.form->SSTab2->setTab(page);
        QCoreApplication::processEvents();
        EXPECT_TRUE(
            h.form->grab().save(out + QString("/about-%1-%2.png").arg(about[page], suffix)));
    }
}
