#include "app/Wiring.h"

#include "app/StartUp.h"
#include "launch/Launch.h"
#include "launch/SetupHandlers.h"
#include "menu/ContextMenu.h"
#include "menu/MenuCommands.h"
#include "state/Context.h"

namespace app {

ui::Handlers handlersFor(state::Context& ctx) {
    ui::Handlers handlers;
    handlers.Form_Load = [&ctx] { Form_Load(ctx); };
    handlers.Command1_Click = [&ctx] { launch::Command1_Click(ctx); };
    handlers.List2_DblClick = [&ctx] { launch::List2_DblClick(ctx); };
    handlers.Command2_Click = [&ctx] { launch::Command2_Click(ctx); };
    handlers.Check1_Click = [&ctx] { launch::Check1_Click(ctx); };
    handlers.Combo1_KeyPress = [&ctx](int key) { launch::Combo1_KeyPress(ctx, key); };
    handlers.Drive1_Change = [&ctx] { launch::Drive1_Change(ctx); };
    handlers.Dir1_Change = [&ctx] { launch::Dir1_Change(ctx); };
    handlers.SSTab1_Click = [&ctx](int previous) { launch::SSTab1_Click(ctx, previous); };
    handlers.List2_MouseDown = [&ctx](int button, int shift, float x, float y) {
        menu::List2_MouseDown(ctx, button, shift, x, y);
    };
    handlers.menu_Click = [&ctx](int index) {
        menu::menu_Click(ctx, index, [&ctx] { Refresh(ctx); });
    };
    return handlers;
}

} // namespace app
