#include "support/Harness.h"

#include "app/Wiring.h"
#include "platform/Process.h"
#include "platform/System.h"

#include <QDir>

namespace testing_support {

Harness::Harness(const QString& startDir, bool recordStarts) : previousDir_(QDir::currentPath()) {
    platform::changeDirectory(startDir);
    if (recordStarts) {
        platform::setStartRecorderForTesting(
            [this](const QStringList& words, int) { started.push_back(words); });
    }
    form = std::make_unique<ui::Form1>();
    ctx = std::make_unique<state::Context>(*form, platform::currentDirectory());
    // A first run looks for Quake in the test's own home only, and for
    // engines nowhere but where a test says, never in the machine's places.
    ctx->quakePlaces.systemPlaces.clear();
    ctx->enginePlaces = {};
    ctx->endProgram = [this] { ++endRequests; };
    dispatcher = std::make_unique<ui::Dispatcher>(
        *form, app::handlersFor(*ctx), [this](const QString& message, const QString& detail) {
            reported.append(message);
            details.append(detail);
        });
}

Harness::~Harness() {
    platform::setStartRecorderForTesting({});
    dispatcher.reset();
    ctx.reset();
    form.reset();
    QDir::setCurrent(previousDir_);
}

} // namespace testing_support
