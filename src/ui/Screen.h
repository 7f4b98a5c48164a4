#pragma once

class QRect;
class QWidget;

namespace ui {

// The screen's twips per pixel (1440 twips to the inch), from its logical DPI.
double twipsPerPixelX();
double twipsPerPixelY();

// Twips to pixels, to the nearest pixel.
int pixelsX(double twips);
int pixelsY(double twips);

// Places `widget` at a design position given in twips inside its parent.
void placeTwips(QWidget* widget, int left, int top, int width, int height);

// The screen-wide mouse pointer: 11 is the busy pointer, 0 the default.
constexpr int BusyPointer = 11;
constexpr int DefaultPointer = 0;
void setMousePointer(int code);
int mousePointer();

} // namespace ui
