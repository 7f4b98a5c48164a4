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
