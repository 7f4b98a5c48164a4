// The entity lump reader: any bytes as a BSP and as the start of an entity
// lump; a title is never longer than the input and holds no control
// character.
#include "content/Bsp.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QString& title, qsizetype size) {
    if (title.size() > size)
        std::abort();
    for (const QChar c : title)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    check(content::mapTitle(bytes.size(), content::readFrom(bytes)), bytes.size());
    for (const bool whole : {false, true})
        if (const auto message = content::firstEntityMessage(bytes, whole))
            check(*message, bytes.size());
    return 0;
}
