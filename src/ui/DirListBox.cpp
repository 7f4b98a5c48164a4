#include "ui/DirListBox.h"

#include "platform/DirectoryListing.h"
#include "platform/Drives.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/System.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <algorithm>
#include <cerrno>

namespace ui {

namespace {

QString joinPath(const QString& dir, const QString& name) {
    return dir.endsWith(platform::separator()) ? dir + name : dir + platform::separator() + name;
}

QString displayName(const QString& path) {
    const QString name = QFileInfo(QDir::fromNativeSeparators(path)).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

DirListBox::DirListBox(const QString& name, QWidget* parent) : QListWidget(parent) {
    setObjectName(name);
    setUniformItemSizes(true);
    path_ = platform::currentDirectory();
    reload();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        emit userOpened(item->data(Qt::UserRole).toString());
    });
}

void DirListBox::setPath(const QString& path) {
    QString target = platform::isDriveText(path) ? platform::currentDirectoryOn(path)
                                                 : platform::resolveCase(path);
    target = QDir::cleanPath(QDir(platform::currentDirectory()).absoluteFilePath(target));
    target = platform::nativePath(platform::withoutTrailingSeparator(target));

    const QFileInfo info(target);
    if (!info.isDir())
        throw platform::Error(QStringLiteral("Cannot open the directory"),
                              platform::nativePath(path),
                              platform::systemReason(info.exists() ? ENOTDIR : ENOENT));
    if (!info.isReadable() || !info.isExecutable())
        throw platform::Error(QStringLiteral("Cannot open the directory"), target,
                              platform::systemReason(EACCES));
    if (target == path_)
        return;
    path_ = target;
    reload();
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
    const int row = currentRow();
    return row < 0 ? -1 : row - static_cast<int>(ancestors_.size());
}

void DirListBox::Refresh() {
    reload();
}

void DirListBox::reload() {
    ancestors_.clear();
    QString walk = QDir::fromNativeSeparators(path_);
    while (true) {
        ancestors_.prepend(platform::nativePath(walk));
        const QString parent = QFileInfo(walk).path();
        if (parent == walk || walk.isEmpty() || QDir(walk).isRoot())
            break;
        walk = parent;
    }

    QStringList names;
    platform::forEachEntry(path_, [&names](const platform::DirectoryEntry& entry) {
        if (entry.kind() == platform::EntryKind::Directory)
            names.append(entry.name);
        return true;
    });
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    subdirectories_.clear();
    subdirectories_.reserve(names.size());
    for (const QString& name : names)
        subdirectories_.append(joinPath(path_, name));

    // Rows: the ancestors and the open directory, indented by depth, then the
    // sub-directories one step further in.
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const QString& ancestor : std::as_const(ancestors_)) {
        auto* item =
            new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + displayName(ancestor));
        item->setData(Qt::UserRole, ancestor);
        addItem(item);
        ++depth;
    }
    const QString indent(depth * 2, QLatin1Char(' '));
    for (qsizetype i = 0; i < subdirectories_.size(); ++i) {
        auto* item = new QListWidgetItem(closed, indent + names.at(i));
        item->setData(Qt::UserRole, subdirectories_.at(i));
        addItem(item);
    }
    setCurrentRow(static_cast<int>(ancestors_.size()) - 1);
}

} // namespace ui
