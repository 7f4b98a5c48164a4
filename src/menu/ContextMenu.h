#pragma once

#include <QPoint>

namespace state {
struct Context;
}

namespace menu {

// The pop-up's screen position in pixels from the twips sums: each quotient
// is held as a single-precision value, then rounded to the nearest integer
// with halves going to the even neighbour. Throws platform::Error when a
// quotient is not finite or does not fit a 32-bit integer.
QPoint popupPosition(double formLeft, double tabLeft, double listLeft, float x, double formTop,
                     double tabTop, double listTop, float y, double twipsPerPixelX,
                     double twipsPerPixelY);

// A mouse button went down over the patch list: finds the selected patch's
// read-me file for the menu's Readme item and, for the right button, pops the
// menu up beside the pointer.
void List2_MouseDown(state::Context& ctx, int button, int shift, float x, float y);

} // namespace menu
