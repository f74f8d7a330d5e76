#pragma once
// Byte helpers the readers share: integers from a buffer in either order, and
// reads at an offset that are checked against the stream's size first.

#include <cstdint>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/stream.h"

namespace tessaria {

inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint16_t GetBE16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
inline uint32_t GetLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint32_t GetBE32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// True when [offset, offset + length) lies inside the stream.
inline bool InStream(const TStream& stream, uint64_t offset, uint64_t length)
{
    const uint64_t size = stream.Size();
    return offset <= size && length <= size - offset;
}

// Exactly `length` bytes at `offset`: "Stream read error" when the stream
// does not hold them, before anything is allocated.
inline std::vector<uint8_t> ReadExactAt(TStream& stream, uint64_t offset, uint64_t length)
{
    if (!InStream(stream, offset, length))
        throw EReadError();
    stream.Seek(offset);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// Up to `length` bytes from the position, as many as the stream still holds.
inline std::vector<uint8_t> ReadUpTo(TStream& stream, uint64_t length)
{
    const uint64_t n = length < stream.Remaining() ? length : stream.Remaining();
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    bytes.resize(stream.Read(bytes.data(), bytes.size()));
    return bytes;
}

} // namespace tessaria
