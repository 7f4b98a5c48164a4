#pragma once

#include <QString>

class QWidget;

namespace ui {

// Shows an error message over `parent`: the message itself, and `detail`
// (when there is any) in the box's expandable, scrolling detail area. The box
// stays within the screen, also once its detail is open.
void showError(QWidget* parent, const QString& title, const QString& message,
               const QString& detail);

} // namespace ui
