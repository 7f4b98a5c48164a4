#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QListView>
#include <QStringList>

#include <functional>

namespace platform {
class DirectorySnapshot;
}

namespace ui {

// The directory list's rows: the open directories (root first), then the
// sub-directories. Each row's looks (folder, bold type, indent) are read from
// its position, so filling the list stores two strings a row.
class DirectoryRows : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int DepthRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(paths_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;
    // `open` rows first, then the rest; `names` are the shown texts.
    void reset(const QStringList& names, const QStringList& paths, int open);

  private:
    const QIcon& folder(bool open) const;
    QStringList names_;
    QStringList paths_;
    int open_ = 0;
    // Drawn when first shown: a list not on screen at start-up draws none.
    mutable QIcon openFolder_;
    mutable QIcon closedFolder_;
};

// Directory list: shows the open directory's ancestors, the directory itself
// and every sub-directory, hidden ones included (in reading order ignoring
// case). Open directories (the ancestors and the directory itself) show an
// open folder in bold, sub-directories a closed folder; each row is indented
// by its depth. Enter opens the highlighted row as a double-click does, and
// typing a name moves the highlight to it.
// Entry i (0 to ListCount-1) is the full path of sub-directory i; -1 is the
// open directory, -2 its parent and so on up to the root.
class DirListBox : public QListView {
    Q_OBJECT
  public:
    DirListBox(const QString& name, QWidget* parent);

    QString Path() const { return path_; }
    // Opens `path` (resolved ignoring case; on Windows a drive letter alone
    // opens that drive's current directory), its listing taken from `held`
    // when that holds it. Raises Change inside the call when the path
    // changes. Throws platform::Error when the directory cannot be opened or
    // does not answer within the storage deadline; the list is then unchanged.
    void setPath(const QString& path, const platform::DirectorySnapshot* held = nullptr);
    int ListCount() const { return static_cast<int>(subdirectories_.size()); }
    QString List(int index) const;
    int ListIndex() const;
    // Re-reads the open directory from disk; throws platform::Error when it
    // does not answer, the list left as it was.
    void Refresh();

    std::function<void()> Change;

  signals:
    // The user opened an entry (double-click or Enter).
    void userOpened(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The open or highlighted row never loses its highlight (Ctrl+click).
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    // Shows `path` with its sub-directories `names` (in listing order).
    void showDirectory(const QString& path, QStringList names);
    static void sortForReading(QStringList& names);
    void fillRows(const QStringList& names);

    QString path_;
    QStringList ancestors_; // root first, the open directory last
    QStringList subdirectories_;
    DirectoryRows* rows_;
};

} // namespace ui
