#pragma once

namespace app {
struct Context;
}

namespace launch {

void Check1_Click(app::Context& ctx);
void Combo1_KeyPress(app::Context& ctx, int keyAscii);
void Dir1_Change(app::Context& ctx);
void Drive1_Change(app::Context& ctx);
void SSTab1_Click(app::Context& ctx, int previousTab);
// Exit: saves what the Setup tab shows (or the saved Quake directory that
// start-up could not show, while no other was opened), then ends the program.
void Command2_Click(app::Context& ctx);

} // namespace launch
