#pragma once

#include "Model.h"
#include "Random.h"
#include "World.h"

#include <QString>

namespace window_model {

// The player: acts on the window as a user would, by key and mouse events,
// and tells the checker what each action may leave.
class Player {
  public:
    Player(Random& random, World& world, Checker& checker);

    // ---- the actions

    void typeIntoCombo1();
    void chooseCommand();
    void openDirectory();
    void chooseDrive();
    void switchTab();
    void clickCheck1();
    void play();
    void doubleClickPatch();
    void contextMenu();
    void escape();
    void exitButton();
    void closeBox();

    // The patch selected in List2.
    QString selectedPatch();

  private:
    ui::Form1& form() { return c_.form(); }
    void clickTab(int index);
    void toTab(int index);
    Expect launchExpect(bool possible);
    int visiblePatchRow();

    Random& random_;
    World& w_;
    Checker& c_;
    Model& m_; // the checker's, updated at every check
};

} // namespace window_model
