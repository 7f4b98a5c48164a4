#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

// Every start-up program measured here ends the same way: once its window has
// been painted for the first time (the whole window is painted in that one
// pass), it quits. So each pays for drawing what it shows, and no more.
class QuitWhenPainted : public QObject {
  public:
    explicit QuitWhenPainted(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !quitting_) {
            quitting_ = true;
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool quitting_ = false;
};
