#include "ui/Fonts.h"

#include <QFont>
#include <QStringList>

namespace ui {

QFont fontOf(const QString& face, double points) {
    QFont font(face);
    font.setPointSizeF(points);
    return font;
}

void installFontSubstitutes() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               QStringList{QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Courier"),
        QStringList{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
}

} // namespace ui
