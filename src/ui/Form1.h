#pragma once

#include "ui/AboutTab.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/DirListBox.h"
#include "ui/DriveListBox.h"
#include "ui/FrmMenus.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/PatchPanel.h"
#include "ui/TabControl.h"
#include "ui/TextBox.h"

#include <QDialog>
#include <QGroupBox>

#include <array>
#include <memory>

namespace ui {

// The main window: a fixed-size dialog holding the tab control SSTab1 and,
// below it, the Play and Exit buttons. Controls are public members named as
// in the design, so the handlers read like the design.
class Form1 : public QDialog {
    Q_OBJECT
  public:
    Form1();
    ~Form1() override;

    bool Visible() const { return isVisible(); }

    // The hidden menu window, loaded (hidden) at the first call.
    FrmMenus& frmMenus();
    bool menusLoaded() const { return menus_ != nullptr; }

    TabControl* SSTab1;
    std::array<QGroupBox*, 3> Frame1{}; // indices 1 and 2
    Label* Label3;
    ListBox* List2;
    ListBox* List1;
    CheckBox* Check1;
    ComboBox* Combo2;
    // What is known of the selected patch, in the room right of List2.
    PatchPanel Panel;
    Label* Label1;
    DriveListBox* Drive1;
    DirListBox* Dir1;
    Label* Label2;
    ComboBox* Combo1;
    Button* Command1;
    Button* Command2;
    AboutTab about;
    Label* Label4;
    Label* Label5;
    TabControl* SSTab2;
    TextBox* Text1;

  signals:
    void menuClick(int index);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void describeForAssistiveTools();
    void addTabSwitchingKeys();

    std::unique_ptr<FrmMenus> menus_;
    bool centred_ = false;
};

// Where a window whose outer frame is `frame` goes to be centred on the
// screen area `available`; a window larger than the area keeps its title bar
// and left edge on it.
QPoint centredPlacement(const QRect& frame, const QRect& available);

// Position of a control inside its container, in twips.
float leftTwips(const QWidget* control);
float topTwips(const QWidget* control);

} // namespace ui
