#pragma once

namespace state {
struct Context;
}

namespace launch {

// Starts the patch selected in List2 with the Quake directory as the game's
// working directory; the launcher's own never changes. The game is given the
// directory the entry was found in, by its on-disk name; nothing starts, and
// an Error says so, when that directory is gone or no longer in the Quake
// directory. Shared by the double-click and the context menu's Play.
void launchSelectedPatch(state::Context& ctx);

// The Play button.
void Command1_Click(state::Context& ctx);
// A double-click on the patch list.
void List2_DblClick(state::Context& ctx);

} // namespace launch
