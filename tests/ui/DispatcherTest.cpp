#include "ui/Dispatcher.h"
#include "platform/Error.h"
#include "support/TempTree.h"
#include "ui/Form1.h"
#include "ui/Screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using testing_support::TempTree;

namespace {
platform::Error failure() {
    return platform::Error("Cannot start", "/home/me/quake/quake", "No such file or directory");
}
} // namespace

TEST(Dispatcher, ReportsAFailingHandlerAndKeepsTheProgramRunning) {
    ui::Form1 form;
    QStringList reported;
    int exits = 0;
    ui::Handlers handlers;
    handlers.Command1_Click = [] {
        ui::setMousePointer(ui::BusyPointer);
        throw failure();
    };
    handlers.Command2_Click = [&] { ++exits; };
    ui::Dispatcher dispatcher(form, handlers,
                              [&](const QString& m, const QString&) { reported.append(m); });

    form.Command1->click();
    EXPECT_EQ(reported,
              QStringList({"Cannot start /home/me/quake/quake: No such file or directory"}));
    EXPECT_EQ(ui::mousePointer(), ui::DefaultPointer);
    form.Command2->click();
    EXPECT_EQ(exits, 1);
}

TEST(Dispatcher, AFailingChangeEndsTheHandlerThatSetThePath) {
    TempTree tree;
    tree.dir("q");
    ui::Form1 form;
    QStringList reported;
    bool reachedNextStep = false;
    ui::Handlers handlers;
    handlers.Dir1_Change = [] { throw failure(); };
    handlers.Command1_Click = [&] {
        form.Dir1->setPath(tree.path("q"));
        reachedNextStep = true;
    };
    ui::Dispatcher dispatcher(form, handlers,
                              [&](const QString& m, const QString&) { reported.append(m); });
    form.Command1->click();
    EXPECT_FALSE(reachedNextStep);
    EXPECT_EQ(reported.size(), 1);
}

TEST(Dispatcher, UserChangesOfDirectoryAndDriveAreEventsOfTheirOwn) {
    TempTree tree;
    tree.dir("q/sub");
    ui::Form1 form;
    QStringList reported;
    QStringList changes;
    ui::Handlers handlers;
    handlers.Dir1_Change = [&] { changes.append(form.Dir1->Path()); };
    ui::Dispatcher dispatcher(form, handlers,
                              [&](const QString& m, const QString&) { reported.append(m); });
    emit form.Dir1->userOpened(tree.path("q/sub"));
    EXPECT_EQ(changes, QStringList({tree.path("q/sub")}));
    emit form.Dir1->userOpened(tree.path("q/gone")); // removed meanwhile
    EXPECT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(tree.path("q/gone")));
}

// The dispatcher's own message box, on a screen smaller than the window: a
// long message with its detail opened stays within the screen, OK in reach.
TEST(SmallScreen, AnErrorWithItsDetailOpenStaysWithinTheScreen) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs a real X server";
    ui::Form1 form;
    ui::Handlers handlers;
    QString detail;
    for (int i = 0; i < 200; ++i)
        detail += QStringLiteral("/opt/toolchain-%1/bin\n").arg(i);
    handlers.Command1_Click = [&] {
        throw platform::Error("Cannot start", QString(300, 'q'),
                              "The reason, at some length, of why this did not start. " +
                                  QString("Again and again. ").repeated(12),
                              detail);
    };
    ui::Dispatcher dispatcher(form, handlers);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    bool closed = false;
    QRect shut, open, ok;
    const QRect screen = form.screen()->availableGeometry();
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget(); }));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        // Shown, then moved within the screen.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return QTest::qWaitForWindowExposed(box, 0) &&
                       screen.contains(box->frameGeometry());
            },
            10000));
        shut = box->frameGeometry();
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                QTest::mouseClick(button, Qt::LeftButton);
        }
        // Grown with its detail, then moved back.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return box->frameGeometry().height() > shut.height() &&
                       screen.contains(box->frameGeometry());
            },
            10000));
        open = box->frameGeometry();
        QAbstractButton* button = box->button(QMessageBox::Ok);
        ok = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
        QTest::mouseClick(button, Qt::LeftButton);
        closed = true;
    });
    form.Command1->click();
    ASSERT_TRUE(closed);
    EXPECT_TRUE(screen.contains(shut)) << shut.height() << " in " << screen.height();
    EXPECT_TRUE(screen.contains(open))
        << open.y() << "+" << open.height() << " in " << screen.height();
    EXPECT_TRUE(screen.contains(ok));
}
