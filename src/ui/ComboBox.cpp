#include "ui/ComboBox.h"

#include "ui/ReadingOrder.h"

#include <QKeyEvent>

#include <functional>

namespace ui {

void ComboEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Enter ends here: passed on, the combo box would hand it back to this
    // field a second time.
    if (enter)
        event->accept();
    const QString typed = event->text();
    const bool typesCharacter =
        enter || event->key() == Qt::Key_Backspace || (!typed.isEmpty() && typed.at(0).isPrint());
    if (typesCharacter)
        emit KeyPress(typed.isEmpty() ? 0 : typed.at(0).unicode());
}

ComboBox::ComboBox(const QString& name, bool editable, bool sorted, QWidget* parent)
    : QComboBox(parent), sorted_(sorted) {
    setObjectName(name);
    setEditable(editable);
    if (editable) {
        auto* edit = new ComboEdit(this);
        setLineEdit(edit);
        // Qt's inline completion would finish typed text from the list.
        setCompleter(nullptr);
        connect(edit, &ComboEdit::KeyPress, this, &ComboBox::KeyPress);
    }
    // Enter must not add the typed text to the list.
    setInsertPolicy(QComboBox::NoInsert);
}

void ComboBox::Clear() {
    clear();
    if (isEditable())
        setEditText(QString());
}

void ComboBox::AddItem(const QString& text) {
    const int before = currentIndex();
    const QString shown = isEditable() ? currentText() : QString();
    const int row = sorted_ ? sortedInsertPosition(
                                  count(), [this](int i) { return itemText(i); }, text)
                            : count();
    insertItem(row, text);
    // Qt selects the first entry added to an empty box; this toolkit does not.
    if (before < 0)
        setCurrentIndex(-1);
    if (isEditable())
        setEditText(shown);
}

QString ComboBox::List(int index) const {
    return index >= 0 ? itemText(index) : QString();
}

void ComboBox::setListIndex(int index) {
    setCurrentIndex(index < count() ? index : -1);
}

void ComboBox::setText(const QString& text) {
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(findText(text));
}

namespace {
constexpr int DirectoryRole = Qt::UserRole + 1;

// The row that `add` inserts into `model`, whatever rule places it.
int rowAddedBy(QAbstractItemModel* model, const std::function<void()>& add) {
    int row = -1;
    const QMetaObject::Connection watch =
        QObject::connect(model, &QAbstractItemModel::rowsInserted,
                         [&row](const QModelIndex&, int first, int) { row = first; });
    add();
    QObject::disconnect(watch);
    return row;
}
} // namespace

void ComboBox::AddItem(const QString& text, const QString& directory) {
    const int row = rowAddedBy(model(), [&] { AddItem(text); });
    if (row >= 0)
        setItemData(row, directory, DirectoryRole);
}

QString ComboBox::ItemDirectory(int index) const {
    return index >= 0 ? itemData(index, DirectoryRole).toString() : QString();
}

} // namespace ui
