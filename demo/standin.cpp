#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QString text = QStringLiteral("Runemark demo: this stands in for the game.\n\n");
    text += QStringLiteral("Program:\n  %1\n").arg(QString::fromLocal8Bit(argv[0]));
    text += QStringLiteral("Arguments:\n");
    for (int i = 1; i < argc; ++i)
        text += QStringLiteral("  [%1] %2\n").arg(i).arg(QString::fromLocal8Bit(argv[i]));
    text += QStringLiteral("Current directory:\n  %1\n").arg(QDir::currentPath());
    QTextStream(stdout) << text;

    QLabel window(text);
    window.setWindowTitle(QStringLiteral("Quake (Runemark demo stand-in)"));
    window.setMargin(16);
    window.setTextInteractionFlags(Qt::TextSelectableByMouse);
    window.show();
    return QApplication::exec();
}
