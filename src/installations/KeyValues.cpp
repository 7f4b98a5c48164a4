#include "installations/KeyValues.h"

#include <optional>

namespace installations {

namespace {

enum class Kind { Text, Open, Close, Condition, End };

struct Token {
    Kind kind = Kind::End;
    QString text;
};

// Splits the text into quoted or bare texts, braces and conditions.
class Tokens {
  public:
    explicit Tokens(const QByteArray& text) : text_(text) {}

    Token next() {
        skipBlanksAndComments();
        if (pos_ >= text_.size())
            return {};
        const char c = text_.at(pos_);
        if (c == '{' || c == '}') {
            ++pos_;
            return {c == '{' ? Kind::Open : Kind::Close, {}};
        }
        if (c == '"')
            return quoted();
        return bare();
    }

  private:
    static bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

    void skipBlanksAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_.at(pos_);
            if (isBlank(c)) {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < text_.size() && text_.at(pos_ + 1) == '/') {
                const qsizetype end = text_.indexOf('\n', pos_);
                pos_ = end < 0 ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    Token quoted() {
        QByteArray value;
        ++pos_; // the opening quote
        while (pos_ < text_.size()) {
            const char c = text_.at(pos_++);
            if (c == '"')
                return {Kind::Text, QString::fromUtf8(value)};
            if (c != '\\' || pos_ >= text_.size()) {
                value += c;
                continue;
            }
            switch (text_.at(pos_)) {
            case '"':
                value += '"';
                break;
            case '\\':
                value += '\\';
                break;
            case 'n':
                value += '\n';
                break;
            case 't':
                value += '\t';
                break;
            default:
                // Not an escape (a hand-typed C:\Games): the backslash stays.
                value += '\\';
                continue;
            }
            ++pos_;
        }
        // Cut short inside the quotes: the text is not whole, so it counts
        // for nothing.
        return {};
    }

    Token bare() {
        const qsizetype start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_.at(pos_);
            if (isBlank(c) || c == '"' || c == '{' || c == '}')
                break;
            ++pos_;
        }
        const QString text = QString::fromUtf8(text_.mid(start, pos_ - start));
        const bool condition = text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'));
        return {condition ? Kind::Condition : Kind::Text, text};
    }

    const QByteArray& text_;
    qsizetype pos_ = 0;
};

} // namespace

const KeyValue* KeyValue::find(QStringView name) const {
    return findEntry(block, name);
}

const KeyValue* findEntry(const std::vector<KeyValue>& entries, QStringView name) {
    for (const KeyValue& entry : entries) {
        if (QStringView(entry.key).compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

std::vector<KeyValue> readKeyValues(const QByteArray& text) {
    std::vector<KeyValue> top;
    // The blocks being read, outermost first. Kept apart from the tree until
    // whole, so no reference into a growing list is held; the loop, not
    // recursion, keeps a deeply nested file from running out of stack.
    std::vector<KeyValue> open;
    int passedOver = 0; // depth inside blocks too deep to keep
    std::optional<QString> key;

    const auto entries = [&]() -> std::vector<KeyValue>& {
        return open.empty() ? top : open.back().block;
    };
    const auto closeBlock = [&] {
        KeyValue done = std::move(open.back());
        open.pop_back();
        entries().push_back(std::move(done));
    };

    Tokens tokens(text);
    for (Token token = tokens.next(); token.kind != Kind::End; token = tokens.next()) {
        if (passedOver > 0) {
            if (token.kind == Kind::Open)
                ++passedOver;
            else if (token.kind == Kind::Close)
                --passedOver;
            continue;
        }
        switch (token.kind) {
        case Kind::Text:
            if (!key) {
                key = token.text;
            } else {
                entries().push_back(KeyValue{*key, token.text, {}, false});
                key.reset();
            }
            break;
        case Kind::Open:
            if (static_cast<int>(open.size()) >= KeyValuesMaxDepth) {
                passedOver = 1;
            } else {
                open.push_back(KeyValue{key.value_or(QString()), {}, {}, true});
            }
            key.reset();
            break;
        case Kind::Close:
            key.reset(); // a key without a value counts for nothing
            if (!open.empty())
                closeBlock();
            break;            // a stray brace at the top level is passed over
        case Kind::Condition: // [$WIN32] and the like: every platform's entry is kept
        case Kind::End:
            break;
        }
    }
    // Cut short: what was read whole stands.
    while (!open.empty())
        closeBlock();
    return top;
}

} // namespace installations
