#include "platform/SequentialFile.h"

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QFile>

namespace platform {

namespace {
bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
bool isDelimiter(QChar c) {
    return c == QLatin1Char(',') || isLineEnd(c);
}
} // namespace

void FieldReader::skipPastDelimiter() {
    while (pos_ < text_.size() && !isDelimiter(text_.at(pos_)))
        ++pos_;
    if (pos_ >= text_.size())
        return;
    const QChar delimiter = text_.at(pos_++);
    if (delimiter == QLatin1Char('\r') && pos_ < text_.size() &&
        text_.at(pos_) == QLatin1Char('\n'))
        ++pos_;
}

std::optional<QString> FieldReader::next() {
    while (pos_ < text_.size() &&
           (text_.at(pos_) == QLatin1Char(' ') || text_.at(pos_) == QLatin1Char('\t')))
        ++pos_;
    if (pos_ >= text_.size())
        return std::nullopt;

    if (text_.at(pos_) == QLatin1Char('"')) {
        const qsizetype start = pos_ + 1;
        qsizetype end = text_.indexOf(QLatin1Char('"'), start);
        if (end < 0)
            end = text_.size();
        const QString value = text_.mid(start, end - start);
        pos_ = end + 1;
        skipPastDelimiter();
        return value;
    }
    const qsizetype start = pos_;
    while (pos_ < text_.size() && !isDelimiter(text_.at(pos_)))
        ++pos_;
    const QString value = text_.mid(start, pos_ - start);
    skipPastDelimiter();
    return value;
}

QString decodeText(const QByteArray& bytes) {
    return QString::fromLocal8Bit(bytes);
}

QByteArray encodeText(const QString& text) {
    return text.toLocal8Bit();
}

std::optional<QByteArray> readFileBytes(const QString& path, QString* reason) {
    QFile file(resolveCase(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

InputFile::InputFile(const QString& path) : path_(path) {
    QString reason;
    auto bytes = readFileBytes(path, &reason);
    if (!bytes)
        throw Error(QStringLiteral("Cannot open"), nativePath(path), reason);
    bytes_ = std::move(*bytes);
}

QString InputFile::readValue() {
    if (!fields_)
        fields_ = std::make_unique<FieldReader>(decodeText(bytes_.mid(pos_)));
    auto value = fields_->next();
    if (!value)
        throw Error(QStringLiteral("Cannot read a value from"), nativePath(path_),
                    QStringLiteral("Input past end of file"));
    return *value;
}

QString InputFile::readChars(qint64 n) {
    const QByteArray chunk = bytes_.mid(pos_, n);
    pos_ += chunk.size();
    return decodeText(chunk);
}

OutputFile::OutputFile(const QString& path) : path_(path), file_(resolveCase(path)) {
    if (!file_.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Cannot write"), nativePath(path), file_.errorString());
}

void OutputFile::writeRecord(const QString& value) {
    QByteArray record;
    record += '"';
    record += encodeText(value);
    record += "\"\r\n";
    if (file_.write(record) != record.size())
        throw Error(QStringLiteral("Cannot write"), nativePath(path_), file_.errorString());
}

void OutputFile::close() {
    if (!file_.commit())
        throw Error(QStringLiteral("Cannot write"), nativePath(path_), file_.errorString());
}

} // namespace platform
