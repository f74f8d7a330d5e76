#pragma once
// Size arithmetic that fails instead of wrapping. Every size taken from a file
// goes through these before it is used for an allocation or an offset.

#include <cstdint>
#include <string>

#include "base/exceptions.h"

namespace tessaria {

inline uint64_t CheckedMul(uint64_t a, uint64_t b, const char* what = "size overflow")
{
    uint64_t result;
    if (__builtin_mul_overflow(a, b, &result))
        throw Exception(what);
    return result;
}

inline uint64_t CheckedAdd(uint64_t a, uint64_t b, const char* what = "size overflow")
{
    uint64_t result;
    if (__builtin_add_overflow(a, b, &result))
        throw Exception(what);
    return result;
}

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to 32 bits.
inline uint64_t PaddedRowBytes(uint64_t width, uint64_t bitsPerPixel)
{
    const uint64_t bits = CheckedMul(width, bitsPerPixel);
    return CheckedAdd(bits, 31) / 32 * 4;
}

} // namespace tessaria
