#pragma once

#include <QFile>
#include <QString>
#include <QTest>

namespace testing_support {

// The process id a started script wrote to `file` (echo $$ > file), waited
// for as the script may not have run yet; 0 when none came.
inline qint64 pidWrittenTo(const QString& file) {
    qint64 pid = 0;
    const bool written = QTest::qWaitFor(
        [&] {
            QFile f(file);
            if (f.open(QIODevice::ReadOnly))
                pid = f.readAll().trimmed().toLongLong();
            return pid > 0;
        },
        20000);
    return written ? pid : 0;
}

} // namespace testing_support
