// Fuzz target: the shared decoders. The first bytes choose the decoder, its
// setting and the unpacked size; the rest is the packed data. The stated
// packed size may exceed the data, as a file's byte count may.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <memory>
#include <vector>

#include "base/exceptions.h"
#include "fuzzreader.h"
#include "imageio/colourconv.h"
#include "imageio/decoders.h"

using namespace tessaria;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    const unsigned which = data[0] % 7, setting = data[1];
    const size_t unpacked = size_t(data[2]) | size_t(data[3]) << 8;
    const size_t statedPacked = (size - 4) + (data[4] & 1 ? data[4] : 0);
    std::unique_ptr<TDecoder> decoder;
    switch (which) {
    case 0: decoder = std::make_unique<TTIFFLZW>(); break;
    case 1: {
        auto gif = std::make_unique<TGIFLZW>();
        gif->InitialCodeSize = uint8_t(setting % 10);
        decoder = std::move(gif);
        break;
    }
    case 2: decoder = std::make_unique<TPackbitsRLE>(); break;
    case 3: decoder = std::make_unique<TPCXRLE>(); break;
    case 4: {
        auto sgi = std::make_unique<TSGIRLE>();
        sgi->SampleSize = setting & 1 ? 2 : 1;
        decoder = std::move(sgi);
        break;
    }
    case 5: decoder = std::make_unique<TCUTRLE>(); break;
    default: decoder = std::make_unique<TRLADecoder>(); break;
    }
    // Exactly sized, so that a write past the end is caught.
    std::vector<uint8_t> dest(unpacked);
    TPackedSource source(data + 4, size - 4);
    size_t written = 0;
    try {
        // Rows one after another, as the CUT and SGI readers call it.
        for (int call = 0; call < 4 && source.Left(); ++call)
            written = decoder->Decode(source, statedPacked, dest);
    } catch (const Exception&) {
        return 0;
    }
    if (written > dest.size())
        __builtin_trap();
    // A decoder that can stop and go on must give the same bytes in pieces
    // as in one call.
    if (auto* stream = dynamic_cast<TStreamDecoder*>(decoder.get())) {
        try {
            std::vector<uint8_t> whole(unpacked), pieces;
            TPackedSource a(data + 4, size - 4), b(data + 4, size - 4);
            whole.resize(stream->Decode(a, a.Left(), whole));
            const size_t piece = 1 + setting % 17;
            stream->Restart();
            for (std::vector<uint8_t> chunk(piece); pieces.size() < unpacked;) {
                chunk.resize(std::min(piece, unpacked - pieces.size()));
                const size_t n = stream->DecodeMore(b, b.Left(), chunk);
                if (n == 0)
                    break;
                pieces.insert(pieces.end(), chunk.begin(), chunk.begin() + long(n));
            }
            if (pieces != whole)
                __builtin_trap();
        } catch (const Exception&) {
        }
    }
    tessaria::fuzz::TouchBytes(dest.data(), written);
    // The converters on whatever came out.
    std::vector<uint8_t> bgr(dest.size() + 16);
    ConvertCMYK(dest.data(), bgr.data(), 8, dest.size());
    ConvertLab(dest.data(), bgr.data(), dest.size());
    if (dest.size() >= 4)
        UndoPredictor(dest.data(), dest.size() / 4 - 1, 4);
    tessaria::fuzz::TouchBytes(bgr.data(), bgr.size());
    return 0;
}
