#pragma once

#include <QPixmap>
#include <QString>

namespace ui {

// A picture of the program's own, in the format it is stored in. Read without
// asking every image plugin whether it knows the data (which loads them all
// at start-up); empty when it cannot be read.
QPixmap programPicture(const QString& resource, const char* format);

} // namespace ui
