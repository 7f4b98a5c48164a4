#pragma once

#include "ui/Dispatcher.h"

namespace app {

struct Context;

// Every event of the windows mapped to its handler, all working on `ctx`.
ui::Handlers handlersFor(Context& ctx);

} // namespace app
