#include "support/Harness.h"
#include "support/QuakeTree.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

using namespace testing_support;

// Takes a picture of every tab and About page of the loaded window, so a
// person can look at them (they land in RUNEMARK_SHOTS, else the build dir).
// Each is the whole window, unlike the others beside it, and the patch
// list shows in the Play tab's.
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
    const auto take = [&](const QString& name, QList<QImage>* others) {
        const QPixmap shot = h.form->grab();
        EXPECT_TRUE(shot.save(out + "/" + name + "-" + suffix + ".png"));
        EXPECT_EQ(shot.deviceIndependentSize().toSize(), h.form->size()) << name.toStdString();
        const QImage image = shot.toImage();
        EXPECT_FALSE(others->contains(image)) << name.toStdString() << " shows nothing new";
        others->append(image);
    };
    const char* tabs[] = {"play", "setup", "about"};
    const char* about[] = {"manual", "credits", "legal"};
    QList<QImage> tabShots, pageShots;
    for (int tab = 0; tab < 3; ++tab) {
        h.form->SSTab1->setTab(tab);
        QCoreApplication::processEvents();
        take(tabs[tab], &tabShots);
    }
    // Below the last patch, the list's own background.
    const QWidget* list = h.form->List2->viewport();
    const QPoint below = list->mapTo(h.form.get(), QPoint(4, list->height() - 4));
    const QImage play = tabShots.first();
    EXPECT_EQ(play.pixelColor((QPointF(below) * play.devicePixelRatio()).toPoint()),
              list->palette().color(list->backgroundRole()));
    for (int page = 0; page < 3; ++page) {
        h.form->SSTab2->setTab(page);
        QCoreApplication::processEvents();
        take(QString("about-") + about[page], &pageShots);
    }
}
