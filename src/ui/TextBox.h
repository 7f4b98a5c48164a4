#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace ui {

// Multi-line, read-only but selectable text box with a vertical scroll bar.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    TextBox(const QString& name, QWidget* parent);
    // The text as it was set, byte for byte; CR LF breaks lines on screen.
    QString Text() const { return text_; }
    void setText(const QString& text);

  private:
    QString text_;
};

} // namespace ui
