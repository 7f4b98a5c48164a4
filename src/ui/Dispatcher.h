#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace ui {

class Form1;

// The handler of every event the program reacts to.
struct Handlers {
    std::function<void()> Form_Load;
    std::function<void()> Command1_Click;
    std::function<void()> List2_DblClick;
    std::function<void()> Command2_Click;
    std::function<void()> Check1_Click;
    std::function<void(int keyAscii)> Combo1_KeyPress;
    std::function<void()> Drive1_Change;
    std::function<void()> Dir1_Change;
    std::function<void(int previousTab)> SSTab1_Click;
    std::function<void(int button, int shift, float x, float y)> List2_MouseDown;
    std::function<void(int index)> menu_Click;
};

// Shows an error message to the user: the message, and the detail to show on
// request (empty when there is none).
using Reporter = std::function<void(const QString& message, const QString& detail)>;

// Hands `handler` to the dispatcher of `form`'s events, to run on the
// window's thread as an event of its own once the current one has ended. A
// result that comes later than its handler (how a started program ended) is
// reported so like any handler's failure. Nothing runs without a dispatcher.
void raiseEvent(Form1& form, std::function<void()> handler);

// Connects every event of the main window (and of the hidden menu window) to
// its handler. It is the one place that catches platform::Error: a failing
// handler ends at the failing step, the error is reported in a message, and
// the program keeps running.
class Dispatcher : public QObject {
    Q_OBJECT
  public:
    // Without a reporter, errors are shown in a message box over the window.
    Dispatcher(Form1& form, Handlers handlers, Reporter reporter = {});
    ~Dispatcher() override;

    // Raises the window's load event (Form_Load).
    void load();

    // Runs `handler` as one event: catches platform::Error and reports it.
    void run(const std::function<void()>& handler);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Form1& form_;
    Handlers handlers_;
    Reporter reporter_;
};

} // namespace ui
