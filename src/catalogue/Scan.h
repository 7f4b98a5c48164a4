#pragma once

#include "state/Context.h"

namespace catalogue {

// Fills List1 with every sub-directory of the directory list, then List2 with
// the patches and (at start-up) Combo2 with the official games found, and
// selects List2's first entry. The start-up scan sends the official games to
// the official-game list; the rescan of Refresh holds back only "Id1" and
// lists the rest as patches. Each entry keeps the directory it was found
// in, so what is started or read is that directory whatever its name's
// letter case. Reads the disk only through ProbeFile and Dir1, and not at
// all for a directory `held` (a reading made earlier) holds.
void scanPatches(state::Context& ctx, state::Occasion occasion,
                 const platform::DirectorySnapshot* held = nullptr);

} // namespace catalogue
