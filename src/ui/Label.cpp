#include "ui/Label.h"

#include "ui/Screen.h"

#include <QEvent>

namespace ui {

Label::Label(const QString& name, const QString& caption, bool autoSize, QWidget* parent)
    : QLabel(caption, parent), autoSize_(autoSize) {
    setObjectName(name);
}

Label* autoSizedLabel(const QString& name, const QString& caption, QWidget* parent, int left,
                      int top, int width, int height) {
    auto* label = new Label(name, caption, true, parent);
    placeTwips(label, left, top, width, height);
    label->setCaption(caption);
    return label;
}

void Label::setCaption(const QString& caption) {
    setText(caption);
    if (!autoSize_)
        return;
    if (isVisible())
        resize(sizeHint());
    else
        fitPending_ = true;
}

bool Label::event(QEvent* event) {
    if (event->type() == QEvent::Show && fitPending_) {
        fitPending_ = false;
        resize(sizeHint());
    }
    return QLabel::event(event);
}

} // namespace ui
