#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest print Qt strings (and lists of them) readably.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// And lets failure messages stream them.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}
