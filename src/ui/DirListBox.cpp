#include "ui/DirListBox.h"

#include "platform/Deadline.h"
#include "platform/DirectoryListing.h"
#include "platform/Drives.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "ui/ListBox.h"
#include "ui/ReadingOrder.h"
#include "ui/Screen.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cerrno>
#include <tuple>
#include <utility>
#include <vector>

namespace ui {

namespace {

QString joinPath(const QString& dir, const QString& name) {
    return dir.endsWith(platform::separator()) ? dir + name : dir + platform::separator() + name;
}

QString displayName(const QString& path) {
    const QString name = QFileInfo(QDir::fromNativeSeparators(path)).fileName();
    return name.isEmpty() ? path : name;
}

int indentOf(const QModelIndex& index) {
    return index.data(DirectoryRows::DepthRole).toInt() * pixelsX(120);
}

// Indents each row by its depth. The row's text stays the bare name, so
// typing a name finds it.
class DepthDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indentOf(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {size.width() + indentOf(index), size.height()};
    }
};

// Our own folder pictures, drawn rather than taken from the style: some
// styles and icon themes give the open and the closed folder one picture.
QIcon folderIcon(bool open) {
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        painter.setPen(QPen(QColor(110, 80, 20), 1.0));
        QPainterPath back; // the folder's back with its tab
        back.moveTo(1.5, 2.5);
        back.lineTo(6.0, 2.5);
        back.lineTo(7.5, 4.5);
        back.lineTo(14.5, 4.5);
        back.lineTo(14.5, 13.5);
        back.lineTo(1.5, 13.5);
        back.closeSubpath();
        painter.setBrush(QColor(205, 160, 60));
        painter.drawPath(back);
        if (open) {
            // A sheet inside and the front swung down, leaning away.
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(3.5, 5.5, 9, 5));
            painter.setBrush(QColor(250, 220, 130));
            painter.drawPolygon(QPolygonF({{4.5, 8.5}, {15.5, 8.5}, {13.5, 13.5}, {1.5, 13.5}}));
        } else {
            painter.setBrush(QColor(235, 195, 90));
            painter.drawRect(QRectF(1.5, 6.5, 13, 7));
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QVariant DirectoryRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= paths_.size())
        return {};
    const int row = index.row();
    const bool open = row < open_;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return platform::visibleFileName(names_.at(row));
    case Qt::DecorationRole:
        return folder(open);
    case Qt::FontRole:
        if (open) {
            QFont bold; // only the weight set: the rest is the list's own
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::AccessibleDescriptionRole:
        // What the icons and bold type show, said to a screen reader.
        return open ? QStringLiteral("Open directory") : QStringLiteral("Sub-directory");
    case PathRole:
        return paths_.at(row);
    case DepthRole:
        return std::min(row, open_);
    default:
        return {};
    }
}

void DirectoryRows::reset(const QStringList& names, const QStringList& paths, int open) {
    beginResetModel();
    names_ = names;
    paths_ = paths;
    open_ = open;
    endResetModel();
}

const QIcon& DirectoryRows::folder(bool open) const {
    QIcon& icon = open ? openFolder_ : closedFolder_;
    if (icon.isNull())
        icon = folderIcon(open);
    return icon;
}

DirListBox::DirListBox(const QString& name, QWidget* parent)
    : QListView(parent), rows_(new DirectoryRows(this)) {
    setObjectName(name);
    setModel(rows_);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new DepthDelegate(this));
    showFocus(this);
    const QString start = platform::currentDirectory();
    QStringList names;
    try {
        names = platform::subdirectoryNames(start, platform::Hidden::Include);
    } catch (const platform::Error&) {
        // A start directory that does not answer shows no sub-directories;
        // opening it again (or Refresh) reads it once it answers.
    }
    showDirectory(start, std::move(names));
    // Double-click opens whatever the style's single-click setting says.
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit userOpened(index.data(DirectoryRows::PathRole).toString());
    });
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain && currentIndex().isValid()) {
        // Taken here, so Enter does not also press the window's default button.
        event->accept();
        emit userOpened(currentIndex().data(DirectoryRows::PathRole).toString());
        return;
    }
    QListView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags DirListBox::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
    return keepChosen(QListView::selectionCommand(index, event));
}

namespace {

// The path the list shows for `path`, when it is a directory the list can
// open; otherwise throws Error saying why not. It may wait on the disk.
QString openableDirectory(const QString& path) {
#ifdef Q_OS_WIN
    // A drive letter alone ("c:") names that drive's current directory.
    QString target = platform::shownDirectoryPath(
        platform::isDriveText(path) ? platform::currentDirectoryOn(path) : path);
#else
    // Where a drive's text is its mount path, that text is a directory like
    // any other: opening "/" opens the root, not the drive's last directory.
    QString target = platform::shownDirectoryPath(path);
#endif
    const QFileInfo info(target);
    if (!info.isDir())
        throw platform::Error(QStringLiteral("Cannot open the directory"),
                              platform::nativePath(path),
                              platform::systemReason(info.exists() ? ENOTDIR : ENOENT));
    if (!info.isReadable() || !info.isExecutable())
        throw platform::Error(QStringLiteral("Cannot open the directory"), target,
                              platform::systemReason(EACCES));
    return target;
}

} // namespace

void DirListBox::setPath(const QString& path, const platform::DirectorySnapshot* held) {
    // A directory whose listing `held` holds (the reading at start-up) was
    // readable when read, and its listing costs nothing. Otherwise the
    // checks and the listing are one call on storage, bounded by the storage
    // deadline, and the list changes only once it has answered.
    QString target = path;
    QStringList names;
    if (held && held->holds(path)) {
        if (target == path_)
            return;
        names = platform::subdirectoryNames(target, platform::Hidden::Include, held);
    } else {
        std::tie(target, names) = platform::withinDeadline(path, [path] {
            QString openable = openableDirectory(path);
            QStringList subdirectories =
                platform::subdirectoryNames(openable, platform::Hidden::Include);
            return std::pair<QString, QStringList>(std::move(openable), std::move(subdirectories));
        });
        if (target == path_)
            return;
    }
    showDirectory(target, std::move(names));
    if (Change)
        Change();
}

QString DirListBox::List(int index) const {
    if (index >= 0)
        return index < subdirectories_.size() ? subdirectories_.at(index) : QString();
    const qsizetype fromEnd = ancestors_.size() + index; // -1 is the open directory
    return fromEnd >= 0 ? ancestors_.at(fromEnd) : QString();
}

int DirListBox::ListIndex() const {
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    return row < 0 ? -1 : row - static_cast<int>(ancestors_.size());
}

void DirListBox::Refresh() {
    // Hidden directories too: game libraries live under ~/.local/share and
    // ~/.steam.
    showDirectory(path_, platform::subdirectoryNames(path_, platform::Hidden::Include));
}

void DirListBox::showDirectory(const QString& path, QStringList names) {
    path_ = path;
    ancestors_.clear();
    QString walk = QDir::fromNativeSeparators(path_);
    while (true) {
        ancestors_.prepend(platform::nativePath(walk));
        const QString parent = QFileInfo(walk).path();
        if (parent == walk || walk.isEmpty() || QDir(walk).isRoot())
            break;
        walk = parent;
    }

    sortForReading(names);
    subdirectories_.clear();
    subdirectories_.reserve(names.size());
    for (const QString& name : names)
        subdirectories_.append(joinPath(path_, name));
    fillRows(names);
}

void DirListBox::sortForReading(QStringList& names) {
    // Names equal but for case keep a fixed order.
    const QCollator& collator = readingCollator();
    // Comparing names directly is cheaper for the usual few hundred; sort
    // keys cost one conversion each but make every comparison cheap, which
    // pays on large directories.
    constexpr qsizetype keysFrom = 4000;
    if (names.size() < keysFrom) {
        std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
            const int order = collator.compare(a, b);
            return order != 0 ? order < 0 : a < b;
        });
        return;
    }
    std::vector<std::pair<QCollatorSortKey, QString>> keyed;
    keyed.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : std::as_const(names))
        keyed.emplace_back(collator.sortKey(name), name);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = keyed[static_cast<size_t>(i)].second;
}

void DirListBox::fillRows(const QStringList& names) {
    // Rows: the ancestors and the open directory, indented by depth, then the
    // sub-directories one step further in.
    QStringList shown;
    shown.reserve(ancestors_.size() + names.size());
    for (const QString& ancestor : std::as_const(ancestors_))
        shown.append(displayName(ancestor));
    shown.append(names);
    rows_->reset(shown, ancestors_ + subdirectories_, static_cast<int>(ancestors_.size()));
    setCurrentIndex(rows_->index(static_cast<int>(ancestors_.size()) - 1));
}

} // namespace ui
