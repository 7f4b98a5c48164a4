#pragma once

#include <QLabel>
#include <QString>

namespace ui {

class Label;
// A label sized to its caption, with its top-left corner at a design position
// in twips.
Label* autoSizedLabel(const QString& name, const QString& caption, QWidget* parent, int left,
                      int top, int width, int height);

class Label : public QLabel {
    Q_OBJECT
  public:
    // autoSize: the label grows or shrinks to fit its caption, keeping its
    // top-left corner.
    Label(const QString& name, const QString& caption, bool autoSize, QWidget* parent);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption);

  protected:
    bool event(QEvent* event) override;

  private:
    bool autoSize_;
    // Measuring a caption loads its font; a label not on screen is measured
    // when it is first shown, so hidden pages cost nothing at start-up.
    bool fitPending_ = false;
};

} // namespace ui
