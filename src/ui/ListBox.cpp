#include "ui/ListBox.h"

#include "ui/ReadingOrder.h"
#include "ui/Screen.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return LeftButton;
    case Qt::RightButton:
        return RightButton;
    case Qt::MiddleButton:
        return MiddleButton;
    default:
        return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

QVariant TextListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= texts_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return texts_.at(index.row());
    return {};
}

void TextListModel::insert(int row, const QString& text, const QString& directory) {
    if (!filling_)
        beginInsertRows({}, row, row);
    texts_.insert(row, text);
    directories_.insert(row, directory);
    if (!filling_)
        endInsertRows();
}

void TextListModel::beginFill() {
    if (filling_ || !texts_.isEmpty())
        return;
    beginResetModel();
    filling_ = true;
}

void TextListModel::endFill() {
    if (!filling_)
        return;
    filling_ = false;
    endResetModel();
}

void TextListModel::remove(int row) {
    beginRemoveRows({}, row, row);
    texts_.removeAt(row);
    directories_.removeAt(row);
    endRemoveRows();
}

void TextListModel::clear() {
    beginResetModel();
    texts_.clear();
    directories_.clear();
    endResetModel();
}

ListBox::ListBox(const QString& name, bool sorted, QWidget* parent)
    : QListView(parent), sorted_(sorted), model_(new TextListModel(this)) {
    setObjectName(name);
    setModel(model_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The menu comes from MouseDown alone, for the mouse and the keyboard.
    setContextMenuPolicy(Qt::PreventContextMenu);
    showFocus(this);
}

void ListBox::Clear() {
    model_->clear();
}

void ListBox::AddItem(const QString& text) {
    addEntry(text, QString());
}

void ListBox::addEntry(const QString& text, const QString& directory) {
    const QStringList& texts = model_->texts();
    const int row = sorted_ ? sortedInsertPosition(
                                  ListCount(), [&texts](int i) { return texts.at(i); }, text)
                            : ListCount();
    model_->insert(row, text, directory);
}

void ListBox::RemoveItem(int index) {
    if (index >= 0 && index < ListCount())
        model_->remove(index);
}

QString ListBox::List(int index) const {
    const QStringList& texts = model_->texts();
    return index >= 0 && index < texts.size() ? texts.at(index) : QString();
}

int ListBox::ListIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ListBox::setListIndex(int index) {
    if (index < 0 || index >= ListCount()) {
        setCurrentIndex({});
        clearSelection();
        return;
    }
    setCurrentIndex(model_->index(index));
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                   static_cast<float>(at.x() * twipsPerPixelX()),
                   static_cast<float>(at.y() * twipsPerPixelY()));
    // A right button shows the menu without moving the selection, as list
    // boxes on the classic desktop do.
    if (event->button() != Qt::RightButton)
        QListView::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (!menuKey) {
        QListView::keyPressEvent(event);
        return;
    }
    // The keyboard's way to the menu is the right button over the chosen
    // entry (the top of the list when none is chosen).
    event->accept();
    const QRect row = entryRect(ListIndex());
    const QPointF at =
        row.isValid() ? QPointF(row.left() + row.height() / 2.0, row.center().y()) : QPointF(0, 0);
    emit MouseDown(RightButton, shiftCode(event->modifiers()),
                   static_cast<float>(at.x() * twipsPerPixelX()),
                   static_cast<float>(at.y() * twipsPerPixelY()));
}

void showFocus(QAbstractItemView* list) {
    // Our style draws a list the same with and without the keyboard focus;
    // a keyboard user must see where Tab has gone.
    list->setStyleSheet(
        QStringLiteral("QAbstractItemView:focus { border: 2px solid palette(highlight); }"));
}

QItemSelectionModel::SelectionFlags keepChosen(QItemSelectionModel::SelectionFlags command) {
    if (command & QItemSelectionModel::Deselect)
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    return selectionMode() == SingleSelection ? keepChosen(command) : command;
}

void ListBox::AddItem(const QString& text, const QString& directory) {
    addEntry(text, directory);
}

QString ListBox::ItemDirectory(int index) const {
    return model_->directory(index);
}

} // namespace ui
