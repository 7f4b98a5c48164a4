// Usage: bench_make_tree DIR COUNT — lays out a generated Quake directory in
// DIR/quake and a runemark.ini in DIR pointing at it.

#include "TreeGen.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: bench_make_tree DIR COUNT\n";
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString quake = dir + QStringLiteral("/quake");
    makeBenchQuake(quake, QString::fromLocal8Bit(argv[2]).toInt());
    QFile ini(dir + QStringLiteral("/runemark.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("\"" + QFile::encodeName(quake) + "\"\r\n\"quake -listen # +map #\"\r\n");
    return 0;
}
