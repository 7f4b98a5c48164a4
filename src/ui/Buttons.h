#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QString>

namespace ui {

class CheckBox : public QCheckBox {
    Q_OBJECT
  public:
    CheckBox(const QString& name, const QString& caption, QWidget* parent);
    int Value() const { return isChecked() ? 1 : 0; }
    bool Enabled() const { return isEnabled(); }
};

class Button : public QPushButton {
    Q_OBJECT
  public:
    Button(const QString& name, const QString& caption, QWidget* parent);
    bool Enabled() const { return isEnabled(); }
};

} // namespace ui
