#include "fuzzreader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/exceptions.h"
#include "imageio/bitmap.h"
#include "imageio/fileformats.h"
#include "imageio/largebuffer.h"
#include "imageio/stream.h"

namespace tessaria::fuzz {

namespace {

volatile unsigned Sink;

// Freed picture blocks are unmapped at once rather than kept for the next
// picture: kept blocks would count against the memory ceiling as if the
// input being run had taken them, and a use after free of one would go
// unseen.
const bool NoKeptBlocks = (SetLargeBufferReuse(false), true);

} // namespace

// Kept out of line: once inlined, the loop would be traced as its caller's.
#if defined(__clang__)
__attribute__((no_sanitize("coverage"), noinline))
#endif
void TouchBytes(const uint8_t* bytes, size_t size)
{
    // Eight bytes a load: AddressSanitizer checks both ends of an unaligned
    // load, so every byte is still checked, at an eighth of the cost.
    uint64_t sum = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        sum += word;
    }
    for (; i < size; ++i)
        sum += bytes[i];
    Sink = Sink + unsigned(sum);
}

void LoadWithReader(const char* extension, const uint8_t* data, size_t size)
{
    const TGraphicClass* graphicClass = FileFormats().FindExt(extension);
    if (!graphicClass) {
        std::fprintf(stderr, "no reader for %s\n", extension);
        std::abort();
    }
    auto graphic = graphicClass->Create();
    TMemoryStream stream(data, size);
    try {
        graphic->LoadFromStream(stream);
    } catch (const Exception&) {
        return;
    }
    TBitmap bitmap;
    graphic->MoveTo(bitmap);
    for (int y = 0; y < bitmap.Height(); ++y)
        TouchBytes(bitmap.ScanLine(y), bitmap.RowBytes());
    if (!bitmap.Empty()) { // a reader may give a size with no pixels, such as 0 x 5
        // The 24-bit conversion every picture goes through before printing.
        std::vector<uint8_t> bgr(size_t(bitmap.Width()) * 3);
        bitmap.RowToBGR24(bitmap.Height() - 1, bgr.data());
        TouchBytes(bgr.data(), bgr.size());
    }
}

} // namespace tessaria::fuzz
