#include "ui/Screen.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace ui {

namespace {
double dpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
double dpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
int currentPointer = DefaultPointer;
} // namespace

double twipsPerPixelX() {
    return 1440.0 / dpiX();
}
double twipsPerPixelY() {
    return 1440.0 / dpiY();
}

int pixelsX(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX()));
}
int pixelsY(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY()));
}

void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(pixelsX(left), pixelsY(top), pixelsX(width), pixelsY(height));
    // A hidden widget hears of its new size only when shown; controls that
    // lay out their own children need to know now.
    if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
        QResizeEvent resized(widget->size(), QSize());
        QCoreApplication::sendEvent(widget, &resized);
        widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

void setMousePointer(int code) {
    // One override at a time, so a second busy call cannot leave one behind.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (code == BusyPointer)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    currentPointer = code;
}

int mousePointer() {
    return currentPointer;
}

} // namespace ui
