#include "content/Bsp.h"

#include <algorithm>

namespace content {

namespace {

// Tokens as the game's own parser reads an entity lump: quoted strings
// (without escapes), braces, bare words; "//" comments to the end of a line;
// a zero byte ends the text.
class Tokens {
  public:
    explicit Tokens(QByteArrayView text) : text_(text) {}

    enum class Kind { Token, End, Cut };
    // The next token in `token`; Cut when it runs past what was read.
    Kind next(QByteArrayView* token, bool* quoted) {
        for (;;) {
            while (at_ < text_.size() && static_cast<unsigned char>(text_[at_]) <= ' ' &&
                   text_[at_] != '\0')
                ++at_;
            if (at_ >= text_.size())
                return Kind::Cut;
            if (text_[at_] == '\0')
                return Kind::End;
            if (text_[at_] == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                const qsizetype line = text_.indexOf('\n', at_);
                if (line < 0)
                    return Kind::Cut;
                at_ = line + 1;
                continue;
            }
            break;
        }
        *quoted = false;
        const char first = text_[at_];
        if (first == '{' || first == '}') {
            *token = text_.sliced(at_, 1);
            ++at_;
            return Kind::Token;
        }
        if (first == '"') {
            const qsizetype close = text_.indexOf('"', at_ + 1);
            if (close < 0)
                return Kind::Cut;
            *token = text_.sliced(at_ + 1, close - at_ - 1);
            *quoted = true;
            at_ = close + 1;
            return Kind::Token;
        }
        const qsizetype start = at_;
        while (at_ < text_.size() && static_cast<unsigned char>(text_[at_]) > ' ' &&
               text_[at_] != '{' && text_[at_] != '}' && text_[at_] != '"')
            ++at_;
        if (at_ >= text_.size())
            return Kind::Cut;
        *token = text_.sliced(start, at_ - start);
        return Kind::Token;
    }

  private:
    QByteArrayView text_;
    qsizetype at_ = 0;
};

} // namespace

std::optional<QString> firstEntityMessage(QByteArrayView lump, bool whole) {
    Tokens tokens(lump);
    QByteArrayView token;
    bool quoted = false;
    const auto next = [&] { return tokens.next(&token, &quoted); };
    const auto cut = [whole]() -> std::optional<QString> {
        return whole ? std::optional<QString>(QString()) : std::nullopt;
    };
    Tokens::Kind kind = next();
    if (kind == Tokens::Kind::Cut)
        return cut();
    if (kind == Tokens::Kind::End || quoted || token != "{")
        return QString();
    QString message;
    for (;;) {
        kind = next();
        if (kind == Tokens::Kind::Cut)
            return cut();
        if (kind == Tokens::Kind::End)
            return QString();
        if (!quoted && token == "}")
            return message;
        const QByteArrayView key = token;
        const bool keyQuoted = quoted;
        kind = next();
        if (kind == Tokens::Kind::Cut)
            return cut();
        if (kind == Tokens::Kind::End || (!quoted && (token == "{" || token == "}")))
            return QString();
        if (keyQuoted && key == "message" && message.isEmpty())
            message = quakeText(token);
    }
}

QString quakeText(QByteArrayView bytes) {
    QString plain;
    plain.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto raw = static_cast<unsigned char>(bytes[i]);
        // 0x10 and up are the game's glyphs; below are control bytes no
        // map writes but as a line break or a tab.
        if ((raw < 0x10 && raw != '\n' && raw != '\r' && raw != '\t') || raw == 0x7F)
            return {};
        const unsigned char c = raw & 0x7F;
        if (c == '\\' && i + 1 < bytes.size() &&
            (static_cast<unsigned char>(bytes[i + 1]) & 0x7F) == 'n') {
            plain += QLatin1Char(' ');
            ++i;
        } else if (c == 0x10) {
            plain += QLatin1Char('[');
        } else if (c == 0x11) {
            plain += QLatin1Char(']');
        } else if (c >= 0x12 && c <= 0x1B) {
            plain += QLatin1Char(static_cast<char>('0' + c - 0x12));
        } else if (c < ' ' || c == 0x7F) {
            // Line breaks, and the game's graphic glyphs, which have no letter.
            plain += QLatin1Char(' ');
        } else {
            plain += QLatin1Char(static_cast<char>(c));
        }
    }
    return plain.simplified();
}

QString mapTitle(std::int64_t size, const ReadAt& read) {
    constexpr std::int64_t HeaderRead = 12;
    if (size < HeaderRead)
        return {};
    const QByteArray header = read(0, HeaderRead);
    if (header.size() != HeaderRead)
        return {};
    if (littleEndian32(header.constData()) != 29 && !header.startsWith("BSP2") &&
        !header.startsWith("2PSB"))
        return {};
    const std::int64_t offset = littleEndian32(header.constData() + 4);
    const std::int64_t length = littleEndian32(header.constData() + 8);
    if (offset < 0 || length <= 0 || offset > size || length > size - offset)
        return {};
    const std::int64_t available = std::min(length, MaxEntityLumpRead);
    // The first entity is at the start and short: read a little, and more
    // only while it has not ended.
    QByteArray lump;
    for (std::int64_t want = std::min<std::int64_t>(available, 4096);;
         want = std::min(available, want * 16)) {
        lump += read(offset + lump.size(), want - lump.size());
        const bool whole = lump.size() >= length || lump.size() < want;
        if (const std::optional<QString> message = firstEntityMessage(lump, whole))
            return *message;
        if (want >= available)
            return {};
    }
}

} // namespace content
