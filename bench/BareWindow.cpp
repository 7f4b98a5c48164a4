// The floor for whole-process start-up: a Qt Widgets program that shows an
// empty window of the main window's size and exits once it is painted. It
// draws no text, so it never starts the font system.

#include "QuitWhenPainted.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(437, 261);
    new QuitWhenPainted(&window);
    window.show();
    return QApplication::exec();
}
