#include "ui/Form1.h"
#include "ui/Screen.h"

#include <QAccessible>
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Placement {
    const char* name;
    int left, top, width, height; // twips; width 0: sized to its text
    const char* container;        // whose top-left the position is measured from
};

QRect expected(const Placement& p) {
    return {ui::pixelsX(p.left), ui::pixelsY(p.top), ui::pixelsX(p.width), ui::pixelsY(p.height)};
}

} // namespace

TEST(Form1, EveryControlSitsWhereTheDesignPutsIt) {
    ui::Form1 form;
    // Labels sized to their text are measured once on screen: show every page.
    form.show();
    for (int tab : {1, 2, 0})
        form.SSTab1->setTab(tab);
    const Placement placements[] = {
        {"SSTab1", 60, 60, 6435, 3315, "Form1"},      {"Command1", 3720, 3480, 1335, 375, "Form1"},
        {"Command2", 5160, 3480, 1335, 375, "Form1"}, {"Frame1_1", 60, 360, 6315, 2895, "SSTab1"},
        {"Label3", 60, 60, 0, 0, "Frame1_1"},         {"List2", 60, 420, 3615, 2370, "Frame1_1"},
        {"List1", 3420, 2520, 255, 270, "Frame1_1"},  {"Check1", 3780, 420, 2085, 195, "Frame1_1"},
        {"Combo2", 3780, 720, 2475, 330, "Frame1_1"}, {"Frame1_2", 60, 360, 6315, 2835, "SSTab1"},
        {"Label1", 60, 60, 0, 0, "Frame1_2"},         {"Drive1", 60, 360, 2595, 330, "Frame1_2"},
        {"Dir1", 60, 780, 2595, 2010, "Frame1_2"},    {"Label2", 2760, 60, 0, 0, "Frame1_2"},
        {"Combo1", 2760, 360, 3495, 330, "Frame1_2"}, {"Label4", 120, 420, 0, 0, "SSTab1"},
        {"Label5", 3540, 780, 0, 0, "SSTab1"},        {"SSTab2", 120, 1020, 6195, 2175, "SSTab1"},
        {"Text1", 120, 120, 5955, 1635, "SSTab2"},
    };
    for (const Placement& p : placements) {
        auto* control = form.findChild<QWidget*>(p.name);
        ASSERT_NE(control, nullptr) << p.name;
        const QWidget* container = QString(p.container) == "Form1"
                                       ? static_cast<QWidget*>(&form)
                                       : form.findChild<QWidget*>(p.container);
        const QPoint at =
            control->mapTo(&form, QPoint(0, 0)) - container->mapTo(&form, QPoint(0, 0));
        const QRect want = expected(p);
        EXPECT_EQ(at, want.topLeft()) << p.name;
        if (p.width > 0) {
            EXPECT_EQ(control->size(), want.size()) << p.name;
        } else { // sized to its text: nothing of the caption is cut
            EXPECT_GE(control->width(), control->sizeHint().width()) << p.name;
        }
    }
    EXPECT_EQ(form.size(), QSize(ui::pixelsX(6555), ui::pixelsY(3915)));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed border
    EXPECT_LE(form.SSTab1->tabBar()->height(), ui::pixelsY(360));
}

TEST(Form1, CaptionsTooltipsFontsAndStatesAtLoad) {
    ui::Form1 form;
    EXPECT_EQ(form.windowTitle(), "Runemark");
    EXPECT_EQ(form.font().family(), "Arial");
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 8.25);
    EXPECT_EQ(form.Check1->font().family(), "MS Sans Serif");
    EXPECT_EQ(form.Text1->font().family(), "Courier");
    EXPECT_DOUBLE_EQ(form.Text1->font().pointSizeF(), 9.75);
    EXPECT_EQ(form.Label4->font().family(), "QUAKE");
    EXPECT_DOUBLE_EQ(form.Label5->font().pointSizeF(), 6.0);

    const QStringList tabs = {"Play Quake", "Setup", "About"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form.SSTab1->tabBar()->tabText(i), tabs[i]);
    EXPECT_EQ(form.SSTab1->Tab(), 0);
    EXPECT_EQ(form.SSTab2->Tab(), 0);
    EXPECT_EQ(form.Command1->text(), "&Play");
    EXPECT_EQ(form.Command2->text(), "E&xit");
    EXPECT_EQ(form.Label3->Caption(), "Select Patch:");
    EXPECT_EQ(form.Label1->Caption(), "Select Your Quake Directory:");
    EXPECT_EQ(form.Label2->Caption(), "Program And Command Line:");
    EXPECT_EQ(form.Check1->text(), "Play An Approved Game");
    EXPECT_EQ(form.List2->toolTip(), "Select The Patch You Wish To Play");
    EXPECT_EQ(form.Combo2->toolTip(), "Select An 'Id Software Approved' Game");
    EXPECT_EQ(form.Drive1->toolTip(), "Where Is Quake Installed On Your System");
    EXPECT_EQ(form.Dir1->toolTip(), "Where Is Quake Installed On Your System");
    EXPECT_EQ(form.Combo1->toolTip(), "Change The Program And Command Line Options");

    EXPECT_TRUE(form.List1->isHidden());
    EXPECT_TRUE(form.List2->isEnabled());
    EXPECT_FALSE(form.Combo2->isEnabled());
    EXPECT_FALSE(form.Combo2->isEditable());
    EXPECT_TRUE(form.Combo1->isEditable());
    EXPECT_EQ(form.Check1->Value(), 0);
    EXPECT_TRUE(form.Check1->isEnabled());
    EXPECT_EQ(form.Label5->Caption(), "Version");
    EXPECT_EQ(form.Text1->Text(), "The Manual\r\n");
    EXPECT_TRUE(form.Text1->isReadOnly());
    EXPECT_TRUE(form.Command1->isDefault());
    EXPECT_FALSE(form.menusLoaded());
}

TEST(Form1, EachTabShowsOnlyItsOwnControlsAndTheButtonsStay) {
    ui::Form1 form;
    form.show();
    EXPECT_TRUE(form.List2->isVisible());
    EXPECT_FALSE(form.Dir1->isVisible());
    EXPECT_FALSE(form.List1->isVisible());
    form.SSTab1->setTab(1);
    EXPECT_FALSE(form.List2->isVisible());
    EXPECT_TRUE(form.Dir1->isVisible() && form.Combo1->isVisible());
    EXPECT_FALSE(form.Label4->isVisible());
    form.SSTab1->setTab(2);
    EXPECT_TRUE(form.Label4->isVisible() && form.Label5->isVisible() && form.SSTab2->isVisible());
    EXPECT_FALSE(form.Dir1->isVisible());
    EXPECT_TRUE(form.Command1->isVisible() && form.Command2->isVisible());
}

TEST(Form1, IsCentredWhenFirstShown) {
    ui::Form1 form;
    form.show();
    const QPoint centre = form.screen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - centre).manhattanLength(), 2);
}

TEST(Form1, AssistiveToolsReadTheNamesBesideTheControlsButNotTheWorkList) {
    ui::Form1 form;
    const auto said = [](QWidget* control, QAccessible::Text what) {
        return QAccessible::queryAccessibleInterface(control)->text(what);
    };
    EXPECT_EQ(said(form.List2, QAccessible::Name), "Select Patch");
    EXPECT_EQ(said(form.List2, QAccessible::Description), "Select The Patch You Wish To Play");
    EXPECT_EQ(said(form.Dir1, QAccessible::Name), "Where Is Quake Installed On Your System");
    EXPECT_EQ(said(form.Dir1, QAccessible::Description), ""); // not said twice
    // Readers tell the open directories from the sub-directories.
    const QAbstractItemModel* rows = form.Dir1->model();
    EXPECT_EQ(rows->index(0, 0).data(Qt::AccessibleDescriptionRole), "Open directory");
    EXPECT_EQ(rows->index(rows->rowCount() - 1, 0).data(Qt::AccessibleDescriptionRole),
              form.Dir1->ListCount() > 0 ? "Sub-directory" : "Open directory");
    EXPECT_EQ(form.Drive1->accessibleName(), "Select Your Quake Directory");
    EXPECT_EQ(form.Label1->buddy(), form.Drive1);
    EXPECT_EQ(form.Label2->buddy(), form.Combo1);
    EXPECT_EQ(said(form.Text1, QAccessible::Name), "Manual");
    EXPECT_FALSE(said(form.about.Image1, QAccessible::Name).isEmpty());
    EXPECT_FALSE(said(form.about.Image2, QAccessible::Name).isEmpty());

    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(form.Frame1[1]);
    QStringList offered;
    for (int i = 0; i < frame->childCount(); ++i)
        offered.append(frame->child(i)->object()->objectName());
    EXPECT_EQ(offered, QStringList({"Label3", "List2", "Check1", "Combo2", "Label12", "Label13",
                                    "Combo3", "Label14", "Label15"}));
    EXPECT_EQ(form.Panel.Combo3->accessibleName(), "Map To Start");
    EXPECT_EQ(frame->indexOfChild(QAccessible::queryAccessibleInterface(form.Combo2)), 3);
}

TEST(Form1, AWindowLargerThanTheScreenKeepsItsTitleBarAndLeftEdgeOnIt) {
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(ui::centredPlacement(QRect(0, 0, 400, 300), screen), QPoint(200, 150));
    EXPECT_EQ(ui::centredPlacement(QRect(0, 0, 876, 560), screen), QPoint(0, 20));
    EXPECT_EQ(ui::centredPlacement(QRect(0, 0, 900, 700), QRect(50, 30, 800, 600)), QPoint(50, 30));
}

// Run on a screen smaller than the window (see tests/CMakeLists.txt).
TEST(SmallScreen, TheWindowKeepsItsTitleBarAndLeftEdgeOnTheScreen) {
    ui::Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect available = form.screen()->availableGeometry();
    EXPECT_GE(form.frameGeometry().left(), available.left());
    EXPECT_GE(form.frameGeometry().top(), available.top());
    EXPECT_LE(form.frameGeometry().left(), available.right());
}

TEST(FrmMenus, IsLoadedHiddenOnDemandWithItsFourItems) {
    ui::Form1 form;
    ui::FrmMenus& menus = form.frmMenus();
    EXPECT_TRUE(form.menusLoaded());
    EXPECT_FALSE(menus.isVisible());
    EXPECT_EQ(&menus, &form.frmMenus());
    QMenuBar* bar = ui::GetMenu(&menus);
    QMenu* dropDown = ui::GetSubMenu(bar, 0);
    ASSERT_NE(dropDown, nullptr);
    EXPECT_EQ(dropDown->title(), "Main");
    EXPECT_EQ(ui::GetSubMenu(bar, 1), nullptr);
    EXPECT_EQ(menus.menu(0).Caption(), "&Play");
    EXPECT_EQ(menus.menu(1).Caption(), "Read&me");
    EXPECT_TRUE(menus.menu(2).action()->isSeparator());
    EXPECT_EQ(menus.menu(3).Caption(), "&Refresh");
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(menus.menu(i).Enabled() && menus.menu(i).action()->isVisible());
}
