#include "ui/FrmMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>

namespace ui {

QString MenuItem::Caption() const {
    return action_->text();
}
void MenuItem::setCaption(const QString& caption) {
    action_->setText(caption);
}
bool MenuItem::Enabled() const {
    return action_->isEnabled();
}
void MenuItem::setEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

namespace {
QAction* item(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}
} // namespace

FrmMenus::FrmMenus()
    : mainmenu_(menuBar()->addMenu(QStringLiteral("Main"))),
      items_{MenuItem(item(mainmenu_, QStringLiteral("menu0"), QStringLiteral("&Play"))),
             MenuItem(item(mainmenu_, QStringLiteral("menu1"), QStringLiteral("Read&me"))),
             MenuItem(mainmenu_->addSeparator()),
             MenuItem(item(mainmenu_, QStringLiteral("menu3"), QStringLiteral("&Refresh")))} {
    setObjectName(QStringLiteral("frmMenus"));
    mainmenu_->setObjectName(QStringLiteral("mainmenu"));
    items_[2].action()->setObjectName(QStringLiteral("menu2"));
    // On desktops with a global menu bar the hidden window's bar must stay ours.
    menuBar()->setNativeMenuBar(false);
}

int FrmMenus::indexOf(const QAction* action) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].action() == action)
            return static_cast<int>(i);
    }
    return -1;
}

void FrmMenus::deliver(int index) {
    QMetaObject::invokeMethod(
        this, [this, index] { emit menuClick(index); }, Qt::QueuedConnection);
}

QMenuBar* GetMenu(FrmMenus* window) {
    return window ? window->menuBar() : nullptr;
}

QMenu* GetSubMenu(QMenuBar* menuBar, int position) {
    if (!menuBar)
        return nullptr;
    const QList<QAction*> menus = menuBar->actions();
    if (position < 0 || position >= menus.size())
        return nullptr;
    return menus.at(position)->menu();
}

int TrackPopupMenu(QMenu* menu, int flags, int x, int y, int reserved, FrmMenus* owner,
                   const int* rect) {
    Q_UNUSED(flags); // both buttons choose an item in a Qt menu, as TPM_RIGHTBUTTON asks
    Q_UNUSED(reserved);
    Q_UNUSED(rect);
    if (!menu || !owner)
        return 0;
    const QAction* chosen = menu->exec(QPoint(x, y));
    const int index = owner->indexOf(chosen);
    if (index >= 0)
        owner->deliver(index);
    return 1;
}

} // namespace ui
