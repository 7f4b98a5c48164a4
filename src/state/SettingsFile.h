#pragma once

#include <QString>
#include <QStringList>

namespace state {

struct Context;

// runemark.ini: two records, each a value between double quotes and CR LF:
// the Quake directory, then the program and command line.

// Reads the two values into QuakeDir and GameCommand, both or neither. Throws
// platform::Error when the file cannot be read or holds fewer than two values.
void readSettings(Context& ctx);

// What a tolerant read found: the values read, in order (at most two), and,
// when the file could not be read whole, the message that says why.
struct SettingsRead {
    QStringList values;
    QString problem;
};
SettingsRead tryReadSettings(const QString& path);

// Replaces the file (a symbolic link's target) with the two records, quotes
// inside a value doubled, making its directory first when it is missing; the
// old file stays whole when writing fails.
// Throws platform::Error naming what refused and the system's reason.
void writeSettings(const QString& path, const QString& quakeDir, const QString& gameCommand);

} // namespace state
