#pragma once

#include "app/ReadAhead.h"
#include "state/Context.h"
#include "ui/Dispatcher.h"
#include "ui/Form1.h"

#include <QStringList>

#include "support/Printers.h"

#include <memory>
#include <vector>

namespace testing_support {

// One start of the program on real widgets: the current directory set to
// `startDir`, the main window built there, its events wired to the real
// handlers. Errors the dispatcher reports and programs the handlers start
// are recorded instead of shown or started (unless `recordStarts` is false).
class Harness {
  public:
    explicit Harness(const QString& startDir, bool recordStarts = true);
    ~Harness();

    // Form_Load as the program runs it: the Quake directory read ahead
    // first (here not alongside the window's building, which is done).
    void load() {
        readAhead = std::make_unique<app::ReadAhead>(ctx->settingsFile);
        ctx->readAhead = readAhead.get();
        dispatcher->load();
    }

    std::unique_ptr<ui::Form1> form;
    std::unique_ptr<state::Context> ctx;
    std::unique_ptr<ui::Dispatcher> dispatcher;
    std::unique_ptr<app::ReadAhead> readAhead;
    QStringList reported;
    QStringList details; // each report's detail, in step with `reported`
    std::vector<QStringList> started;
    int endRequests = 0;

  private:
    QString previousDir_;
};

} // namespace testing_support
