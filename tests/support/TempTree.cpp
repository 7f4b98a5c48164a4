#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace testing_support {

TempTree::TempTree() {
    if (!root_.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

QString TempTree::path(const QString& relative) const {
    return relative.isEmpty() ? root_.path() : root_.path() + QLatin1Char('/') + relative;
}

QString TempTree::dir(const QString& relative) const {
    const QString full = path(relative);
    QDir().mkpath(full);
    return full;
}

QString TempTree::file(const QString& relative, const QByteArray& content) const {
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile out(full);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        throw std::runtime_error("cannot write a test file");
    return full;
}

QByteArray TempTree::read(const QString& relative) const {
    QFile in(path(relative));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace testing_support
