// The pak directory reader: any bytes as a pak; every entry it gives lies
// within the input and has a name from it.
#include "content/Pak.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const content::PakEntry& entry :
         content::pakDirectory(bytes.size(), content::readFrom(bytes))) {
        if (entry.offset < 0 || entry.length < 0 || entry.offset + entry.length > bytes.size() ||
            entry.name.size() >= 56 || entry.name.contains('\0'))
            std::abort();
    }
    return 0;
}
