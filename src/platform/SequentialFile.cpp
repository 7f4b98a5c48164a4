#include "platform/SequentialFile.h"

#include "platform/Error.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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
        // Inside the quotes a doubled quote stands for one, so a value can
        // carry quotes; a single quote ends the value.
        QString value;
        qsizetype from = pos_ + 1;
        while (true) {
            const qsizetype quote = text_.indexOf(QLatin1Char('"'), from);
            if (quote < 0) {
                value += QStringView(text_).mid(from);
                pos_ = text_.size();
                break;
            }
            value += QStringView(text_).mid(from, quote - from);
            if (quote + 1 < text_.size() && text_.at(quote + 1) == QLatin1Char('"')) {
                value += QLatin1Char('"');
                from = quote + 2;
                continue;
            }
            pos_ = quote + 1;
            break;
        }
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

QString InputFile::readChars(qint64 n) {
    const QByteArray chunk = bytes_.mid(pos_, n);
    pos_ += chunk.size();
    return decodeText(chunk);
}

namespace {

// What a save names its temporary: the file's name, this mark and six
// letters or digits ("runemark.ini.runemark-save-a1B2c3"). QSaveFile names
// its own "runemark.ini.a1B2c3", the very form of a player's hand-made
// "runemark.ini.old123", so a sweep of its leftovers could not tell them
// apart; no player names a copy this way.
const QLatin1String temporaryMark(".runemark-save-");
constexpr int temporaryLetters = 6;

// The file a path names once symbolic links are followed: a settings file
// kept elsewhere through a link stays a link, and its target is replaced. A
// loop of links is refused: writing anywhere would replace one of its links
// with a regular file.
QString linkTarget(const QString& path) {
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
    }
    throw Error(QStringLiteral("Cannot write"), nativePath(path), systemReason(ELOOP));
}

// Why the file could not be opened for writing, naming what refused: the
// directory the replacement is created in, the file itself, or neither.
Error openRefusal(const QString& target, const QString& reason) {
    const QFileInfo info(target);
    const QFileInfo dir(info.absolutePath());
    if (info.isDir())
        return Error(QStringLiteral("Cannot write"), nativePath(target), systemReason(EISDIR));
    if (dir.isDir() && !dir.isWritable())
        return Error(QStringLiteral("Cannot create a file in the write-protected directory"),
                     nativePath(dir.absoluteFilePath()), reason);
    if (info.exists() && !info.isWritable())
        return Error(QStringLiteral("Cannot replace the write-protected file"), nativePath(target),
                     systemReason(EACCES));
    return Error(QStringLiteral("Cannot write"), nativePath(target), reason);
}

QString randomLetters() {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString result;
    for (int i = 0; i < temporaryLetters; ++i)
        result += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return result;
}

// Written data can still be lost after the last write returned (a full disk
// shows at the flush or the sync): both are checked, so only data on disk
// replaces the old file.
QString unsavedReason(QFile& file) {
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return systemReason(errno);
#endif
    return {};
}

// A rename is recorded in the directory; until the directory reaches the
// disk a power cut can bring back the old name's content or none. The file
// is in place by now, so a directory that cannot be synced (some file
// systems refuse) changes nothing of the outcome.
void syncDirectory([[maybe_unused]] const QString& dir) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

bool isOwnTemporary(const QFileInfo& entry, const QString& fileName) {
    static const QRegularExpression letters(QStringLiteral("^[A-Za-z0-9]{6}$"));
    const QString name = entry.fileName();
    const qsizetype prefix = fileName.size() + temporaryMark.size();
    return name.size() == prefix + temporaryLetters && name.startsWith(fileName + temporaryMark) &&
           letters.match(QStringView(name).mid(prefix)).hasMatch() && entry.isFile() &&
           !entry.isSymLink()
#ifdef Q_OS_UNIX
           && entry.ownerId() == ::geteuid()
#endif
        ;
}

} // namespace

// Hand-written over QSaveFile for the temporary's name (see temporaryMark).
OutputFile::OutputFile(const QString& path) : target_(linkTarget(resolveCase(path))) {
    const QFileInfo existing(target_);
    if (existing.isDir())
        throw openRefusal(target_, systemReason(EISDIR));
    for (int attempt = 0; attempt < 100; ++attempt) {
        file_.setFileName(target_ + temporaryMark + randomLetters());
        // Created new, never opened over another file of that name.
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (file_.error() != QFileDevice::OpenError || !file_.exists())
            throw openRefusal(target_, file_.errorString());
    }
    if (!file_.isOpen())
        throw openRefusal(target_, file_.errorString());
    // The replacement keeps the permissions of the file it replaces; a new
    // file gets the usual ones (0666 less the umask), as open() made it.
    if (existing.exists() && !existing.isWritable()) {
        discard();
        throw openRefusal(target_, systemReason(EACCES));
    }
    if (existing.exists())
        file_.setPermissions(existing.permissions());
}

OutputFile::~OutputFile() {
    if (file_.isOpen())
        discard();
}

void OutputFile::discard() {
    file_.close();
    QFile::remove(file_.fileName());
}

void OutputFile::writeRecord(const QString& value) {
    QByteArray record;
    record += '"';
    // A quote inside the value is doubled; the reader reads it back as one.
    record += encodeText(value).replace('"', "\"\"");
    record += "\"\r\n";
    if (file_.write(record) != record.size())
        throw Error(QStringLiteral("Cannot write"), nativePath(target_), file_.errorString());
}

void OutputFile::close() {
    const QString reason = unsavedReason(file_);
    if (!reason.isEmpty()) {
        discard();
        throw Error(QStringLiteral("Cannot write"), nativePath(target_),
                    reason + QStringLiteral("; the old file is kept"));
    }
    file_.close();
    // rename() replaces the old file in one step; QFile::rename refuses an
    // existing destination.
    if (::rename(QFile::encodeName(file_.fileName()).constData(),
                 QFile::encodeName(target_).constData()) != 0) {
        const int error = errno;
        QFile::remove(file_.fileName());
        throw Error(QStringLiteral("Cannot write"), nativePath(target_),
                    systemReason(error) + QStringLiteral("; the old file is kept"));
    }
    syncDirectory(QFileInfo(target_).absolutePath());
    removeLeftoverTemporaries(target_, std::chrono::minutes(1));
}

void removeLeftoverTemporaries(const QString& path, std::chrono::seconds age) {
    const QFileInfo file(path);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-age.count());
    QDirIterator entries(file.absolutePath(), {file.fileName() + temporaryMark + QLatin1Char('*')},
                         QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        // Younger ones may belong to a write still going on in another copy.
        if (isOwnTemporary(entry, file.fileName()) && entry.lastModified().toUTC() < before)
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace platform
