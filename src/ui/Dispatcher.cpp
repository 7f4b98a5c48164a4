#include "ui/Dispatcher.h"

#include "platform/Error.h"
#include "ui/Form1.h"
#include "ui/Screen.h"

#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QEvent>

namespace ui {

namespace {

// The event raiseEvent() posts to the window.
class RaisedEvent : public QEvent {
  public:
    explicit RaisedEvent(std::function<void()> handler)
        : QEvent(type()), handler(std::move(handler)) {}
    static QEvent::Type type() {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    std::function<void()> handler;
};

} // namespace

void raiseEvent(Form1& form, std::function<void()> handler) {
    QCoreApplication::postEvent(&form, new RaisedEvent(std::move(handler)));
}

Dispatcher::Dispatcher(Form1& form, Handlers handlers, Reporter reporter)
    : form_(form), handlers_(std::move(handlers)), reporter_(std::move(reporter)) {
    if (!reporter_) {
        reporter_ = [this](const QString& message, const QString& detail) {
            showError(&form_, form_.windowTitle(), message, detail);
        };
    }
    form.installEventFilter(this);
    auto event = [this](const std::function<void()>& handler) {
        return [this, handler] {
            if (handler)
                run(handler);
        };
    };

    connect(form.Command1, &QPushButton::clicked, this, event(handlers_.Command1_Click));
    connect(form.Command2, &QPushButton::clicked, this, event(handlers_.Command2_Click));
    connect(form.Check1, &QCheckBox::clicked, this, event(handlers_.Check1_Click));
    connect(form.List2, &ListBox::DblClick, this, event(handlers_.List2_DblClick));
    connect(form.List2, &ListBox::MouseDown, this, [this](int button, int shift, float x, float y) {
        if (handlers_.List2_MouseDown)
            run([&] { handlers_.List2_MouseDown(button, shift, x, y); });
    });
    connect(form.Combo1, &ComboBox::KeyPress, this, [this](int key) {
        if (handlers_.Combo1_KeyPress)
            run([&] { handlers_.Combo1_KeyPress(key); });
    });
    connect(form.SSTab1, &TabControl::Click, this, [this](int previous) {
        if (handlers_.SSTab1_Click)
            run([&] { handlers_.SSTab1_Click(previous); });
    });
    connect(&form, &Form1::menuClick, this, [this](int index) {
        if (handlers_.menu_Click)
            run([&] { handlers_.menu_Click(index); });
    });

    // Change events are raised inside the setting of a drive or path, so they
    // run nested in whatever handler did the setting and fail with it.
    form.Drive1->Change = [this] {
        if (handlers_.Drive1_Change)
            handlers_.Drive1_Change();
    };
    form.Dir1->Change = [this] {
        if (handlers_.Dir1_Change)
            handlers_.Dir1_Change();
    };
    // A change made by the user is an event of its own.
    connect(form.Drive1, &DriveListBox::userPicked, this,
            [this] { run([this] { form_.Drive1->commitUserChoice(); }); });
    connect(form.Dir1, &DirListBox::userOpened, this,
            [this](const QString& path) { run([&] { form_.Dir1->setPath(path); }); });
}

Dispatcher::~Dispatcher() {
    form_.removeEventFilter(this);
    form_.Drive1->Change = nullptr;
    form_.Dir1->Change = nullptr;
}

void Dispatcher::load() {
    if (handlers_.Form_Load)
        run(handlers_.Form_Load);
}

void Dispatcher::run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const platform::Error& error) {
        // A handler that failed under the busy pointer must not leave it behind.
        setMousePointer(DefaultPointer);
        reporter_(error.message(), error.detail());
    }
}

bool Dispatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &form_ || event->type() != RaisedEvent::type())
        return QObject::eventFilter(watched, event);
    run(static_cast<RaisedEvent*>(event)->handler);
    return true;
}

} // namespace ui
