#include "ui/Controls.h"

#include "platform/Drives.h"
#include "platform/System.h"
#include "ui/Screen.h"

#include <QFileInfo>
#include <QImageReader>
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

QPixmap programPicture(const QString& resource, const char* format) {
    QImageReader reader(resource, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

const QCollator& readingCollator() {
    static const QCollator collator = [] {
        QLocale locale;
        // The C locale names no language, and Qt's collator then compares
        // code points (accented letters after Z); the language-neutral order
        // that English uses is how people read names.
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator made(locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

int sortedInsertPosition(int count, const std::function<QString(int)>& at, const QString& text) {
    const QCollator& collator = readingCollator();
    // Entries mostly arrive in order (the scan adds a sorted listing), so the
    // end is tried first.
    if (count == 0 || collator.compare(at(count - 1), text) <= 0)
        return count;
    int low = 0, high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (collator.compare(at(mid), text) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// ---- TextListModel and ListBox

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

// ---- ComboEdit and ComboBox

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

// ---- Entries that keep their directory

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

void ListBox::AddItem(const QString& text, const QString& directory) {
    addEntry(text, directory);
}

QString ListBox::ItemDirectory(int index) const {
    return model_->directory(index);
}

void ComboBox::AddItem(const QString& text, const QString& directory) {
    const int row = rowAddedBy(model(), [&] { AddItem(text); });
    if (row >= 0)
        setItemData(row, directory, DirectoryRole);
}

QString ComboBox::ItemDirectory(int index) const {
    return index >= 0 ? itemData(index, DirectoryRole).toString() : QString();
}

// ---- CheckBox, Button, Label, TextBox

CheckBox::CheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
}

Button::Button(const QString& name, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setObjectName(name);
}

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

QFont fontOf(const QString& face, double points) {
    QFont font(face);
    font.setPointSizeF(points);
    return font;
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

TextBox::TextBox(const QString& name, QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(name);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void TextBox::setText(const QString& text) {
    text_ = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
}

// ---- DriveListBox

DriveListBox::DriveListBox(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    fill();
    const int here = findText(platform::driveOf(platform::currentDirectory()));
    setCurrentIndex(here);
    current_ = currentText();
    connect(this, &QComboBox::activated, this, [this] { emit userPicked(); });
}

void DriveListBox::fill() {
    clear();
    addItems(platform::drives());
}

void DriveListBox::setDrive(const QString& pathOrDrive) {
    QString drive =
        platform::isDriveText(pathOrDrive) ? pathOrDrive : platform::driveOf(pathOrDrive);
    if (drive.isEmpty())
        drive = current_;
    if (findText(drive) < 0)
        fill(); // a volume mounted since the list was filled
    setCurrentIndex(findText(drive));
    if (drive == current_)
        return;
    current_ = drive;
    if (Change)
        Change();
}

void DriveListBox::commitUserChoice() {
    const QString picked = currentText();
    if (picked == current_)
        return;
    current_ = picked;
    if (Change)
        Change();
}

void DriveListBox::rememberDirectory(const QString& path) {
    const QString drive = platform::driveOf(path);
    if (!drive.isEmpty())
        remembered_.insert(drive, path);
}

QString DriveListBox::rememberedDirectory(const QString& drive) const {
    const QString path = remembered_.value(drive);
    return !path.isEmpty() && QFileInfo(path).isDir() ? path : QString();
}

void DriveListBox::follow(const QString& path) {
    rememberDirectory(path);
    const QString drive = platform::driveOf(path);
    if (drive.isEmpty() || drive == current_)
        return;
    if (findText(drive) < 0)
        fill(); // a volume mounted since the list was filled
    setCurrentIndex(findText(drive));
    current_ = drive;
}

void DriveListBox::restore(const QString& path) {
    fill();
    const QString drive = platform::driveOf(path);
    setCurrentIndex(findText(drive));
    current_ = drive;
}

} // namespace ui
