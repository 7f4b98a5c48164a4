#pragma once

#include <QString>

namespace app {
struct Context;
}

namespace menu {

// The desktop's plain-text editor, started by name: Notepad on Windows, the
// desktop's handler for text files elsewhere.
QString textEditor();

// Runs the context-menu command chosen: 0 Play, 1 Readme, any other Refresh.
void menu_Click(app::Context& ctx, int index);

// Rebuilds the lists from the settings file and the Quake directory.
void refresh(app::Context& ctx);

} // namespace menu
