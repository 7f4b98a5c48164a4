#include "ui/ComboBox.h"
#include "ui/ListBox.h"

#include <QWidget>
#include <gtest/gtest.h>

#include "support/Printers.h"

TEST(EntryDirectory, FollowsItsEntryWhereverTheSortedListPutsIt) {
    QWidget parent;
    ui::ListBox list("List2", true, &parent);
    list.AddItem("Ctf", "/q/ctf");
    list.AddItem("Arcane", "/q/arcane");
    list.AddItem("Ctf", "/q/CTF");
    list.AddItem("Plain"); // added without one
    EXPECT_EQ(list.List(0), "Arcane");
    EXPECT_EQ(list.ItemDirectory(0), "/q/arcane");
    EXPECT_EQ(list.ItemDirectory(1), "/q/ctf");
    EXPECT_EQ(list.ItemDirectory(2), "/q/CTF");
    EXPECT_EQ(list.ItemDirectory(3), "");
    EXPECT_EQ(list.ItemDirectory(-1), "");
    list.RemoveItem(0);
    EXPECT_EQ(list.ItemDirectory(0), "/q/ctf");
    list.Clear();
    list.AddItem("Zer0", "/q/zer0");
    EXPECT_EQ(list.ItemDirectory(0), "/q/zer0");

    ui::ComboBox games("Combo2", false, true, &parent);
    games.AddItem("Scourge Of The Armageddon", "/q/Hipnotic");
    games.AddItem("Default Game", "/q/id1");
    EXPECT_EQ(games.ListIndex(), -1); // adding still selects nothing
    EXPECT_EQ(games.ItemDirectory(0), "/q/id1");
    EXPECT_EQ(games.ItemDirectory(1), "/q/Hipnotic");
    EXPECT_EQ(games.ItemDirectory(-1), "");
}
