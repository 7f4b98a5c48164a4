// The window used from the keyboard alone: keys go to the active window as
// the window system delivers them.
#include "support/Configured.h"
#include "support/Harness.h"
#include "support/QuakeTree.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

bool activate(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

void key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

void type(QWidget& window, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(window.windowHandle(), c.toLatin1());
}

// The design name of the control that has the focus (an edit field inside a
// combo box counts as the combo box).
QString focused() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            return w->objectName();
    }
    return {};
}

// Presses Tab until the focus comes back to where it started.
QStringList tabWalk(QWidget& window) {
    QStringList walk = {focused()};
    for (int i = 0; i < 20; ++i) {
        key(window, Qt::Key_Tab);
        walk.append(focused());
        if (walk.back() == walk.front())
            break;
    }
    return walk;
}

// Notes the next pop-up menu's items and position, then dismisses it.
struct MenuWatch {
    QStringList items;
    QPoint at{-1, -1};
    int waits = 0;
    MenuWatch() { look(); }
    void look() {
        // A window system shows the menu some event-loop turns after asking.
        QTimer::singleShot(10, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                if (++waits < 300)
                    look();
                return;
            }
            at = menu->pos();
            for (const QAction* action : menu->actions())
                items.append(action->text() + (action->isEnabled() ? "" : " (off)"));
            menu->close();
        });
    }
};

} // namespace

TEST(Keyboard, TabWalksEachPageInTheDesignedOrder) {
    Configured c;
    ASSERT_TRUE(activate(c.f()));
    c.f().SSTab1->tabBar()->setFocus(Qt::TabFocusReason);
    const QString tabs = "SSTab1_tabs";
    EXPECT_EQ(tabWalk(c.f()),
              QStringList({tabs, "Check1", "List2", "Combo3", "Command1", "Command2", tabs}));

    key(c.f(), Qt::Key_Tab);
    key(c.f(), Qt::Key_Space); // ticks Play An Approved Game
    ASSERT_EQ(c.f().Check1->Value(), 1);
    EXPECT_EQ(tabWalk(c.f()),
              QStringList({"Check1", "Combo3", "Command1", "Command2", "Combo2", tabs, "Check1"}));

    c.f().SSTab1->tabBar()->setFocus(Qt::TabFocusReason);
    key(c.f(), Qt::Key_Right);
    ASSERT_EQ(c.f().SSTab1->Tab(), 1);
    EXPECT_EQ(tabWalk(c.f()), QStringList({tabs, "Dir1", "Drive1", "Combo1", "Command2", tabs}));

    key(c.f(), Qt::Key_Right);
    ASSERT_EQ(c.f().SSTab1->Tab(), 2);
    EXPECT_EQ(tabWalk(c.f()), QStringList({tabs, "SSTab2_tabs", "Command2", "Text1", tabs}));
}

TEST(Keyboard, CtrlTabAndCtrlShiftTabSwitchTheMainTabsFromAnyControl) {
    Configured c;
    ASSERT_TRUE(activate(c.f()));
    c.f().List2->setFocus(Qt::TabFocusReason);
    key(c.f(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.f().SSTab1->Tab(), 1);
    EXPECT_FALSE(c.f().Command1->isEnabled()); // the tab's own handler ran
    EXPECT_EQ(focused(), "SSTab1_tabs");

    c.f().Combo1->setFocus(Qt::TabFocusReason);
    key(c.f(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.f().SSTab1->Tab(), 2);
    c.f().Text1->setFocus(Qt::TabFocusReason);
    key(c.f(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.f().SSTab1->Tab(), 0);
    EXPECT_EQ(c.f().SSTab2->Tab(), 0); // the inner tabs stay

    // Shift+Tab arrives as Backtab from X11, as Tab with Shift elsewhere.
    key(c.f(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.f().SSTab1->Tab(), 2);
    key(c.f(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.f().SSTab1->Tab(), 1);
}

// Where Tab has gone shows: a list with the keyboard focus is drawn framed,
// and the same list without it is not.
TEST(Keyboard, AListWithTheKeyboardFocusIsFramedInTheHighlightColour) {
    Configured c;
    ASSERT_TRUE(activate(c.f()));
    for (QWidget* list : {static_cast<QWidget*>(c.f().List2), static_cast<QWidget*>(c.f().Dir1)}) {
        c.f().SSTab1->setTab(list == c.f().List2 ? 0 : 1);
        for (int i = 0; i < 20 && focused() != list->objectName(); ++i)
            key(c.f(), Qt::Key_Tab);
        ASSERT_EQ(focused(), list->objectName());
        // The left edge half-way down, clear of any row's own highlight.
        const auto edge = [list] {
            const QImage image = list->grab().toImage();
            return image.pixelColor(0, image.height() / 2);
        };
        const QColor highlight = list->palette().color(QPalette::Active, QPalette::Highlight);
        EXPECT_EQ(edge(), highlight) << list->objectName().toStdString();
        key(c.f(), Qt::Key_Tab);
        ASSERT_NE(focused(), list->objectName());
        EXPECT_NE(edge(), highlight) << list->objectName().toStdString();
    }
}

TEST(Keyboard, TheMenuKeyAndShiftF10OpenThePatchMenuAtTheChosenRow) {
    Configured c("quake", [](const TempTree& t) {
        t.file("quake/3wave/progs.dat");
        t.file("quake/3wave/readme.txt");
    });
    ASSERT_TRUE(activate(c.f()));
    ASSERT_EQ(entries(c.f().List2), QStringList({"3wave", "Ctf"}));
    c.f().List2->setFocus(Qt::TabFocusReason);
    key(c.f(), Qt::Key_Down);
    ASSERT_EQ(c.f().List2->ListIndex(), 1);
    const QRect row = c.f().List2->entryRect(1);
    const QPoint rowOnScreen = c.f().List2->viewport()->mapToGlobal(row.topLeft());

    for (const auto& [pressed, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        MenuWatch watch;
        key(c.f(), pressed, modifiers);
        EXPECT_EQ(watch.items, QStringList({"&Play", "&Readme (ctf.txt)", "", "&Refresh"}));
        // Beside the chosen row, as a right-click on it would put it.
        EXPECT_GE(watch.at.y(), rowOnScreen.y());
        EXPECT_LE(watch.at.y(), rowOnScreen.y() + 4 * row.height());
        EXPECT_EQ(c.f().List2->ListIndex(), 1);
    }

    key(c.f(), Qt::Key_Up); // the menu follows the chosen patch
    MenuWatch watch;
    key(c.f(), Qt::Key_Menu);
    EXPECT_EQ(watch.items.value(1), "&Readme (readme.txt)");
    EXPECT_TRUE(c.h->reported.isEmpty());
}

TEST(Keyboard, AFirstRunAndThenAGameByKeyboardAlone) {
    TempTree tree;
    const QString quake = makeQuake(tree);
    const QString program = tree.file("quake/quake", "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    const QString start = tree.dir("start");
    {
        Harness first(start);
        first.load();
        ui::Form1& f = *first.form;
        ASSERT_TRUE(activate(f));
        ASSERT_FALSE(f.List2->isEnabled()); // a first run

        key(f, Qt::Key_Tab, Qt::ControlModifier); // to Setup
        key(f, Qt::Key_Tab);                      // into the directory list
        ASSERT_EQ(focused(), "Dir1");
        ASSERT_EQ(f.Dir1->Path(), start);
        key(f, Qt::Key_Up); // the tree's root, above start
        key(f, Qt::Key_Return);
        ASSERT_EQ(f.Dir1->Path(), tree.path());
        type(f, "qu"); // jumps to "quake" by its name
        key(f, Qt::Key_Return);
        EXPECT_EQ(f.Dir1->Path(), quake);
        EXPECT_EQ(first.ctx->QuakeDir, quake);

        key(f, Qt::Key_Tab);
        key(f, Qt::Key_Tab);
        ASSERT_EQ(focused(), "Combo1");
        key(f, Qt::Key_A, Qt::ControlModifier);
        type(f, "quake -listen 8 +map e1m1");
        EXPECT_EQ(f.Combo1->Text(), "quake -listen 8 +map e1m1");
        key(f, Qt::Key_X, Qt::AltModifier); // E&xit, which animates its click
        ASSERT_TRUE(QTest::qWaitFor([&first] { return first.endRequests == 1; }));
        ASSERT_TRUE(first.reported.isEmpty()) << first.reported.join('\n').toStdString();
    }
    EXPECT_EQ(contentOf(perUserIni()),
              ("\"" + quake + "\"\r\n\"quake -listen 8 +map e1m1\"\r\n").toLocal8Bit());

    Harness again(start);
    again.load();
    ui::Form1& f = *again.form;
    ASSERT_TRUE(activate(f));
    ASSERT_TRUE(f.List2->isEnabled());
    key(f, Qt::Key_Tab, Qt::ControlModifier); // Setup and back: focus on the tabs
    key(f, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    key(f, Qt::Key_Tab);
    key(f, Qt::Key_Tab);
    ASSERT_EQ(focused(), "List2");
    type(f, "c");
    key(f, Qt::Key_Return); // Enter presses Play
    ASSERT_EQ(again.started.size(), 1u);
    EXPECT_EQ(again.started[0],
              QStringList({program, "-listen", "8", "+map", "e1m1", "-game", "ctf"}));
    EXPECT_TRUE(again.reported.isEmpty());
}
