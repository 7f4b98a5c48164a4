#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>

namespace ui {

// The edit field of an editable combo box: reports each typed character
// (Backspace and Enter included) once the field has taken it.
class ComboEdit : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;
  signals:
    void KeyPress(int keyAscii);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class ComboBox : public QComboBox {
    Q_OBJECT
  public:
    // editable: a drop-down combo with an edit field; otherwise pick-only.
    ComboBox(const QString& name, bool editable, bool sorted, QWidget* parent);

    void Clear();
    // Adding never changes the selection or the edit field's text. A
    // pick-only box widens, never narrows, so that the entry shows whole.
    void AddItem(const QString& text);
    int ListCount() const { return count(); }
    QString List(int index) const;
    int ListIndex() const { return currentIndex(); }
    // Selects the entry and shows it as the text.
    void setListIndex(int index);
    QString Text() const { return currentText(); }
    void setText(const QString& text);
    bool Enabled() const { return isEnabled(); }

    // Entries that keep the directory they were found in, as in ListBox.
    void AddItem(const QString& text, const QString& directory);
    QString ItemDirectory(int index) const;

  signals:
    void KeyPress(int keyAscii);

  private:
    void fitWidthTo(const QString& text);

    bool sorted_;
};

} // namespace ui
