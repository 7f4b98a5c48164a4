#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

namespace ui {

// Mouse buttons and modifier keys as the mouse events report them.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;
int buttonCode(Qt::MouseButton button);
int shiftCode(Qt::KeyboardModifiers modifiers);

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

} // namespace ui
