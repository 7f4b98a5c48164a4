#pragma once

#include <QFont>
#include <QString>

namespace ui {

// A font by its design face name and size in points.
QFont fontOf(const QString& face, double points);

// The design names its fonts by face. Where a face is missing (always "MS
// Sans Serif" on Linux), Qt is told which metric-compatible face to use, so
// every caption fits the box its design gives it.
void installFontSubstitutes();

} // namespace ui
