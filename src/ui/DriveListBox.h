#pragma once

#include <QComboBox>
#include <QHash>
#include <QString>

#include <functional>

namespace ui {

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
    // Empty when none was noted or it is gone; throws platform::Error when
    // it does not answer within the storage deadline.
    QString rememberedDirectory(const QString& drive) const;
    // Notes `path` as its drive's last directory and shows that drive,
    // raising no Change: the directory list went there by itself (opening a
    // mount point crosses to another drive).
    void follow(const QString& path);
    // Re-reads the host's drives and shows the one holding `path`, raising
    // no Change: the way back when a chosen drive cannot be opened.
    void restore(const QString& path);

    // The drives are read again each time the list opens.
    void showPopup() override;

  signals:
    void userPicked();

  private:
    void fill();
    QString current_;
    QHash<QString, QString> remembered_; // drive -> directory
};

} // namespace ui
