#include "app/PanelReading.h"

#include "platform/Deadline.h"
#include "platform/Paths.h"
#include "state/Context.h"
#include "ui/Dispatcher.h"
#include "ui/Form1.h"

#include <QDir>
#include <QPointer>

#include <mutex>

namespace app {

// Where a storage thread hands its answer over: to the reading while it
// lives. A thread left in a share that stopped answering may return after
// the window has gone, and must then reach nothing.
struct PanelReading::Mailbox {
    std::mutex lock;
    PanelReading* to = nullptr;
};

PanelReading::PanelReading(state::Context& ctx) : ctx_(ctx), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->to = this;
    rest_.setSingleShot(true);
    rest_.setInterval(RestMilliseconds);
    deadline_.setSingleShot(true);
    ui::Form1& form = ctx_.Form1;
    // The reading begins as an event of its own, so that a thread that
    // cannot be made is reported like any handler's failure.
    connect(&rest_, &QTimer::timeout, this, [this] {
        QPointer<PanelReading> alive(this);
        ui::raiseEvent(ctx_.Form1, [alive] {
            if (alive)
                alive->read();
        });
    });
    connect(&deadline_, &QTimer::timeout, this, &PanelReading::notAnswering);
    connect(form.List2->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PanelReading::selectionMoved);
    connect(form.Combo2, &QComboBox::currentIndexChanged, this, &PanelReading::selectionMoved);
    connect(form.Check1, &QCheckBox::toggled, this, &PanelReading::selectionMoved);
}

PanelReading::~PanelReading() {
    const std::lock_guard<std::mutex> hold(mailbox_->lock);
    mailbox_->to = nullptr;
}

void PanelReading::forget() {
    known_.clear();
    selectionMoved();
}

PanelReading::Selection PanelReading::selection() const {
    const ui::Form1& form = ctx_.Form1;
    if (form.Check1->Value() != 0) {
        const int row = form.Combo2->ListIndex();
        return {form.Combo2->List(row).trimmed(), form.Combo2->ItemDirectory(row)};
    }
    const int row = form.List2->ListIndex();
    if (row < 0)
        return {};
    const QString name = form.List2->List(row);
    const QString found = form.List2->ItemDirectory(row);
    return {name, found.isEmpty() ? ctx_.QuakeDir + QLatin1Char('/') + name : found};
}

void PanelReading::selectionMoved() {
    // Whatever was being read is for a selection left now.
    ++ticket_;
    rest_.stop();
    deadline_.stop();
    ui::PatchPanel& panel = ctx_.Form1.Panel;
    // The first run greys Play until Exit has saved the settings.
    if (!ctx_.Form1.Command1->isEnabled()) {
        panel.showFirstRun();
        return;
    }
    const Selection now = selection();
    if (now.directory.isEmpty()) {
        panel.showNothing();
        return;
    }
    const auto known = known_.constFind(now.directory);
    if (known != known_.cend()) {
        panel.showFacts(now.name, *known);
        return;
    }
    panel.showName(now.name);
    rest_.start();
}

void PanelReading::read() {
    const Selection now = selection();
    if (now.directory.isEmpty() || known_.contains(now.directory))
        return;
    reading_ = now;
    const quint64 ticket = ++ticket_;
    ++begun_;
    const std::shared_ptr<Mailbox> mailbox = mailbox_;
    const QString directory = now.directory;
    deadline_.start(platform::storageDeadline());
    try {
        running_ = platform::detail::submit(directory, [mailbox, ticket, directory] {
            content::PatchFacts facts;
            try {
                facts = content::readPatch(directory);
            } catch (...) {
                return; // nothing to show; the deadline says so
            }
            const std::lock_guard<std::mutex> hold(mailbox->lock);
            if (PanelReading* to = mailbox->to)
                QMetaObject::invokeMethod(
                    to, [to, ticket, directory, facts] { to->answered(ticket, directory, facts); },
                    Qt::QueuedConnection);
        });
    } catch (const platform::Error& refused) {
        // Its place is stuck on an earlier call, or no worker can be had.
        deadline_.stop();
        showNotAnswering(refused.message());
    }
}

void PanelReading::answered(quint64 ticket, const QString& directory,
                            const content::PatchFacts& facts) {
    if (ticket != ticket_)
        return;
    deadline_.stop();
    running_.reset();
    known_.insert(directory, facts);
    ctx_.Form1.Panel.showFacts(reading_.name, facts);
}

void PanelReading::notAnswering() {
    if (running_)
        platform::detail::abandon(running_);
    running_.reset();
    const auto seconds = static_cast<double>(platform::storageDeadline().count()) / 1000.0;
    showNotAnswering(QStringLiteral("%1 does not answer (nothing within %2 s): its maps and "
                                    "read-me cannot be shown.")
                         .arg(platform::nativePath(reading_.directory))
                         .arg(seconds));
}

void PanelReading::showNotAnswering(const QString& note) {
    ctx_.Form1.Panel.showNotAnswering(reading_.name, note);
}

} // namespace app
