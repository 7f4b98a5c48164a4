#include "ui/DriveListBox.h"

#include "platform/Deadline.h"
#include "platform/Drives.h"
#include "platform/System.h"

#include <QFileInfo>

namespace ui {

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

void DriveListBox::showPopup() {
    // Read again at each opening: a disk plugged in since shows up. The
    // mount table is read without asking any volume, so this never waits.
    fill();
    setCurrentIndex(findText(current_));
    QComboBox::showPopup();
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
    return !path.isEmpty() &&
                   platform::withinDeadline(path, [path] { return QFileInfo(path).isDir(); })
               ? path
               : QString();
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
