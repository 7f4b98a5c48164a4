#include "ui/Pictures.h"

#include <QImageReader>

namespace ui {

QPixmap programPicture(const QString& resource, const char* format) {
    QImageReader reader(resource, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace ui
