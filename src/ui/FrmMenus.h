#pragma once

#include <QMainWindow>
#include <QString>

#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace ui {

// One item of the hidden window's menu: caption, enabled flag and a free tag.
class MenuItem {
  public:
    explicit MenuItem(QAction* action) : action_(action) {}
    QString Caption() const;
    void setCaption(const QString& caption);
    bool Enabled() const;
    void setEnabled(bool enabled);
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    QAction* action() const { return action_; }

  private:
    QAction* action_;
    QString tag_;
};

// The hidden window that carries the patch list's context menu. It is never
// shown; its menu bar holds "Main" with the items Play, Readme, a separator
// and Refresh.
class FrmMenus : public QMainWindow {
    Q_OBJECT
  public:
    FrmMenus();

    MenuItem& menu(int index) { return items_.at(static_cast<size_t>(index)); }
    // Index of an item's action in the array, -1 when it is none of them.
    int indexOf(const QAction* action) const;
    // Queues the click of item `index`, to arrive once the menu has closed.
    void deliver(int index);

  signals:
    void menuClick(int index);

  private:
    QMenu* mainmenu_;
    std::array<MenuItem, 4> items_;
};

// The three desktop menu operations, over the hidden window's Qt menu bar.
QMenuBar* GetMenu(FrmMenus* window);
QMenu* GetSubMenu(QMenuBar* menuBar, int position);
// Shows `menu` with its top-left corner at screen pixel (x, y), runs its
// modal loop and delivers the chosen item to `owner`, whose menuClick then
// arrives as an event of its own. Returns nonzero when the menu was shown.
int TrackPopupMenu(QMenu* menu, int flags, int x, int y, int reserved, FrmMenus* owner,
                   const int* rect);

constexpr int TPM_RIGHTBUTTON = 2;

} // namespace ui
