#pragma once

#include "ui/Dispatcher.h"

namespace state {
struct Context;
}

namespace app {

// Every event of the windows mapped to its handler, all working on `ctx`.
ui::Handlers handlersFor(state::Context& ctx);

} // namespace app
