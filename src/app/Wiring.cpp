#include "app/Wiring.h"

#include "app/PanelReading.h"
#include "app/StartUp.h"
#include "launch/Launch.h"
#include "launch/SetupHandlers.h"
#include "menu/ContextMenu.h"
#include "menu/MenuCommands.h"
#include "state/Context.h"

#include <memory>

namespace app {

ui::Handlers handlersFor(state::Context& ctx) {
    ui::Handlers handlers;
    // Lives as long as the handlers, that is as long as the dispatcher.
    auto panel = std::make_shared<PanelReading>(ctx);
    handlers.Form_Load = [&ctx, panel] {
        Form_Load(ctx);
        panel->forget();
    };
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
    handlers.menu_Click = [&ctx, panel](int index) {
        menu::menu_Click(ctx, index, [&ctx, panel] {
            // What the panel read of a patch may have changed on disk.
            panel->forget();
            Refresh(ctx);
            panel->forget();
        });
    };
    return handlers;
}

} // namespace app
