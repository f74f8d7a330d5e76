// Parser of untrusted data: Wavefront RLA files. The picture must be one the
// file's data can fill, row offsets are checked by the stream's
// seek, every channel row's stated count must lie inside the file, and each
// is decoded into exactly one row.
#include "imageio/rlareader.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/checked.h"
#include "base/exceptions.h"
#include "imageio/decoders.h"
#include "imageio/limits.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

void TRLAGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    const uint64_t base = stream.Position();
    uint8_t h[740];
    stream.ReadBuffer(h, sizeof h);
    const int left = int16_t(GetBE16(h + 8)), right = int16_t(GetBE16(h + 10));
    const int bottom = int16_t(GetBE16(h + 12)), top = int16_t(GetBE16(h + 14));
    const unsigned colours = GetBE16(h + 20), mattes = GetBE16(h + 22);
    if (colours != 3 && colours != 4)
        throw Exception("RLA: image must be RGB(A).");
    const bool alpha = mattes != 0;
    SetPixelFormat(alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    const int width = right - left + 1, height = std::abs(bottom - top) + 1;
    if (width <= 0)
        throw Exception("RLA: invalid image size");
    CheckPictureSize(width, height);

    std::vector<uint8_t> table(size_t(height) * 4);
    stream.ReadBuffer(table.data(), table.size());
    const unsigned channels = alpha ? 4 : 3, stride = channels;
    CheckDataSupply("RLA", width, height, uint64_t(channels) * uint64_t(width) * uint64_t(height), stream.Size() - base,
                    Expansion::RunLength);
    SetSize(width, height);
    std::vector<uint8_t> packed, line(static_cast<size_t>(width));
    TRLADecoder decoder;
    for (int y = 0; y < height; ++y) {
        stream.Seek(CheckedAdd(base, GetBE32(table.data() + 4 * size_t(y))));
        uint8_t* row = ScanLine(bottom < top ? height - 1 - y : y);
        for (unsigned c = 0; c < channels; ++c) {
            // Twice the width is more than any honest row packs into; the
            // rest of a longer count is skipped unread, so rows that all
            // point at the same long data cost no more than real ones.
            const size_t count = stream.ReadWordBE();
            if (stream.Remaining() < count)
                throw EReadError();
            packed.resize(std::min(count, 2 * size_t(width) + 2));
            stream.ReadBuffer(packed.data(), packed.size());
            stream.Seek(stream.Position() + (count - packed.size()));
            std::fill(line.begin(), line.end(), 0);
            TPackedSource source(packed.data(), packed.size());
            decoder.Decode(source, packed.size(), line);
            const unsigned at = c < 3 ? 2 - c : 3;
            for (int x = 0; x < width; ++x)
                row[size_t(x) * stride + at] = line[size_t(x)];
        }
    }
}

} // namespace tessaria
