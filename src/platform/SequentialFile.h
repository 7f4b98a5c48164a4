#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <chrono>
#include <optional>

namespace platform {

// Reads comma- or line-separated values the way the settings file is read:
// blanks before a value are skipped; a value that begins with a double quote
// runs to the next double quote (commas included) and the rest of its field,
// up to and including the next comma or line end, is passed over; any other
// value runs to the first comma or line end, which is consumed. Inside the
// quotes a doubled quote ("") is one quote of the value. Line ends are CR LF,
// LF or a lone CR. The enclosing quotes are never part of a value; nothing is
// trimmed.
class FieldReader {
  public:
    explicit FieldReader(QString text) : text_(std::move(text)) {}
    // The next value, or nullopt when reading would go past the end.
    std::optional<QString> next();

  private:
    void skipPastDelimiter();

    QString text_;
    qsizetype pos_ = 0;
};

// Text in the system's 8-bit code page, as the settings file and the manual
// are stored (no byte-order mark, no conversion of line ends).
QString decodeText(const QByteArray& bytes);
QByteArray encodeText(const QString& text);

// The whole file, or nullopt with the system's reason in `reason`.
std::optional<QByteArray> readFileBytes(const QString& path, QString* reason);

// A file opened for sequential reading. Files read this way are small (the
// settings file, the manual), so it is read whole at open.
class InputFile {
  public:
    // Throws Error naming the file when it is missing or cannot be read.
    explicit InputFile(const QString& path);

    qint64 length() const { return bytes_.size(); }
    // The next n bytes as text (fewer at the end of the file).
    QString readChars(qint64 n);

  private:
    QString path_;
    QByteArray bytes_;
    qint64 pos_ = 0;
};

// A file opened for sequential writing. The new content goes to a temporary
// beside the file ("runemark.ini.runemark-save-a1B2c3") and replaces the old
// file only when close() succeeds, so a failed write never leaves it half
// written. A path that is a symbolic link stays one: the file it leads to is
// replaced, and its temporary lies beside it. A loop of links is refused.
class OutputFile {
  public:
    // Throws Error naming what refused (the directory or the file) when the
    // file cannot be created.
    explicit OutputFile(const QString& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // One record: the value between double quotes, then CR LF. A double
    // quote inside the value is written twice; nothing else is changed.
    void writeRecord(const QString& value);
    // Commits the new content once it is on disk, syncs the directory that
    // records the new name, then removes this file's temporaries older than
    // a minute (left by a write that was killed).
    // Throws Error with the system's reason, the old file kept whole.
    void close();

  private:
    void discard();

    QString target_; // the path with symbolic links followed
    QFile file_;     // the temporary
};

// Removes the temporary files a replacement of `path` leaves when it is
// killed ("runemark.ini.runemark-save-a1B2c3" beside "runemark.ini"), ours
// and older than `age`, in the directory of `path` alone. Nothing else there
// is touched, whatever its name.
void removeLeftoverTemporaries(const QString& path, std::chrono::seconds age);

} // namespace platform
