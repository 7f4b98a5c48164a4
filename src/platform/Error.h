#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// The one error type of the program. Handlers let it fly; only the event
// dispatcher catches it and shows its message to the user.
class Error : public std::runtime_error {
  public:
    // action: what failed ("Cannot start"); subject: the file, directory or
    // program concerned; reason: the system's own explanation, short enough
    // for a message. detail: what may run long (every place searched, a
    // program's last lines), shown apart from the message on request.
    Error(const QString& action, const QString& subject, const QString& reason,
          const QString& detail = {});

    const QString& action() const { return action_; }
    const QString& subject() const { return subject_; }
    const QString& reason() const { return reason_; }
    const QString& detail() const { return detail_; }
    // "Cannot start /home/me/quake/quake: No such file or directory"
    QString message() const;

  private:
    QString action_;
    QString subject_;
    QString reason_;
    QString detail_;
};

// The system's text for an errno value (or the last Windows error).
QString systemReason(int errorCode);

} // namespace platform
