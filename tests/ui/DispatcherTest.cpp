#include "ui/Dispatcher.h"
#include "platform/Error.h"
#include "support/TempTree.h"
#include "ui/Form1.h"
#include "ui/Screen.h"

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
    ui::Dispatcher dispatcher(form, handlers, [&](const QString& m) { reported.append(m); });

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
    ui::Dispatcher dispatcher(form, handlers, [&](const QString& m) { reported.append(m); });
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
    ui::Dispatcher dispatcher(form, handlers, [&](const QString& m) { reported.append(m); });
    emit form.Dir1->userOpened(tree.path("q/sub"));
    EXPECT_EQ(changes, QStringList({tree.path("q/sub")}));
    emit form.Dir1->userOpened(tree.path("q/gone")); // removed meanwhile
    EXPECT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(tree.path("q/gone")));
}
