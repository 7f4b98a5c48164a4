#pragma once

#include <QString>

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

// Throws Error (`action`, `subject`) when `path` holds bytes that are not
// valid text (platform::holdsUndecodableBytes): nothing can open or start it
// by that text, and the message names it and says to rename it.
void refuseUndecodablePath(const QString& action, const QString& subject, const QString& path);

// The Play button.
void Command1_Click(state::Context& ctx);
// A double-click on the patch list.
void List2_DblClick(state::Context& ctx);

} // namespace launch
