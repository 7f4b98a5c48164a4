// A Quake directory where a store keeps it, under a hidden directory of the
// home directory, reached on the Setup tab with the mouse.

#include "support/Configured.h"
#include "support/Harness.h"
#include "support/QuakeTree.h"

#include <QListView>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Double-clicks the directory list's row for the sub-directory `name`.
void open(ui::Form1& f, const QString& name) {
    QListView* list = f.Dir1;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex item = list->model()->index(row, 0);
        if (!item.data(Qt::UserRole).toString().endsWith("/" + name))
            continue;
        list->scrollTo(item);
        const QPoint at = list->visualRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        return;
    }
    ADD_FAILURE() << "no row for " << name.toStdString();
}

} // namespace

TEST(StoreLayout, AQuakeDirectoryUnderAHiddenDirectoryIsReachedSavedAndListed) {
    TempTree tree;
    const QString store = "home/.local/share/Steam/steamapps/common/Quake";
    tree.file(store + "/Id1/PAK0.PAK", "PACK");
    tree.file(store + "/hipnotic/pak0.pak", "PACK");
    tree.file(store + "/rogue/pak0.pak", "PACK");
    tree.file(store + "/Arcane/progs.dat", "progs");
    const QString home = tree.path("home");
    {
        Harness first(home); // no settings file yet
        first.load();
        ui::Form1& f = *first.form;
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        QTabBar* tabs = f.SSTab1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        ASSERT_EQ(f.SSTab1->Tab(), 1);
        for (const QString name : {".local", "share", "Steam", "steamapps", "common", "Quake"})
            open(f, name);
        ASSERT_EQ(f.Dir1->Path(), tree.path(store));
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        ASSERT_TRUE(first.reported.isEmpty()) << first.reported.join("\n").toStdString();
        EXPECT_EQ(first.endRequests, 1);
    }
    EXPECT_EQ(contentOf(perUserIni()),
              ("\"" + tree.path(store) + "\"\r\n\"quake -dedicated # +map #\"\r\n").toLocal8Bit());

    Harness next(home);
    next.load();
    ASSERT_TRUE(next.reported.isEmpty()) << next.reported.join("\n").toStdString();
    EXPECT_EQ(entries(next.form->List2), QStringList({"Arcane"}));
    EXPECT_EQ(entries(next.form->Combo2), QStringList({"Default Game", "Dissolution Of Eternity",
                                                       "Scourge Of The Armageddon"}));
}
