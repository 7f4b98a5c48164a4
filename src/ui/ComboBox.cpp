#include "ui/ComboBox.h"

#include "ui/ReadingOrder.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
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
    if (!isEditable())
        fitWidthTo(text);
    // Qt selects the first entry added to an empty box; this toolkit does not.
    if (before < 0)
        setCurrentIndex(-1);
    if (isEditable())
        setEditText(shown);
}

namespace {
// What a parent leaves inside its frame: a group box's contents as its style
// draws it, any other widget's contents rectangle.
QRect insideOf(const QWidget* parent) {
    if (const auto* group = qobject_cast<const QGroupBox*>(parent)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.rect = group->rect();
        option.subControls = QStyle::SC_GroupBoxFrame;
        option.features = QStyleOptionFrame::None;
        return group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                              QStyle::SC_GroupBoxContents, group);
    }
    return parent->contentsRect();
}
} // namespace

// The design's width leaves less room around the text than a style's frame,
// padding and arrow take at some scales: the room is asked from the style
// (the text field it leaves in this box), as it differs by style and scale.
void ComboBox::fitWidthTo(const QString& text) {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.rect = rect();
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The label is drawn one pixel in from each side of that field.
    const int around = width() - field.width() + 2;
    const int needed = fontMetrics().horizontalAdvance(text) + around;
    if (needed <= width())
        return;
    // Wider to the right as far as the parent's inside reaches, then to the
    // left: a box cut off by its frame would hide its own border.
    QRect placed(pos(), QSize(needed, height()));
    if (const QWidget* parent = parentWidget()) {
        const int over = placed.right() - insideOf(parent).right();
        if (over > 0)
            placed.translate(-std::min(over, placed.left()), 0);
    }
    setGeometry(placed);
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
