// Parser of untrusted data: the EXIF orientation of JPEG, TIFF-structured
// and other EXIF blocks. Every offset is checked against the block's size;
// anything damaged reads as an upright picture.
#include "imageio/orientation.h"

#include <cstring>

#include "imageio/readerbytes.h"

namespace tessaria {

namespace {

constexpr uint16_t TagOrientation = 0x0112;
constexpr uint8_t ExifMark[6] = {'E', 'x', 'i', 'f', 0, 0};

} // namespace

int OrientationTurn(int orientation)
{
    switch (orientation) {
    case OrientationHalfTurn:
    case OrientationFlipped: return 180;
    case OrientationClockwise:
    case OrientationTransverse: return 90;
    case OrientationAnticlockwise:
    case OrientationTransposed: return 270;
    default: return 0;
    }
}

bool OrientationMirrors(int orientation)
{
    return orientation == OrientationMirrored || orientation == OrientationFlipped ||
           orientation == OrientationTransposed || orientation == OrientationTransverse;
}

int ExifOrientation(const uint8_t* data, size_t size)
{
    if (size >= sizeof ExifMark && std::memcmp(data, ExifMark, sizeof ExifMark) == 0) {
        data += sizeof ExifMark;
        size -= sizeof ExifMark;
    }
    if (size < 8)
        return OrientationNormal;
    bool bigEndian;
    if (data[0] == 'I' && data[1] == 'I' && GetLE16(data + 2) == 42)
        bigEndian = false;
    else if (data[0] == 'M' && data[1] == 'M' && GetBE16(data + 2) == 42)
        bigEndian = true;
    else
        return OrientationNormal;
    auto get16 = [&](size_t at) { return bigEndian ? GetBE16(data + at) : GetLE16(data + at); };
    auto get32 = [&](size_t at) { return bigEndian ? GetBE32(data + at) : GetLE32(data + at); };

    // The orientation lives in the first directory.
    const uint64_t ifd = get32(4);
    if (ifd > size || size - ifd < 2)
        return OrientationNormal;
    const unsigned count = get16(size_t(ifd));
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t entry = ifd + 2 + uint64_t(i) * 12;
        if (entry + 12 > size)
            break;
        if (get16(size_t(entry)) != TagOrientation)
            continue;
        const unsigned type = get16(size_t(entry + 2));
        if (get32(size_t(entry + 4)) == 0)
            break;
        // SHORT as EXIF wants it; some writers use LONG.
        const uint32_t value = type == 3 ? get16(size_t(entry + 8)) : type == 4 ? get32(size_t(entry + 8)) : 0;
        return value >= 1 && value <= 8 ? int(value) : OrientationNormal;
    }
    return OrientationNormal;
}

int JPEGOrientation(const uint8_t* data, size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return OrientationNormal;
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return OrientationNormal; // not a marker: damaged
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) // end of image, start of scan
            break;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) { // no length
            at += 2;
            continue;
        }
        const size_t length = GetBE16(data + at + 2);
        if (length < 2 || length > size - at - 2)
            break;
        const uint8_t* body = data + at + 4;
        const size_t bodySize = length - 2;
        if (marker == 0xE1 && bodySize >= sizeof ExifMark && std::memcmp(body, ExifMark, sizeof ExifMark) == 0)
            return ExifOrientation(body, bodySize);
        at += 2 + length;
    }
    return OrientationNormal;
}

} // namespace tessaria
