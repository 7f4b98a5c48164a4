// Keys as a user gives them: events into the active window on a real X
// server, where the combo box's completion and the dialog's own keys act
// (an offscreen window is never active, so they stay silent there).

#include "support/Configured.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Shows the Setup tab in the active window with the focus in `widget`.
void focusOnSetup(ui::Form1& form, QWidget* widget) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(form.SSTab1->tabBar(), Qt::LeftButton, {},
                      form.SSTab1->tabBar()->tabRect(1).center());
    ASSERT_EQ(form.SSTab1->Tab(), 1);
    widget->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }));
}

} // namespace

TEST(RealKeys, TypingIsNeverCompletedFromTheList) {
    Configured c("quake -listen 8");
    QLineEdit* edit = c.f().Combo1->lineEdit();
    focusOnSetup(c.f(), edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "winq");
    EXPECT_EQ(c.f().Combo1->Text(), "winq");
    EXPECT_EQ(c.h->ctx->GameCommand, "winq");
    QTest::keyClicks(edit, "uake -listen");
    EXPECT_EQ(c.f().Combo1->Text(), "winquake -listen");

    // Exit saves exactly the typed text.
    QTest::mouseClick(c.f().Command2, Qt::LeftButton);
    EXPECT_EQ(c.h->endRequests, 1) << c.h->reported.join("\n");
    EXPECT_EQ(c.tree.read("start/runemark.ini"), ini(c.quake, "winquake -listen"));
}

TEST(RealKeys, EscClosesTheDropDownAndNeverSavesOrQuits) {
    Configured c("quake -listen 8");
    const QByteArray saved = c.tree.read("start/runemark.ini");
    ui::Form1& f = c.f();
    QLineEdit* edit = f.Combo1->lineEdit();
    focusOnSetup(f, edit);
    QTest::keyClicks(edit, " +map e1m1");

    // Alt+Down opens the drop-down; the first Esc closes it, the second
    // reaches the window.
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* popup = f.Combo1->view();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
    QTest::keyClick(popup, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([popup] { return !popup->isVisible(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Browsing the directory list, Esc again.
    f.Dir1->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(f.Dir1, Qt::Key_Down);
    QTest::keyClick(f.Dir1, Qt::Key_Escape);
    QTest::keyClick(&f, Qt::Key_Escape);
    QApplication::processEvents();

    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(c.h->endRequests, 0);
    EXPECT_TRUE(c.h->reported.isEmpty()) << c.h->reported.join("\n");
    EXPECT_EQ(c.tree.read("start/runemark.ini"), saved);
    EXPECT_EQ(f.Combo1->Text(), "quake -listen 8 +map e1m1");
}

TEST(RealKeys, TheMapChosenBesideTheListIsStartedAfterThePatchAndItsOwnStartAsToday) {
    // A map of one entity lump, titled; the patch sorts first in the list.
    const QByteArray lump = "{ \"message\" \"The Arena\" }";
    const QByteArray map = QByteArray("\x1d\0\0\0\x0c\0\0\0", 8) +
                           QByteArray(1, static_cast<char>(lump.size())) + QByteArray(3, '\0') +
                           lump;
    Configured c("quake -listen 8", [&map](const TempTree& t) {
        t.file("quake/arena/progs.dat");
        t.file("quake/arena/maps/Arena1.bsp", map);
    });
    ui::Form1& f = c.f();
    ui::ComboBox* maps = f.Panel.Combo3;
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.List2->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(f.List2, Qt::Key_End);
    QTest::keyClick(f.List2, Qt::Key_Home);
    ASSERT_EQ(f.List2->List(f.List2->ListIndex()), "Arena");
    ASSERT_TRUE(QTest::qWaitFor([maps] { return maps->count() == 2; }));
    EXPECT_EQ(maps->itemText(1), "Arena1: The Arena");
    EXPECT_EQ(f.Panel.Label13->fullText(), "1 map");

    QTest::keyClick(f.List2, Qt::Key_Tab);
    ASSERT_TRUE(maps->hasFocus());
    QTest::keyClick(maps, Qt::Key_Down);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QTest::keyClick(maps, Qt::Key_Up);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    ASSERT_EQ(c.h->started.size(), 2U) << c.h->reported.join("\n").toStdString();
    const QStringList today = c.h->started.at(1);
    EXPECT_EQ(today.mid(today.size() - 2), QStringList({"-game", "arena"}));
    EXPECT_EQ(c.h->started.at(0), today + QStringList({"+map", "Arena1"}));
}
