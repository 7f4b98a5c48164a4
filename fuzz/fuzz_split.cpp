// The command-line splitter: quotes group blanks and never reach a word.
#include "platform/Process.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList words = platform::splitWords(text);
    for (const QString& word : words) {
        if (word.contains(QLatin1Char('"')))
            std::abort(); // quotes never reach a word
    }
    return 0;
}
