#include "imageio/colourconv.h"

#include <cstring>

#include "base/rounding.h"

namespace tessaria {

namespace {

inline uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Sample i of an 8- or 16-bit array, as 8 bits.
template <unsigned Bits>
inline uint8_t Sample8(const uint8_t* p, size_t i)
{
    if constexpr (Bits == 8)
        return p[i];
    else
        return uint8_t(Load16(p + 2 * i) >> 8);
}

template <unsigned Bits>
inline unsigned SampleFull(const uint8_t* p, size_t i)
{
    if constexpr (Bits == 8)
        return p[i];
    else
        return Load16(p + 2 * i);
}

inline const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }

// Windows' MulDiv for non-negative values: a x b / c, rounded.
inline unsigned MulDiv(unsigned a, unsigned b, unsigned c) { return unsigned((uint64_t(a) * b + c / 2) / c); }

inline uint8_t Clamp8(int64_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

template <unsigned Bits>
inline uint8_t InkToLight(unsigned ink, unsigned k)
{
    constexpr unsigned Max = Bits == 8 ? 255 : 65535;
    const int64_t covered = int64_t(ink) - MulDiv(ink, k, Max) + k;
    if constexpr (Bits == 8)
        return Clamp8(255 - covered);
    else
        return Clamp8(255 - (covered >> 8));
}

template <unsigned Bits>
void CMYKPixels(const uint8_t* c, const uint8_t* m, const uint8_t* y, const uint8_t* k, size_t step,
                size_t pixels, uint8_t* dest)
{
    for (size_t i = 0; i < pixels; ++i, dest += 3) {
        const size_t s = i * step;
        const unsigned black = SampleFull<Bits>(k, s);
        dest[0] = InkToLight<Bits>(SampleFull<Bits>(y, s), black);
        dest[1] = InkToLight<Bits>(SampleFull<Bits>(m, s), black);
        dest[2] = InkToLight<Bits>(SampleFull<Bits>(c, s), black);
    }
}

void LabPixel(uint8_t lByte, int8_t aSigned, int8_t bSigned, uint8_t* dest)
{
    const double l = lByte / 2.55;
    const double a = aSigned, b = bSigned;
    double x, y, z;
    if (l >= 7.9996) {
        const double f = (l + 16) / 116;
        y = f * f * f;
        const double fx = f + a / 500, fz = f - b / 200;
        x = fx * fx * fx;
        z = fz * fz * fz;
    } else {
        y = l / 903.3;
        x = a / 3893.5 + y;
        z = y - b / 1557.4;
    }
    dest[2] = Clamp8(Round(255 * (2.998 * x - 1.458 * y - 0.541 * z)));
    dest[1] = Clamp8(Round(255 * (-0.952 * x + 1.893 * y + 0.059 * z)));
    dest[0] = Clamp8(Round(255 * (0.099 * x - 0.198 * y + 1.099 * z)));
}

} // namespace

void SwapShorts(void* array, size_t count)
{
    uint8_t* p = static_cast<uint8_t*>(array);
    for (size_t i = 0; i < count; ++i, p += 2)
        std::swap(p[0], p[1]);
}

void SwapLongs(void* array, size_t count)
{
    uint8_t* p = static_cast<uint8_t*>(array);
    for (size_t i = 0; i < count; ++i, p += 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        v = SwapLong(v);
        std::memcpy(p, &v, 4);
    }
}

uint32_t SwapLong(uint32_t value) { return __builtin_bswap32(value); }

void Convert16To8(const void* source, uint8_t* dest, size_t count)
{
    const uint8_t* s = Bytes(source);
    for (size_t i = 0; i < count; ++i)
        dest[i] = Sample8<16>(s, i);
}

namespace {

template <unsigned Bits, unsigned Channels>
void SwapRedBlue(const uint8_t* s, uint8_t* dest, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, dest += Channels) {
        const size_t base = i * Channels;
        dest[0] = Sample8<Bits>(s, base + 2);
        dest[1] = Sample8<Bits>(s, base + 1);
        dest[2] = Sample8<Bits>(s, base);
        if constexpr (Channels == 4)
            dest[3] = Sample8<Bits>(s, base + 3);
    }
}

} // namespace

void ConvertRGB(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count)
{
    if (bitsPerSample == 8)
        SwapRedBlue<8, 3>(Bytes(source), dest, count / 3);
    else if (bitsPerSample == 16)
        SwapRedBlue<16, 3>(Bytes(source), dest, count / 3);
}

void ConvertRGBA(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count)
{
    if (bitsPerSample == 8)
        SwapRedBlue<8, 4>(Bytes(source), dest, count / 4);
    else if (bitsPerSample == 16)
        SwapRedBlue<16, 4>(Bytes(source), dest, count / 4);
}

void ConvertRGBPlanar(const void* red, const void* green, const void* blue, size_t count,
                      unsigned bitsPerSample, uint8_t* dest)
{
    const size_t pixels = count / 3;
    auto run = [&]<unsigned Bits>() {
        for (size_t i = 0; i < pixels; ++i, dest += 3) {
            dest[0] = Sample8<Bits>(Bytes(blue), i);
            dest[1] = Sample8<Bits>(Bytes(green), i);
            dest[2] = Sample8<Bits>(Bytes(red), i);
        }
    };
    if (bitsPerSample == 8)
        run.template operator()<8>();
    else if (bitsPerSample == 16)
        run.template operator()<16>();
}

void ConvertCMYK(const void* source, uint8_t* dest, unsigned bitsPerSample, size_t count)
{
    // An empty buffer may have no address: no channel pointers into it.
    if (count < 4)
        return;
    const uint8_t* s = Bytes(source);
    if (bitsPerSample == 8)
        CMYKPixels<8>(s, s + 1, s + 2, s + 3, 4, count / 4, dest);
    else if (bitsPerSample == 16)
        CMYKPixels<16>(s, s + 2, s + 4, s + 6, 4, count / 4, dest);
}

void ConvertCMYKPlanar(const void* cyan, const void* magenta, const void* yellow, const void* black,
                       size_t count, unsigned bitsPerSample, uint8_t* dest)
{
    if (bitsPerSample == 8)
        CMYKPixels<8>(Bytes(cyan), Bytes(magenta), Bytes(yellow), Bytes(black), 1, count / 4, dest);
    else if (bitsPerSample == 16)
        CMYKPixels<16>(Bytes(cyan), Bytes(magenta), Bytes(yellow), Bytes(black), 1, count / 4, dest);
}

void ConvertLab(const uint8_t* source, uint8_t* dest, size_t count)
{
    for (size_t i = 0; i < count / 3; ++i, source += 3, dest += 3)
        LabPixel(source[0], int8_t(source[1]), int8_t(source[2]), dest);
}

void ConvertLabPlanar(const uint8_t* l, const uint8_t* a, const uint8_t* b, size_t count, uint8_t* dest)
{
    for (size_t i = 0; i < count / 3; ++i, dest += 3)
        LabPixel(l[i], int8_t(a[i]), int8_t(b[i]), dest);
}

void UndoPredictor(uint8_t* row, size_t count, unsigned bytesPerPixel)
{
    const size_t n = count * bytesPerPixel;
    for (size_t i = 0; i < n; ++i)
        row[i + bytesPerPixel] = uint8_t(row[i + bytesPerPixel] + row[i]);
}

} // namespace tessaria
