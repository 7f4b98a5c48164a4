#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// A generated Quake directory of `count` sub-directories: about 40% hold
// progs.dat, 40% only .pak files, 20% neither; names in mixed case; a few
// files in each, as real patches have.
inline void makeBenchQuake(const QString& root, int count) {
    QDir().mkpath(root);
    auto write = [](const QString& path, const QByteArray& data) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
    };
    for (int i = 0; i < count; ++i) {
        static const char* const stems[] = {"Mod", "ARENA", "ctf", "Quake_Pack", "dm"};
        const QString name = QStringLiteral("%1%2").arg(QLatin1String(stems[i % 5])).arg(i);
        const QString dir = root + QLatin1Char('/') + name;
        QDir().mkpath(dir);
        write(dir + QStringLiteral("/readme.txt"), "read me\r\n");
        write(dir + QStringLiteral("/Config.cfg"), "bind x jump\n");
        switch (i % 5) {
        case 0:
        case 1:
            write(dir + (i % 2 ? QStringLiteral("/PROGS.DAT") : QStringLiteral("/progs.dat")),
                  "progs");
            break;
        case 2:
        case 3:
            write(dir + QStringLiteral("/pak0.pak"), "PACK");
            write(dir + QStringLiteral("/Pak1.PAK"), "PACK");
            break;
        default:
            write(dir + QStringLiteral("/e1m1.bsp"), "BSP");
            break;
        }
    }
}
