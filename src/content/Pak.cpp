#include "content/Pak.h"

#include <algorithm>
#include <cstring>

namespace content {

namespace {

constexpr std::int64_t HeaderSize = 12;
constexpr std::int64_t EntrySize = 64;
constexpr std::int64_t NameSize = 56;

} // namespace

ReadAt readFrom(QByteArrayView bytes) {
    return [bytes](std::int64_t offset, std::int64_t length) {
        const std::int64_t size = bytes.size();
        if (offset < 0 || length <= 0 || offset >= size)
            return QByteArray();
        return bytes.sliced(offset, std::min(length, size - offset)).toByteArray();
    };
}

std::vector<PakEntry> pakDirectory(std::int64_t size, const ReadAt& read) {
    std::vector<PakEntry> entries;
    if (size < HeaderSize)
        return entries;
    const QByteArray header = read(0, HeaderSize);
    if (header.size() != HeaderSize || !header.startsWith("PACK"))
        return entries;
    const std::int64_t dirOffset = littleEndian32(header.constData() + 4);
    const std::int64_t dirLength = littleEndian32(header.constData() + 8);
    if (dirOffset < HeaderSize || dirLength < 0 || dirOffset > size || dirLength > size - dirOffset)
        return entries;
    const std::int64_t count = std::min(dirLength / EntrySize, MaxPakEntries);
    const QByteArray directory = read(dirOffset, count * EntrySize);
    const std::int64_t whole = directory.size() / EntrySize;
    entries.reserve(static_cast<std::size_t>(whole));
    for (std::int64_t i = 0; i < whole; ++i) {
        const char* entry = directory.constData() + i * EntrySize;
        const void* end = std::memchr(entry, 0, NameSize);
        if (end == nullptr)
            continue;
        const std::int64_t offset = littleEndian32(entry + NameSize);
        const std::int64_t length = littleEndian32(entry + NameSize + 4);
        if (offset < 0 || length < 0 || offset > size || length > size - offset)
            continue;
        entries.push_back(
            {QByteArray(entry, static_cast<const char*>(end) - entry), offset, length});
    }
    return entries;
}

} // namespace content
