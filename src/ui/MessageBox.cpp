#include "ui/MessageBox.h"

#include <QEvent>
#include <QMessageBox>
#include <QScreen>

namespace ui {

namespace {

// Moves the box back onto the screen whenever it shows or grows: centred on
// a window larger than a small screen, or opening its detail below, it would
// leave its buttons out of reach.
class KeepOnScreen : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            keep(static_cast<QWidget*>(watched));
        return false;
    }

  private:
    static void keep(QWidget* box) {
        const QScreen* screen = box->screen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QRect frame = box->frameGeometry();
        QPoint place = frame.topLeft();
        place.setX(std::max(area.left(), std::min(place.x(), area.right() + 1 - frame.width())));
        place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - frame.height())));
        if (place != frame.topLeft())
            box->move(place);
    }
};

} // namespace

void showError(QWidget* parent, const QString& title, const QString& message,
               const QString& detail) {
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    // Qt's own detail area: hidden behind "Show Details...", a few lines
    // high, scrolling, whatever the length of what it holds.
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    KeepOnScreen keeper;
    box.installEventFilter(&keeper);
    box.exec();
}

} // namespace ui
