#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "support/Printers.h"

namespace testing_support {

// A real directory tree in a fresh temporary directory, removed afterwards.
class TempTree {
  public:
    TempTree();
    // Absolute path of `relative` inside the tree ("" gives the root).
    QString path(const QString& relative = {}) const;
    // Creates a directory (and its parents); returns its path.
    QString dir(const QString& relative) const;
    // Creates a file with `content` (and its directories); returns its path.
    QString file(const QString& relative, const QByteArray& content = "x") const;
    QByteArray read(const QString& relative) const;

  private:
    QTemporaryDir root_;
};

} // namespace testing_support
