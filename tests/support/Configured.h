#pragma once

#include "support/Harness.h"
#include "support/QuakeTree.h"

#include <QComboBox>

#include <functional>
#include <memory>

namespace testing_support {

// A configured start: the usual Quake directory with an executable game
// program "quake" in it (plus whatever `lay` adds), runemark.ini in start/
// holding `command`, and the window loaded.
struct Configured {
    explicit Configured(const QString& command = QStringLiteral("quake"),
                        const std::function<void(const TempTree&)>& lay = {},
                        bool recordStarts = true);
    ui::Form1& f() { return *h->form; }

    TempTree tree;
    QString quake;
    std::unique_ptr<Harness> h;
};

// The entries of a list or combo box, in order.
QStringList entries(const ui::ListBox* list);
QStringList entries(const QComboBox* box);

} // namespace testing_support
