#pragma once

#include "Random.h"

#include <QPoint>
#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

namespace window_model {

// ---- Texts a player types or chooses.

// Command lines, some of them odd; the settings may hold them too.
extern const QStringList typedTexts;
// Texts typed after what Combo1 shows.
extern const QStringList appendedTexts;
// Up to 13 characters drawn from a small alphabet of awkward ones.
QString randomText(Random& random);

// ---- The player's hands: key and mouse events as the X server delivers
// them.

// Opens a combo box's drop-down with the mouse and chooses entry `index`
// with the keyboard; index -1 closes it with Esc.
bool chooseInDropDown(QComboBox* box, int index);
// What the X server delivers for a double-click: press, release, the
// double-click in place of the second press, release.
void doubleClick(QWidget* widget, QPoint at);
void type(QWidget* edit, const QString& text);
// Ctrl+A as the keyboard sends it: the control character, not a letter.
void selectAll(QWidget* edit);

} // namespace window_model
