#pragma once

#include <QString>

#include <functional>

namespace state {
struct Context;
}

namespace menu {

// The desktop's plain-text editor, started by name: Notepad on Windows, the
// desktop's handler for text files elsewhere.
QString textEditor();

// Runs the context-menu command chosen: 0 Play, 1 Readme, any other Refresh,
// which runs `refresh` (the start-up sequence, which lives above the menu and
// is handed down by the wiring; Play and Readme need none).
void menu_Click(state::Context& ctx, int index, const std::function<void()>& refresh = {});

} // namespace menu
