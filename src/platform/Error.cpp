#include "platform/Error.h"

namespace platform {

namespace {

// A message must fit a message box: a subject read from a damaged file can be
// megabytes long, so its middle gives way.
QString shortened(const QString& subject) {
    constexpr qsizetype limit = 400;
    if (subject.size() <= limit)
        return subject;
    return subject.left(limit / 2) + QStringLiteral("\u2026") + subject.right(limit / 2);
}

QString compose(const QString& action, const QString& subject, const QString& reason) {
    QString text = action;
    if (!subject.isNull())
        text += QLatin1Char(' ') + shortened(subject);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text;
}
} // namespace

Error::Error(const QString& action, const QString& subject, const QString& reason,
             const QString& detail)
    : std::runtime_error(compose(action, subject, reason).toStdString()), action_(action),
      subject_(subject), reason_(reason), detail_(detail) {}

QString Error::message() const {
    return compose(action_, subject_, reason_);
}

QString systemReason(int errorCode) {
    return qt_error_string(errorCode);
}

} // namespace platform
