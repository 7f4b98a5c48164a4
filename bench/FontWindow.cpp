// The fair floor for whole-process start-up: a Qt Widgets program that shows
// a window of the main window's size drawing one line of text in each face
// Runemark uses, with the same substitutes for missing faces, so it starts
// the font system and loads its faces as Runemark does; then it exits.

#include "QuitWhenPainted.h"
#include "ui/Fonts.h"
#include "ui/Screen.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class FontWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        struct Face {
            const char* name;
            double points;
            bool typewriter;
        };
        static const Face faces[] = {{"Arial", 8.25, false},
                                     {"MS Sans Serif", 8.25, false},
                                     {"Courier", 9.75, true},
                                     {"QUAKE", 20.25, false},
                                     {"Arial", 6, false}};
        QPainter painter(this);
        int baseline = 0;
        for (const Face& face : faces) {
            QFont font = ui::fontOf(QString::fromLatin1(face.name), face.points);
            if (face.typewriter)
                font.setStyleHint(QFont::TypeWriter);
            painter.setFont(font);
            baseline += QFontMetrics(font).height();
            painter.drawText(8, baseline, QStringLiteral("Play An Approved Game 0123456789"));
        }
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ui::installFontSubstitutes();
    FontWindow window;
    window.setFixedSize(ui::pixelsX(6555), ui::pixelsY(3915));
    new QuitWhenPainted(&window);
    window.show();
    return QApplication::exec();
}
