#include "ui/AboutTab.h"

#include "ui/Fonts.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

namespace ui {

namespace {

QLabel* picture(const QString& name, const QString& resource, QWidget* page, int left, int top,
                int width, int height) {
    auto* image = new QLabel(page);
    image->setObjectName(name);
    placeTwips(image, left, top, width, height);
    const QPixmap pixmap = programPicture(resource, "gif");
    if (!pixmap.isNull()) {
        image->setPixmap(pixmap);
        image->resize(pixmap.size()); // shown at its own size, no border
    }
    return image;
}

// Two paragraphs and a closing line. Each starts on a line of its own; the
// label wraps the rest at its width.
const char* const notice =
    "Runemark is free. You may pass it on in any electronic form, on disc, by mail or by "
    "file transfer, but you must not sell it for profit without the prior consent of its "
    "authors.\n"
    "You must not take it apart, reverse engineer it or alter it in any way.\n"
    "Runemark is copyright the Runemark developers.";

} // namespace

AboutTab::AboutTab(QWidget* page) {
    Label4 = new Label(QStringLiteral("Label4"), QStringLiteral("RUNEMARK"), true, page);
    Label4->setFont(fontOf(QStringLiteral("QUAKE"), 20.25));
    placeTwips(Label4, 120, 420, 3780, 465);
    Label4->setCaption(Label4->Caption());

    Label5 = new Label(QStringLiteral("Label5"), QStringLiteral("Version"), true, page);
    Label5->setFont(fontOf(QStringLiteral("Arial"), 6));
    placeTwips(Label5, 3540, 780, 390, 150);
    Label5->setCaption(Label5->Caption());

    // The pages' controls fill the top of the control, so its tabs run along
    // the bottom.
    SSTab2 = new TabControl(
        QStringLiteral("SSTab2"),
        {QStringLiteral("Manual"), QStringLiteral("Credits"), QStringLiteral("Legal Stuff")}, page,
        QTabBar::RoundedSouth);
    placeTwips(SSTab2, 120, 1020, 6195, 2175);

    QWidget* manual = SSTab2->page(0);
    Text1 = new TextBox(QStringLiteral("Text1"), manual);
    QFont courier = fontOf(QStringLiteral("Courier"), 9.75);
    courier.setStyleHint(QFont::TypeWriter);
    Text1->setFont(courier);
    placeTwips(Text1, 120, 120, 5955, 1635);
    Text1->setText(QStringLiteral("The Manual\r\n"));

    QWidget* credits = SSTab2->page(1);
    Image1 = picture(QStringLiteral("Image1"), QStringLiteral(":/runemark/image1.gif"), credits,
                     120, 120, 1305, 1635);
    Label7 = autoSizedLabel(QStringLiteral("Label7"), QStringLiteral("Programmed By:"), credits,
                            1560, 120, 1185, 210);
    Label8 = autoSizedLabel(QStringLiteral("Label8"), QStringLiteral("The Runemark Developers"),
                            credits, 3240, 120, 1035, 210);
    Label9 = autoSizedLabel(QStringLiteral("Label9"), QStringLiteral("- runemark@example.org"),
                            credits, 3240, 360, 1890, 210);
    Label10 =
        autoSizedLabel(QStringLiteral("Label10"), QStringLiteral("- https://runemark.example.org/"),
                       credits, 3240, 600, 2805, 210);
    Label11 = autoSizedLabel(QStringLiteral("Label11"), QStringLiteral("Also Know As..."), credits,
                             1560, 840, 1200, 210);
    Image2 = picture(QStringLiteral("Image2"), QStringLiteral(":/runemark/image2.gif"), credits,
                     2460, 1320, 2580, 180);

    QWidget* legal = SSTab2->page(2);
    Label6 = new Label(QStringLiteral("Label6"), QString::fromLatin1(notice), false, legal);
    Label6->setWordWrap(true);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Label6, 120, 180, 5955, 1455);
}

} // namespace ui
