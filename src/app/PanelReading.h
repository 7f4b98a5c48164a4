#pragma once

#include "content/PatchFacts.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace platform::detail {
struct Ticket;
}

namespace state {
struct Context;
}

namespace app {

// Keeps the Play Quake page's panel in step with what is selected: the patch
// in List2, or with "Play An Approved Game" ticked the game in Combo2. What
// the panel shows is read on a storage thread once the selection has rested,
// for that selection only, and kept until forget(); a reading that does not
// answer within the storage deadline is told in the panel, and one for a
// selection already left is dropped. The window's thread never waits.
class PanelReading : public QObject {
    Q_OBJECT
  public:
    // How long a selection rests before it is read: holding Down through
    // the list reads nothing but where it stops.
    static constexpr int RestMilliseconds = 100;

    explicit PanelReading(state::Context& ctx);
    ~PanelReading() override;

    // After start-up and each Refresh: what was read is forgotten, and the
    // panel shows the first run or the selection anew.
    void forget();

    // How many readings have begun: lets tests see that a selection read
    // once is not read again.
    int readingsBegun() const { return begun_; }

    struct Mailbox;

  private:
    struct Selection {
        QString name;
        QString directory;
    };
    Selection selection() const;
    void selectionMoved();
    void read();
    void answered(quint64 ticket, const QString& directory, const content::PatchFacts& facts);
    void notAnswering();
    void showNotAnswering(const QString& note);

    state::Context& ctx_;
    QTimer rest_;
    QTimer deadline_;
    QHash<QString, content::PatchFacts> known_;
    quint64 ticket_ = 0;
    Selection reading_;
    int begun_ = 0;
    std::shared_ptr<Mailbox> mailbox_;
    // The reading under way, given up when it misses the deadline so that
    // its place counts as stuck until it returns.
    std::shared_ptr<platform::detail::Ticket> running_;
};

} // namespace app
