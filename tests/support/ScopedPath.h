#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace testing_support {

// PATH set to `path` for the life of this object, as a shell would have it.
class ScopedPath {
  public:
    explicit ScopedPath(const QString& path)
        : saved_(qgetenv("PATH")), wasSet_(qEnvironmentVariableIsSet("PATH")) {
        qputenv("PATH", path.toLocal8Bit());
    }
    ~ScopedPath() {
        if (wasSet_)
            qputenv("PATH", saved_);
        else
            qunsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

  private:
    QByteArray saved_;
    bool wasSet_;
};

} // namespace testing_support
