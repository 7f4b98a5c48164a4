#pragma once

// Standard controls with the semantics the handlers rely on, over Qt widgets.
// Each control carries its design name as its Qt object name.

#include <QAbstractListModel>
#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace ui {

// A picture of the program's own, in the format it is stored in. Read without
// asking every image plugin whether it knows the data (which loads them all
// at start-up); empty when it cannot be read.
QPixmap programPicture(const QString& resource, const char* format);

// Mouse buttons and modifier keys as the mouse events report them.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;
int buttonCode(Qt::MouseButton button);
int shiftCode(Qt::KeyboardModifiers modifiers);

// The order people read names in: the system's collation, ignoring case, so
// accented names sit beside their base letter. One collator serves the whole
// program (creating one per comparison would be slow).
const QCollator& readingCollator();

// Index of the first entry of `count` entries (read through `at`) that sorts
// after `text` in reading order: where a sorted list inserts a new entry,
// after any entries equal to it.
int sortedInsertPosition(int count, const std::function<QString(int)>& at, const QString& text);

// The entries of a list box: plain strings in a model of its own, so adding
// one costs a string and a row notice, not an item object.
class TextListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;
    const QStringList& texts() const { return texts_; }
    void insert(int row, const QString& text, const QString& directory = {});
    void remove(int row);
    void clear();
    // Inserts between these two are announced to the views once, as a
    // reset at the end, when the list is empty at the start (a fill from
    // scratch); otherwise each insert is announced as it happens.
    void beginFill();
    void endFill();

    // The directory each entry was found in (empty when none was given).
    QString directory(int row) const { return directories_.value(row); }

  private:
    QStringList texts_;
    QStringList directories_; // in step with texts_
    bool filling_ = false;
};

class ListBox : public QListView {
    Q_OBJECT
  public:
    ListBox(const QString& name, bool sorted, QWidget* parent);

    void Clear();
    // Sorted lists insert in ascending order ignoring case; others append.
    void AddItem(const QString& text);
    void RemoveItem(int index);
    int ListCount() const { return model_->rowCount(); }
    // Empty text at -1 and at any other index without an entry.
    QString List(int index) const;
    int ListIndex() const;
    void setListIndex(int index);
    bool Enabled() const { return isEnabled(); }
    // Where entry `index` is drawn, in the list's viewport.
    QRect entryRect(int index) const { return visualRect(model_->index(index)); }

    // Entries that keep the directory they were found in: added like
    // AddItem(text), read back by position (empty text at -1 and for an
    // entry added without one).
    void AddItem(const QString& text, const QString& directory);
    QString ItemDirectory(int index) const;

    // While one lives, the entries added to a list that was empty are shown
    // to the view in one step when it ends: filling a list with thousands
    // of entries then costs the view one update, not one per entry.
    class Fill {
      public:
        explicit Fill(ListBox& list) : model_(list.model_) { model_->beginFill(); }
        ~Fill() { model_->endFill(); }
        Fill(const Fill&) = delete;
        Fill& operator=(const Fill&) = delete;

      private:
        TextListModel* model_;
    };

  signals:
    // Raised when a button goes down, before the list reacts to it; x and y
    // are the pointer's position inside the list in twips. The context-menu
    // key and Shift+F10 raise it too, as the right button over the selected
    // entry.
    void MouseDown(int button, int shift, float x, float y);
    void DblClick();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A single-choice list always shows its chosen entry: Ctrl+click and
    // Ctrl+Space select, they never clear.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    void addEntry(const QString& text, const QString& directory);
    bool sorted_;
    TextListModel* model_;
};

// Frames a list in the highlight colour while it has the keyboard focus.
void showFocus(QAbstractItemView* list);

// A single-choice list always shows its chosen entry: a selection command
// that would clear it (Ctrl+click, Ctrl+Space) selects instead.
QItemSelectionModel::SelectionFlags keepChosen(QItemSelectionModel::SelectionFlags command);

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
    // Adding never changes the selection or the edit field's text.
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
    bool sorted_;
};

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

class Label;
// A label sized to its caption, with its top-left corner at a design position
// in twips.
Label* autoSizedLabel(const QString& name, const QString& caption, QWidget* parent, int left,
                      int top, int width, int height);

// A font by its design face name and size in points.
QFont fontOf(const QString& face, double points);

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

// Drive list: the host's drives; Drive reads as the chosen drive's text.
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    DriveListBox(const QString& name, QWidget* parent);

    QString Drive() const { return current_; }
    // Selects the drive of `pathOrDrive`; raises Change inside the call when
    // the drive changes.
    void setDrive(const QString& pathOrDrive);
    // Takes the entry the user picked as the drive (raising Change).
    void commitUserChoice();

    // Raised inside setDrive() and commitUserChoice() when the drive changes.
    std::function<void()> Change;

    // Each drive remembers, for this run, the last directory noted on it.
    void rememberDirectory(const QString& path);
    // Empty when none was noted or it is gone.
    QString rememberedDirectory(const QString& drive) const;
    // Notes `path` as its drive's last directory and shows that drive,
    // raising no Change: the directory list went there by itself (opening a
    // mount point crosses to another drive).
    void follow(const QString& path);
    // Re-reads the host's drives and shows the one holding `path`, raising
    // no Change: the way back when a chosen drive cannot be opened.
    void restore(const QString& path);

  signals:
    void userPicked();

  private:
    void fill();
    QString current_;
    QHash<QString, QString> remembered_; // drive -> directory
};

} // namespace ui
