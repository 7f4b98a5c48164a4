#pragma once

namespace state {
struct Context;
}

namespace launch {

void Check1_Click(state::Context& ctx);
void Combo1_KeyPress(state::Context& ctx, int keyAscii);
void Dir1_Change(state::Context& ctx);
void Drive1_Change(state::Context& ctx);
void SSTab1_Click(state::Context& ctx, int previousTab);
// Exit: saves what the Setup tab shows (or the saved Quake directory that
// start-up could not show, while no other was opened), then ends the program.
void Command2_Click(state::Context& ctx);

} // namespace launch
