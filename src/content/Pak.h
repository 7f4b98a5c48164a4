#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <cstdint>
#include <functional>
#include <vector>

namespace content {

// Reads up to `length` bytes from `offset` of a file or a part of one; fewer
// at its end or when it cannot be read. Lets every reader here run on a file
// and, in the tests and fuzzers, on bytes in memory alike.
using ReadAt = std::function<QByteArray(std::int64_t offset, std::int64_t length)>;

// A signed 32-bit little-endian field, as paks and maps store their
// offsets and lengths; a negative one is damage.
inline std::int64_t littleEndian32(const char* at) {
    return qFromLittleEndian<qint32>(at);
}

// `bytes` as a ReadAt.
ReadAt readFrom(QByteArrayView bytes);

// One file a pak holds: its name as stored, where it lies in the pak and how
// long it is, both checked to lie within the pak.
struct PakEntry {
    QByteArray name;
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

// More than any pak a game reads; a directory claiming more is cut there, so
// a damaged header never makes us read megabytes.
constexpr std::int64_t MaxPakEntries = 1 << 16;

// The directory of a pak of `size` bytes: the "PACK" header, then 64-byte
// entries of a 56-byte name ended by a zero, an offset and a length, both
// little-endian. A pak cut short or not a pak gives nothing; an entry whose
// name has no zero or whose bytes lie past the end is left out.
std::vector<PakEntry> pakDirectory(std::int64_t size, const ReadAt& read);

} // namespace content
