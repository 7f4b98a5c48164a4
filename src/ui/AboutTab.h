#pragma once

#include "ui/Label.h"
#include "ui/TabControl.h"
#include "ui/TextBox.h"

class QGroupBox;

namespace ui {

// The About page of the main tab control: title, version and the second tab
// control with the manual, the credits card and the freeware notice.
struct AboutTab {
    explicit AboutTab(QWidget* page);

    Label* Label4;
    Label* Label5;
    TabControl* SSTab2;
    TextBox* Text1;
    QLabel* Image1;
    Label* Label7;
    Label* Label8;
    Label* Label9;
    Label* Label10;
    Label* Label11;
    QLabel* Image2;
    Label* Label6;
};

} // namespace ui
