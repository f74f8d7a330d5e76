#pragma once
// The one limit on picture size, for every reader: large enough for the biggest
// real photographs and scans, small enough that a file of a few bytes cannot make
// the program allocate gigabytes. TBitmap::SetSize checks it before it allocates
// rows; a reader that needs a buffer of the picture's size before it has a bitmap
// (a whole decoded image, a strip) checks it first with CheckPictureSize.
//
// The second check is about the data behind the size: a header may state any
// size, but the bytes after it can decode to only so much. A reader compares
// what its picture needs with what the rest of the file could at most become
// (CheckDataSupply) before it makes the bitmap, so that a file cut short still
// loads as far as it goes, and a few bytes cannot claim a picture of gigabytes.

#include <cstdint>

namespace tessaria {

constexpr int64_t MaxPictureSide = 65535;
constexpr int64_t MaxPicturePixels = int64_t(1) << 28; // 268 megapixels
// Decoded bytes a picture may lack: a file cut short within this still loads.
constexpr uint64_t MaxMissingBytes = uint64_t(16) << 20;

struct TPictureLimits {
    int64_t MaxSide = MaxPictureSide;
    int64_t MaxPixels = MaxPicturePixels;
    uint64_t MaxMissing = MaxMissingBytes;
};

// The limits in force. Only fuzz targets and tests lower them, to keep
// their runs fast; the program uses the defaults above.
const TPictureLimits& PictureLimits();
void SetPictureLimits(const TPictureLimits& limits);

// Raises EInvalidGraphic "Picture too large (W x H pixels)" or "Invalid picture
// size" when a picture of width x height is negative or beyond the limits.
void CheckPictureSize(int64_t width, int64_t height);

// The most decoded bytes one stored byte can give, by coding. Each is the
// coding's worst case, so no honest file is refused by it.
namespace Expansion {
constexpr uint64_t Raw = 1;
// A two-byte run of up to 255 pixels (BMP), 128 bytes (PackBits, RLA), 127
// (SGI, CUT), 63 (PCX), or a Targa packet of 128 pixels.
constexpr uint64_t RunLength = 128;
// An LZW code of 9 to 12 bits stands for at most 4096 bytes.
constexpr uint64_t LZW = 2731;
// Deflate's longest match, 258 bytes, costs at least two bits.
constexpr uint64_t Deflate = 1032;
// Huffman-coded JPEG: every block of 64 samples costs at least one bit.
constexpr uint64_t JPEG = 512;
// HEVC, AV1 and WebP code a flat area in next to nothing and have no strict
// worst case; held to a bit per 64 x 64 block of four-byte pixels, so a few
// hundred bytes cannot claim a picture of gigabytes.
constexpr uint64_t BlockCoded = 8 * 4096 * 4;
} // namespace Expansion

// Raises Exception "<format>: not enough data for a W x H picture" when a
// picture whose stored data decodes to `needed` bytes cannot get them from
// the `remaining` bytes of its file, each giving at most `expansion`, by more
// than the limits' MaxMissing. Call it before the picture's buffers are made.
void CheckDataSupply(const char* format, int64_t width, int64_t height, uint64_t needed, uint64_t remaining,
                     uint64_t expansion);

} // namespace tessaria
