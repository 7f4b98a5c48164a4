#pragma once

#include <QPoint>

class QWidget;

namespace state {
struct Context;
}

namespace menu {

// Where the pop-up opens beside the pointer: right of it and below it, by
// as much as the classic design's sum of twips put it on its desktop.
inline constexpr QPoint PopupOffset{4, 23};

// The pop-up's position for a press at (x, y) twips in `list`: the pointer's
// pixel (each quotient held as a single-precision value, rounded to the
// nearest integer, halves to the even neighbour), mapped to the screen by
// the toolkit, plus PopupOffset. The mapping is the toolkit's because a
// Wayland window has no global position of its own: Qt places the pop-up
// relative to its parent window from this point, where a sum of the
// window's own coordinates would name a place the compositor never
// granted. Throws platform::Error when a quotient is not finite or does not
// fit a 32-bit integer.
QPoint popupPosition(const QWidget* list, float x, float y, double twipsPerPixelX,
                     double twipsPerPixelY);

// A mouse button went down over the patch list: finds the selected patch's
// read-me file for the menu's Readme item and, for the right button, pops the
// menu up beside the pointer.
void List2_MouseDown(state::Context& ctx, int button, int shift, float x, float y);

} // namespace menu
