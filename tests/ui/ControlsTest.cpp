#include "platform/Drives.h"
#include "platform/Error.h"
#include "support/Configured.h"
#include "support/TempTree.h"
#include "ui/ComboBox.h"
#include "ui/DirListBox.h"
#include "ui/DriveListBox.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/TabControl.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::TempTree;

TEST(ListBox, SortedInsertIgnoresCaseAndPlacesEqualsAfter) {
    ui::ListBox list("List", true, nullptr);
    for (const char* name : {"rogue", "Ctf", "ID1", "ctf", "3wave", "hipnotic"})
        list.AddItem(name);
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i)
        all.append(list.List(i));
    EXPECT_EQ(all, QStringList({"3wave", "Ctf", "ctf", "hipnotic", "ID1", "rogue"}));
    EXPECT_EQ(list.List(-1), "");
    EXPECT_EQ(list.List(99), "");
    EXPECT_EQ(list.ListIndex(), -1); // adding selects nothing
    list.setListIndex(2);
    EXPECT_EQ(list.List(list.ListIndex()), "ctf");
    list.setListIndex(-1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_FALSE(list.selectionModel()->hasSelection());

    ui::ListBox plain("Plain", false, nullptr);
    plain.AddItem("b");
    plain.AddItem("a");
    EXPECT_EQ(plain.List(1), "a");
}

TEST(ListBox, SortsAsPeopleReadIgnoringCaseInAnyOrderOfArrival) {
    const QStringList names = {"Zeta", "\u00c9mile", "emil", "Emile", "apple", "\u00e9cole"};
    const QStringList read = {"apple", "\u00e9cole", "emil", "Emile", "\u00c9mile", "Zeta"};
    for (const bool reversed : {false, true}) {
        ui::ListBox list("List", true, nullptr);
        ui::ComboBox pick("Pick", false, true, nullptr);
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString& name = names.at(reversed ? names.size() - 1 - i : i);
            list.AddItem(name);
            pick.AddItem(name);
        }
        EXPECT_EQ(testing_support::entries(&list), read);
        EXPECT_EQ(testing_support::entries(&pick), read);
    }
}

TEST(ListBox, CtrlClickAndCtrlSpaceKeepTheChosenRowHighlighted) {
    ui::ListBox list("List", true, nullptr);
    for (const char* name : {"Ctf", "Rogue", "Zeal"})
        list.AddItem(name);
    list.show();
    const QPoint second = list.entryRect(1).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    ASSERT_EQ(list.ListIndex(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, second);
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_TRUE(list.selectionModel()->isRowSelected(1, {}));
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(list.selectionModel()->isRowSelected(1, {}));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list.entryRect(2).center());
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
}

TEST(ListBox, AFillShowsItsEntriesSortedWithTheirDirectoriesAndKeepsAChosenEntry) {
    ui::ListBox list("List", true, nullptr);
    list.show();
    QSignalSpy resets(list.model(), &QAbstractItemModel::modelReset);
    {
        const ui::ListBox::Fill fill(list);
        list.AddItem("rogue", "/q/rogue");
        list.AddItem("Ctf", "/q/Ctf");
        list.AddItem("id1");
        EXPECT_EQ(list.ListCount(), 3); // read back while filling
        EXPECT_EQ(list.ItemDirectory(0), "/q/Ctf");
    }
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(list.model()->rowCount(), 3);
    EXPECT_EQ(list.List(1), "id1");
    EXPECT_EQ(list.ItemDirectory(1), "");
    EXPECT_EQ(list.ItemDirectory(2), "/q/rogue");
    EXPECT_TRUE(list.entryRect(2).isValid()); // the view knows every entry
    list.setListIndex(2);
    {
        // Not empty: each entry is announced, and the choice stays.
        const ui::ListBox::Fill fill(list);
        list.AddItem("ar", "/q/ar");
    }
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(list.List(list.ListIndex()), "rogue");
    EXPECT_EQ(list.ItemDirectory(0), "/q/ar");
}

TEST(DirListBox, CtrlClickKeepsTheHighlightedRow) {
    TempTree tree;
    tree.dir("quake/id1");
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath(tree.path("quake"));
    dir.show();
    const QModelIndex open = dir.currentIndex();
    const QPoint at = dir.visualRect(open).center();
    QTest::mouseClick(dir.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    EXPECT_EQ(dir.currentIndex(), open);
    EXPECT_TRUE(dir.selectionModel()->isSelected(open));
}

TEST(ComboBox, AddingKeepsSelectionAndTextAndSelectingShowsTheEntry) {
    ui::ComboBox pick("Pick", false, true, nullptr);
    pick.AddItem("Scourge Of The Armageddon");
    EXPECT_EQ(pick.ListIndex(), -1);
    pick.AddItem("Default Game");
    pick.setListIndex(0);
    EXPECT_EQ(pick.Text(), "Default Game");
    pick.AddItem("Dissolution Of Eternity");
    EXPECT_EQ(pick.Text(), "Default Game");
    EXPECT_EQ(pick.List(1), "Dissolution Of Eternity");
    EXPECT_EQ(pick.List(-1), "");

    ui::ComboBox edit("Edit", true, false, nullptr);
    edit.setText("typed");
    edit.AddItem("zeta");
    edit.AddItem("alpha");
    EXPECT_EQ(edit.Text(), "typed");
    EXPECT_EQ(edit.ListIndex(), -1);
    EXPECT_EQ(edit.List(1), "alpha"); // unsorted: appended
    edit.setListIndex(1);
    EXPECT_EQ(edit.Text(), "alpha");
    edit.Clear();
    EXPECT_EQ(edit.Text(), "");
    EXPECT_EQ(edit.ListCount(), 0);
}

TEST(ComboBox, ReportsTypedCharactersAfterApplyingThemButNotOtherChanges) {
    ui::ComboBox edit("Edit", true, false, nullptr);
    edit.AddItem("from the list");
    QStringList seen;
    QObject::connect(&edit, &ui::ComboBox::KeyPress, [&](int) { seen.append(edit.Text()); });
    QTest::keyClicks(edit.lineEdit(), "abc");
    QTest::keyClick(edit.lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(edit.lineEdit(), Qt::Key_Left);
    QTest::keyClick(edit.lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(seen.size(), 4) << "Delete types no character";
    EXPECT_EQ(edit.Text(), "a");
    QTest::keyClick(edit.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"a", "ab", "abc", "ab", "a"}));
    EXPECT_EQ(edit.ListCount(), 1); // Enter adds nothing to the list
    edit.setListIndex(0);
    EXPECT_EQ(seen.size(), 5);
}

TEST(DirListBox, ListsEverySubdirectorySortedHiddenOnesIncluded) {
    TempTree tree;
    for (const char* name : {"Quake/rogue", "Quake/ID1", "Quake/ctf", "Quake/.hidden"})
        tree.dir(name);
    tree.file("Quake/notes.txt");
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath(tree.path("quake"));
    EXPECT_EQ(dir.Path(), tree.path("Quake"));
    ASSERT_EQ(dir.ListCount(), 4);
    EXPECT_EQ(dir.List(0), tree.path("Quake/.hidden"));
    EXPECT_EQ(dir.List(1), tree.path("Quake/ctf"));
    EXPECT_EQ(dir.List(2), tree.path("Quake/ID1"));
    EXPECT_EQ(dir.List(3), tree.path("Quake/rogue"));
    EXPECT_EQ(dir.List(4), "");
    EXPECT_EQ(dir.List(-1), tree.path("Quake"));
    EXPECT_EQ(dir.List(-2), tree.path());
    EXPECT_EQ(dir.ListIndex(), -1);
}

TEST(DirListBox, SmallAndLargeDirectoriesAreSortedAlike) {
    // Few names are sorted by comparing them, thousands by sort keys: the
    // order must not depend on how many there are.
    const QStringList names = {"Zeta",  "\u00c9mile", "emil", "Emile",
                               "apple", "\u00e9cole", "_x",   "3wave"};
    TempTree tree;
    for (const QString& name : names)
        tree.dir("small/" + name);
    for (const QString& name : names)
        tree.dir("large/" + name);
    for (int i = 0; i < 4100; ++i)
        tree.dir(QStringLiteral("large/filler%1").arg(i));
    const auto shown = [&tree](const QString& dir) {
        ui::DirListBox list("Dir", nullptr);
        list.setPath(tree.path(dir));
        QStringList order;
        for (int i = 0; i < list.ListCount(); ++i) {
            const QString name = QFileInfo(list.List(i)).fileName();
            if (!name.startsWith("filler"))
                order.append(name);
        }
        return order;
    };
    const QStringList small = shown("small");
    EXPECT_EQ(small, QStringList({"_x", "3wave", "apple", "\u00e9cole", "emil", "Emile",
                                  "\u00c9mile", "Zeta"}));
    EXPECT_EQ(shown("large"), small);
}

TEST(DirListBox, RowsShowBareNamesAndOpenDirectoriesLookOpen) {
    TempTree tree;
    tree.dir("q/Rogue");
    tree.dir("q/ctf");
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath(tree.path("q"));
    const int count = dir.model()->rowCount();
    const int open = count - dir.ListCount(); // ancestors and q itself
    const auto text = [&dir](int row) { return dir.model()->index(row, 0).data().toString(); };
    const auto font = [&dir](int row) {
        return dir.model()->index(row, 0).data(Qt::FontRole).value<QFont>().resolve(dir.font());
    };
    ASSERT_EQ(text(open - 1), "q");
    EXPECT_EQ(text(open), "ctf");
    EXPECT_EQ(text(open + 1), "Rogue");
    EXPECT_EQ(dir.currentIndex().row(), open - 1);
    const auto picture = [&dir](int row) {
        return dir.model()
            ->index(row, 0)
            .data(Qt::DecorationRole)
            .value<QIcon>()
            .pixmap(16)
            .toImage();
    };
    for (int row = 0; row < count; ++row) {
        const bool opened = row < open;
        EXPECT_EQ(font(row).bold(), opened) << row;
        EXPECT_EQ(picture(row) == picture(0), opened) << row;
        EXPECT_FALSE(text(row).startsWith(' ')) << row;
    }
    // Deeper rows are drawn further in, not by blanks in their names.
    const auto indent = [&](int row) {
        const QModelIndex index = dir.model()->index(row, 0);
        return dir.itemDelegate()->sizeHint(QStyleOptionViewItem(), index).width() -
               QFontMetrics(font(row)).horizontalAdvance(text(row));
    };
    EXPECT_LT(indent(0), indent(open - 1));
    EXPECT_LT(indent(open - 1), indent(open));
}

TEST(DirListBox, EnterOpensTheHighlightedRowAndTypingANameFindsIt) {
    TempTree tree;
    tree.dir("q/alpha");
    tree.dir("q/Quake");
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath(tree.path("q"));
    QStringList opened;
    QObject::connect(&dir, &ui::DirListBox::userOpened,
                     [&](const QString& path) { opened.append(path); });
    dir.show();
    dir.setFocus();
    QTest::keyClicks(&dir, "qu");
    EXPECT_EQ(dir.currentIndex().data().toString(), "Quake");
    QTest::keyClick(&dir, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList({tree.path("q/Quake")}));
    QTest::keyClick(&dir, Qt::Key_Up);
    QTest::keyClick(&dir, Qt::Key_Up);
    QTest::keyClick(&dir, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(opened.value(1), tree.path("q")); // an open directory opens too
    QTest::keyClicks(&dir, " ");
    EXPECT_EQ(dir.currentIndex().data().toString(), "q"); // a blank finds nothing
}

TEST(DirListBox, RaisesChangeInsideTheSettingOnlyWhenThePathChanges) {
    TempTree tree;
    tree.dir("a/b");
    ui::DirListBox dir("Dir", nullptr);
    QStringList seen;
    dir.Change = [&] { seen.append(dir.Path()); };
    dir.setPath(tree.path("a"));
    dir.setPath(tree.path("A/"));
    dir.setPath(tree.path("a/b"));
    EXPECT_EQ(seen, QStringList({tree.path("a"), tree.path("a/b")}));

    EXPECT_THROW(dir.setPath(tree.path("missing")), platform::Error);
    EXPECT_EQ(dir.Path(), tree.path("a/b"));
    EXPECT_EQ(seen.size(), 2);
}

TEST(DirListBox, RefreshSeesDirectoriesMadeSince) {
    TempTree tree;
    tree.dir("q/one");
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath(tree.path("q"));
    tree.dir("q/two");
    EXPECT_EQ(dir.ListCount(), 1);
    dir.Refresh();
    EXPECT_EQ(dir.ListCount(), 2);
}

// Where a drive's text is its mount path, that text is a directory like any
// other: opening "/" opens the root (the drive list, not the directory list,
// brings back a drive's last directory).
TEST(DirListBox, ADrivesMountPathOpensThatDirectoryItself) {
    TempTree tree;
    platform::setMountTableForTesting(QList<platform::Mount>{{"/", "/dev/sda1", "ext4"}});
    const QString before = QDir::currentPath();
    QDir::setCurrent(tree.dir("here"));
    ui::DirListBox dir("Dir", nullptr);
    dir.setPath("/");
    EXPECT_EQ(dir.Path(), "/");
    QDir::setCurrent(before);
    platform::setMountTableForTesting(std::nullopt);
}

TEST(TabControl, ShowsOnlyTheChosenPageAndReportsThePreviousTab) {
    ui::TabControl tabs("Tabs", {"One", "Two", "Three"}, nullptr);
    tabs.resize(300, 200);
    tabs.show();
    QSignalSpy clicks(&tabs, &ui::TabControl::Click);
    tabs.setTab(2);
    EXPECT_FALSE(tabs.page(0)->isVisible());
    EXPECT_TRUE(tabs.page(2)->isVisible());
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 0);
    EXPECT_EQ(tabs.Tab(), 2);
    EXPECT_EQ(tabs.page(1)->geometry(), tabs.rect()); // pages measure from the control's corner
}

TEST(Label, SizedToTextGrowsToFitOnceShownAndAfterwards) {
    QWidget page;
    ui::Label label("Label", "Version", true, &page);
    label.setGeometry(10, 10, 20, 10);
    label.setCaption("1.20 (Build 2)");
    EXPECT_EQ(label.width(), 20); // hidden: measured when first shown
    page.show();
    EXPECT_EQ(label.pos(), QPoint(10, 10));
    EXPECT_GE(label.width(), label.sizeHint().width());
    label.setCaption("1.20 (Build 2) and a longer tail");
    EXPECT_GE(label.width(), label.sizeHint().width());
    EXPECT_GT(label.width(), 60);
}

// A disk plugged in after start-up shows up when the player opens the list,
// and the drive shown stays the one chosen.
TEST(DriveListBox, OpeningTheListReadsTheDrivesAgain) {
    platform::setMountTableForTesting(QList<platform::Mount>{{"/", "/dev/vda", "ext4"}});
    ui::DriveListBox drives("Drive1", nullptr);
    drives.show();
    EXPECT_EQ(drives.count(), 1);
    platform::setMountTableForTesting(
        QList<platform::Mount>{{"/", "/dev/vda", "ext4"}, {"/media/usb", "/dev/sdb1", "vfat"}});
    QTest::mouseClick(&drives, Qt::LeftButton);
    EXPECT_EQ(drives.count(), 2);
    EXPECT_EQ(drives.currentText(), "/");
    drives.hidePopup();
    platform::setMountTableForTesting(std::nullopt);
}
