#include "ui/Form1.h"
#include "ui/Screen.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <gtest/gtest.h>

#include "support/Printers.h"

namespace {

QPoint inside(const QWidget* control, const QWidget* container) {
    return control->mapTo(control->window(), QPoint(0, 0)) -
           container->mapTo(container->window(), QPoint(0, 0));
}

QPoint twips(int left, int top) {
    return {ui::pixelsX(left), ui::pixelsY(top)};
}

// The caption's text fits the part of the button the style gives to it.
bool captionFits(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool check = qobject_cast<const QCheckBox*>(button) != nullptr;
    const QRect contents = button->style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
    const int needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
    return needed <= contents.width() && button->fontMetrics().height() <= button->height();
}

// Colours in the file's own palette (Qt's GIF reader hands back 32-bit
// images, so the file is read directly).
int paletteSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    if (data.startsWith("GIF89a") || data.startsWith("GIF87a")) {
        const auto flags = static_cast<unsigned char>(data.at(10));
        return (flags & 0x80) ? 1 << ((flags & 0x07) + 1) : 0;
    }
    const qsizetype plte = data.indexOf("PLTE");
    if (!data.startsWith("\x89PNG") || plte < 4 || data.at(25) != 3) // colour type 3: indexed
        return 0;
    const auto* length = reinterpret_cast<const unsigned char*>(data.constData() + plte - 4);
    return ((length[0] << 24) | (length[1] << 16) | (length[2] << 8) | length[3]) / 3;
}

} // namespace

TEST(About, CreditsAndLegalPagesAreLaidOutAsDesigned) {
    ui::Form1 form;
    const ui::AboutTab& a = form.about;
    const QWidget* tabs = a.SSTab2;
    EXPECT_EQ(inside(a.Image1, tabs), twips(120, 120));
    EXPECT_EQ(a.Image1->size(), QSize(87, 109));
    EXPECT_EQ(inside(a.Label7, tabs), twips(1560, 120));
    EXPECT_EQ(inside(a.Label8, tabs), twips(3240, 120));
    EXPECT_EQ(inside(a.Label9, tabs), twips(3240, 360));
    EXPECT_EQ(inside(a.Label10, tabs), twips(3240, 600));
    EXPECT_EQ(inside(a.Label11, tabs), twips(1560, 840));
    EXPECT_EQ(inside(a.Image2, tabs), twips(2460, 1320));
    EXPECT_EQ(a.Image2->size(), QSize(172, 12));
    EXPECT_EQ(inside(a.Label6, tabs), twips(120, 180));
    EXPECT_EQ(a.Label6->size(), QSize(ui::pixelsX(5955), ui::pixelsY(1455)));
    EXPECT_TRUE(a.Label6->wordWrap());

    EXPECT_EQ(a.Label7->Caption(), "Programmed By:");
    EXPECT_EQ(a.Label11->Caption(), "Also Know As...");
    EXPECT_TRUE(a.Label9->Caption().startsWith("- "));
    EXPECT_TRUE(a.Label10->Caption().startsWith("- "));
    EXPECT_EQ(a.Label6->text().count('\n'), 2); // two paragraphs and a closing line
    const QStringList pages = {"Manual", "Credits", "Legal Stuff"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(a.SSTab2->tabBar()->tabText(i), pages[i]);
    // The pages' controls never reach the tab strip along the bottom.
    for (const QWidget* control : QList<const QWidget*>{a.Text1, a.Image1, a.Label6})
        EXPECT_LE(inside(control, tabs).y() + control->height(), a.SSTab2->tabBar()->y());
}

TEST(About, ArtworkIsOurOwnAt256Colours) {
    for (const auto& [path, size] : {std::pair{":/runemark/image1.gif", QSize(87, 109)},
                                     std::pair{":/runemark/image2.gif", QSize(172, 12)},
                                     std::pair{":/runemark/runemark.png", QSize(48, 48)}}) {
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << path;
        EXPECT_EQ(image.size(), size) << path;
        EXPECT_EQ(paletteSize(path), 256) << path;
    }
    ui::Form1 form;
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST(About, TheManualBoxScrollsWrapsAndCannotBeEdited) {
    ui::Form1 form;
    ui::TextBox* text = form.Text1;
    QString manual;
    for (int i = 0; i < 60; ++i)
        manual +=
            QString("Line %1 of a manual long enough to wrap at the width of the box.\r\n").arg(i);
    text->setText(manual);
    EXPECT_EQ(text->Text(), manual);
    form.show();
    form.SSTab1->setTab(2);
    QTest::keyClicks(text, "typed");
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(text->Text(), manual);
    EXPECT_EQ(text->toPlainText(), QString(manual).replace("\r\n", "\n"));
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByMouse);
    text->setText("");
    EXPECT_EQ(text->toPlainText(), "");
}

TEST(About, ThePagesKeepTheirPageWhenTheMainTabsChange) {
    ui::Form1 form;
    form.show();
    form.SSTab1->setTab(2);
    form.SSTab2->setTab(1);
    EXPECT_TRUE(form.about.Image1->isVisible());
    EXPECT_FALSE(form.Text1->isVisible());
    form.SSTab1->setTab(0);
    form.SSTab1->setTab(2);
    EXPECT_EQ(form.SSTab2->Tab(), 1);
    EXPECT_TRUE(form.about.Label7->isVisible());
    form.SSTab2->setTab(2);
    EXPECT_TRUE(form.about.Label6->isVisible());
    EXPECT_FALSE(form.about.Label7->isVisible());
}

TEST(Layout, NoVisibleControlOverlapsAnotherOrCutsItsCaption) {
    ui::Form1 form;
    const QStringList titles = {"Default Game", "Scourge Of The Armageddon",
                                "Dissolution Of Eternity"};
    for (const QString& title : titles)
        form.Combo2->AddItem(title);
    form.show();
    for (int tab = 0; tab < 3; ++tab) {
        form.SSTab1->setTab(tab);
        for (int page = 0; page < 3; ++page) {
            form.SSTab2->setTab(page);
            QList<QWidget*> shown;
            for (QWidget* w : form.findChildren<QWidget*>()) {
                const QString name = w->objectName();
                const bool designed = name.startsWith("Label") || name.startsWith("List") ||
                                      name.startsWith("Combo") || name.startsWith("Check") ||
                                      name.startsWith("Command") || name.startsWith("Image") ||
                                      name.startsWith("Drive") || name.startsWith("Dir") ||
                                      name == "Text1";
                if (designed && w->isVisible())
                    shown.append(w);
            }
            for (QWidget* w : shown) {
                const QRect r(w->mapTo(&form, QPoint(0, 0)), w->size());
                EXPECT_TRUE(QRect(QPoint(0, 0), form.size()).contains(r)) << w->objectName();
                if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_TRUE(captionFits(button)) << w->objectName();
                }
                if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
                    EXPECT_GE(label->width(), label->sizeHint().width()) << w->objectName();
                }
                for (QWidget* other : shown) {
                    if (other == w || w->isAncestorOf(other) || other->isAncestorOf(w))
                        continue;
                    const QRect o(other->mapTo(&form, QPoint(0, 0)), other->size());
                    EXPECT_FALSE(r.intersects(o)) << w->objectName().toStdString() << " overlaps "
                                                  << other->objectName().toStdString();
                }
            }
        }
    }
    // Each official game's title shows whole in the field the style leaves
    // for it (the label is drawn a pixel in from each side).
    QStyleOptionComboBox option;
    option.initFrom(form.Combo2);
    option.rect = form.Combo2->rect();
    const QRect field = form.Combo2->style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, form.Combo2);
    for (const QString& title : titles)
        EXPECT_LE(form.Combo2->fontMetrics().horizontalAdvance(title) + 2, field.width())
            << title.toStdString();
    // And the box within its frame, all of its border in sight.
    EXPECT_LE(form.Combo2->geometry().right() + 2, form.Combo2->parentWidget()->width());
    // Every tab caption fits its tab.
    for (ui::TabControl* tabs : {form.SSTab1, form.SSTab2}) {
        const QFontMetrics metrics(tabs->tabBar()->font());
        for (int i = 0; i < tabs->tabBar()->count(); ++i)
            EXPECT_LT(metrics.horizontalAdvance(tabs->tabBar()->tabText(i)),
                      tabs->tabBar()->tabRect(i).width());
    }
}
