#include "platform/Error.h"

namespace platform {

namespace {
QString compose(const QString& action, const QString& subject, const QString& reason) {
    QString text = action;
    if (!subject.isNull())
        text += QLatin1Char(' ') + subject;
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text;
}
} // namespace

Error::Error(const QString& action, const QString& subject, const QString& reason)
    : std::runtime_error(compose(action, subject, reason).toStdString()), action_(action),
      subject_(subject), reason_(reason) {}

QString Error::message() const {
    return compose(action_, subject_, reason_);
}

QString systemReason(int errorCode) {
    return qt_error_string(errorCode);
}

} // namespace platform
