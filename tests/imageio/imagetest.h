#pragma once
// Helpers for the reader tests: independent programs that write and decode
// pictures, and pixel buffers to compare against.

#include <cstdint>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "imageio/bitmap.h"
#include "imageio/stream.h"

namespace tessaria::test {

// Pixels as R,G,B (3 channels) or R,G,B,A (4), rows from the top.
struct TPixels {
    int Width = 0;
    int Height = 0;
    int Channels = 3;
    std::vector<uint8_t> Bytes;
    bool operator==(const TPixels&) const = default;
};

// Parses a binary PPM (P6), PGM (P5, widened to RGB) or PAM (P7).
TPixels ParseNetpbm(const std::vector<uint8_t>& file);
// A bitmap's pixels as RGB, or RGBA for 32-bit bitmaps when withAlpha.
TPixels PixelsOf(const TBitmap& bitmap, bool withAlpha = false);
// The largest difference of any byte, or 256 when the sizes differ.
int MaxDifference(const TPixels& a, const TPixels& b);

// A shell word in single quotes.
std::string Quote(const std::string& s);
// A writer's command line with every {in} and {out} replaced by the quoted paths.
std::string WithPaths(std::string command, const std::string& in, const std::string& out);
// Runs a command and gives its standard output; empty with ok false on failure.
std::string CommandOutput(const std::string& command, bool* ok = nullptr);

// The python3 that has Pillow, or empty.
const std::string& PillowPython();
// Runs a Python snippet with Pillow (`from PIL import Image` is done); true on success.
bool RunPillow(const std::string& code);
// ImageMagick's convert, or empty.
const std::string& ImageMagick();
// Writes `target` from `source` with an independent program: ImageMagick's
// convert with `command` as its options, or, when `pillow`, a Pillow snippet
// that finds the picture in `im` and the target's name in `out`. True when
// the program succeeded.
bool ConvertWithPeer(const std::string& source, const std::string& target, bool pillow, const std::string& command);

// An independent decoding to RGB through ImageMagick.
TPixels DecodeWithImageMagick(const std::string& file);

// An independent decoding to RGB through Pillow.
TPixels DecodeWithPillow(const std::string& file);

// Little-endian byte building for hand-made files.
struct TBytes {
    std::vector<uint8_t> Data;
    TBytes& U8(unsigned v);
    TBytes& U16(unsigned v);
    TBytes& U32(uint32_t v);
    TBytes& Raw(const std::vector<uint8_t>& bytes);
    TBytes& Fill(uint8_t v, size_t n);
    void Put32(size_t at, uint32_t v);
};

// A 24-bit bottom-up BMP file of w x h whose pixels are all (r, g, b).
std::vector<uint8_t> SolidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b);

// Big- or little-endian byte building, for formats of either order.
struct TEndianBytes {
    bool BigEndian = false;
    std::vector<uint8_t> Data;
    TEndianBytes& U8(unsigned v);
    TEndianBytes& U16(unsigned v);
    TEndianBytes& U32(uint32_t v);
    TEndianBytes& Raw(const std::vector<uint8_t>& bytes);
    TEndianBytes& Fill(uint8_t v, size_t n);
    TEndianBytes& Text(const std::string& text);
};

// Reads bytes with reader class T straight from a memory stream.
template <class T>
T LoadReader(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream(bytes.data(), bytes.size());
    T graphic;
    graphic.LoadFromStream(stream);
    return graphic;
}

// The message reader class T raises for bytes, or "loaded".
template <class T>
std::string LoadError(const std::vector<uint8_t>& bytes)
{
    try {
        LoadReader<T>(bytes);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "loaded";
}

// A gradient with hard edges, odd-sized so rows need padding, as P6.
std::string TestPatternPPM(int w = 37, int h = 23);
// The pixels of TestPatternPPM.
TPixels TestPattern(int w = 37, int h = 23);

} // namespace tessaria::test
