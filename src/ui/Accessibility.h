#pragma once

class QLabel;
class QString;
class QWidget;

namespace ui {

// What assistive tools (screen readers) are told about the controls: each
// control a user can reach is named after the text a sighted user reads
// beside it, and described by its tooltip.

// Names `control` after `label` (its caption without the closing colon) and
// makes the label its buddy, so tools can relate the two. (On Linux desktops
// Qt gives a combo box its shown entry as name and the label by relation,
// which is how screen readers there expect it.)
void nameByLabel(QWidget* control, QLabel* label);
// Names `control` after `text` a sighted user reads beside it (a tab's
// caption, a picture's subject) where no label or tooltip names it.
void nameByText(QWidget* control, const QString& text);
// Names a control that has no label after its own tooltip (which then is
// not its description as well, but for a combo box).
void nameByTooltip(QWidget* control);
// Keeps `control` from assistive tools: its container no longer offers it.
void keepFromAssistiveTools(QWidget* control);

} // namespace ui
