// The settings-file reader: any bytes, any line ends, never past the input.
#include "platform/SequentialFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = platform::decodeText(bytes);
    platform::FieldReader reader(text);
    qsizetype total = 0;
    int values = 0;
    while (auto value = reader.next()) {
        total += value->size();
        if (total > text.size() || ++values > text.size() + 1)
            std::abort(); // values come from the text and each takes some of it
    }
    return 0;
}
