#include "menu/ContextMenu.h"
#include "platform/Error.h"
#include "support/Configured.h"
#include "ui/Screen.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A configured start with the window shown, as a right-click needs it.
struct ShownStart : testing_support::Configured {
    explicit ShownStart(const std::function<void(const TempTree&)>& lay)
        : testing_support::Configured("quake", lay) {
        f().show();
    }
    ui::MenuItem& readme() { return f().frmMenus().menu(1); }
    void select(const QString& patch) {
        f().List2->setListIndex(static_cast<int>(entries(f().List2).indexOf(patch)));
    }
    void press(Qt::MouseButton button) {
        QTest::mousePress(f().List2->viewport(), button, {}, QPoint(20, 5));
        QTest::mouseRelease(f().List2->viewport(), button, {}, QPoint(20, 5));
    }
};

// While the next pop-up runs its loop: note where it opened, then choose the
// item named `choose` (or dismiss the menu when empty).
struct PopupWatch {
    QPoint openedAt{-1, -1};
    bool opened = false;
    explicit PopupWatch(const QString& choose = {}) {
        QTimer::singleShot(0, [this, choose] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            opened = true;
            openedAt = menu->pos();
            for (QAction* action : menu->actions()) {
                if (!choose.isEmpty() && action->text() == choose) {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        });
    }
};

} // namespace

TEST(ReadmeDiscovery, PrefersAFileNamedAfterThePatchOverOneNamedRead) {
    ShownStart c([](const TempTree& t) { t.file("quake/ctf/readme.txt"); });
    c.press(Qt::LeftButton);
    EXPECT_TRUE(c.readme().Enabled());
    EXPECT_EQ(c.readme().Caption(), "&Readme (ctf.txt)");
    EXPECT_EQ(c.readme().Tag(), c.quake + "/ctf/ctf.txt"); // as on disk: the editor opens it
    EXPECT_FALSE(c.f().frmMenus().isVisible());
}

TEST(ReadmeDiscovery, ReadsANameWithReadInLowerCaseAndDisablesTheItemWithoutOne) {
    ShownStart c([](const TempTree& t) {
        t.file("quake/Mod/README.TXT");
        t.file("quake/Mod/progs.dat");
        t.file("quake/none/progs.dat");
        t.file("quake/none/notes.txt");
        t.file("quake/none/info.doc");
        t.file("quake/copper/progs.dat");
        t.file("quake/copper/mod_readme.txt"); // "read" inside, the patch's name not
    });
    c.select("Mod");
    c.press(Qt::MiddleButton);
    EXPECT_EQ(c.readme().Caption(), "&Readme (readme.txt)");
    EXPECT_EQ(c.readme().Tag(), c.quake + "/Mod/README.TXT");
    c.select("Copper");
    c.press(Qt::LeftButton);
    EXPECT_EQ(c.readme().Tag(), c.quake + "/copper/mod_readme.txt");

    c.select("None");
    c.press(Qt::LeftButton);
    EXPECT_FALSE(c.readme().Enabled());
    EXPECT_EQ(c.readme().Caption(), "&Readme");
    EXPECT_EQ(c.readme().Tag(), "");
}

TEST(ContextMenu, OnlyTheRightButtonOpensItBesideThePointer) {
    ShownStart c([](const TempTree&) {});
    {
        PopupWatch watch;
        c.press(Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_FALSE(watch.opened);
    }
    PopupWatch watch;
    c.press(Qt::RightButton);
    ASSERT_TRUE(watch.opened);
    // 4 pixels right of the pointer, 23 below it.
    const QPoint pointer = c.f().List2->viewport()->mapToGlobal(QPoint(20, 5));
    EXPECT_EQ(watch.openedAt, pointer + QPoint(4, 23));
    EXPECT_EQ(c.f().List2->ListIndex(), 0); // no hit-testing, no new selection
}

TEST(ContextMenu, PositionRoundsHalvesToTheEvenNeighbour) {
    QWidget list;
    list.move(100, 200);
    const QPoint origin = list.mapToGlobal(QPoint(0, 0));
    // x at 140.5 and 141.5 pixels, y at an exact pixel.
    EXPECT_EQ(menu::popupPosition(&list, 2107.5f, 2130.0f, 15, 15) - origin, QPoint(144, 165));
    EXPECT_EQ(menu::popupPosition(&list, 2122.5f, 0, 15, 15).x() - origin.x(), 146);
    EXPECT_THROW(menu::popupPosition(&list, 3.0e38f, 0, 15, 15), platform::Error);
}

TEST(ContextMenu, WithNoSelectionATextFileInTheQuakeDirectoryIsTheReadme) {
    ShownStart c([](const TempTree& t) { t.file("quake/notes-read.txt"); });
    c.f().List2->setListIndex(-1);
    PopupWatch watch;
    c.press(Qt::RightButton);
    EXPECT_TRUE(watch.opened);
    EXPECT_EQ(c.readme().Caption(), "&Readme (notes-read.txt)");
    EXPECT_EQ(c.readme().Tag(), c.quake + "//notes-read.txt");
}

TEST(ContextMenu, TheChosenItemArrivesAfterTheMenuClosed) {
    ShownStart c([](const TempTree&) {});
    PopupWatch watch("&Play");
    c.press(Qt::RightButton);
    EXPECT_TRUE(c.h->started.empty()); // not yet: a separate event
    QCoreApplication::processEvents();
    ASSERT_EQ(c.h->started.size(), 1u);
    EXPECT_EQ(c.h->started[0], QStringList({c.quake + "/quake", "-game", "ctf"}));

    PopupWatch dismissed;
    c.press(Qt::RightButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(c.h->started.size(), 1u);
}
