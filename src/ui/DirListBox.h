#pragma once

#include <QIcon>
#include <QListWidget>
#include <QStringList>

#include <functional>

namespace ui {

// Directory list: shows the open directory's ancestors, the directory itself
// and every sub-directory, hidden ones included (in reading order ignoring
// case). Open directories (the ancestors and the directory itself) show an
// open folder in bold, sub-directories a closed folder; each row is indented
// by its depth. Enter opens the highlighted row as a double-click does, and
// typing a name moves the highlight to it.
// Entry i (0 to ListCount-1) is the full path of sub-directory i; -1 is the
// open directory, -2 its parent and so on up to the root.
class DirListBox : public QListWidget {
    Q_OBJECT
  public:
    DirListBox(const QString& name, QWidget* parent);

    QString Path() const { return path_; }
    // Opens `path` (resolved ignoring case; on Windows a drive letter alone
    // opens that drive's current directory). Raises Change inside the call when the path
    // changes. Throws platform::Error when the directory cannot be opened.
    void setPath(const QString& path);
    int ListCount() const { return static_cast<int>(subdirectories_.size()); }
    QString List(int index) const;
    int ListIndex() const;
    // Re-reads the open directory from disk.
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
    void reload();
    static void sortForReading(QStringList& names);
    void fillRows(const QStringList& names);

    QString path_;
    QStringList ancestors_; // root first, the open directory last
    QStringList subdirectories_;
    QIcon openFolder_;
    QIcon closedFolder_;
};

} // namespace ui
