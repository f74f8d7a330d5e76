#include "fuzzreader.h"

#include <cstdio>
#include <cstdlib>

#include "base/exceptions.h"
#include "imageio/bitmap.h"
#include "imageio/fileformats.h"
#include "imageio/limits.h"
#include "imageio/stream.h"

namespace tessaria::fuzz {

namespace {

// Small limits keep each run fast; the checks are the same.
const bool LimitsSet = [] {
    SetPictureLimits({4096, 4096 * 1024});
    return true;
}();

volatile unsigned Sink;

} // namespace

void LoadWithReader(const char* extension, const uint8_t* data, size_t size)
{
    (void)LimitsSet;
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
    unsigned sum = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        for (size_t i = 0; i < bitmap.RowBytes(); ++i)
            sum += row[i];
    }
    if (!bitmap.Empty()) { // a reader may give a size with no pixels, such as 0 x 5
        // The 24-bit conversion every picture goes through before printing.
        std::vector<uint8_t> bgr(size_t(bitmap.Width()) * 3);
        bitmap.RowToBGR24(bitmap.Height() - 1, bgr.data());
        for (uint8_t b : bgr)
            sum += b;
    }
    Sink = sum;
}

} // namespace tessaria::fuzz
