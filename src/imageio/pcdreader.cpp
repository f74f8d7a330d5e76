// Parser of untrusted data: Photo-CD image packs. The image is read whole
// with one exact read of the size its resolution fixes, and every buffer
// is sized from that same width and height.
#include "imageio/pcdreader.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "base/exceptions.h"
#include "imageio/readerbytes.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

struct TResolution {
    uint64_t Offset;
    unsigned Width, Height;
};

constexpr TResolution Resolutions[3] = {{8192, 192, 128}, {47104, 384, 256}, {196608, 768, 512}};
constexpr uint64_t SignatureAt = 2048, AttributeAt = 194635;

uint8_t Clamp(double v)
{
    const double r = std::nearbyint(v); // halves to even
    return uint8_t(r < 0 ? 0 : r > 255 ? 255 : r);
}

} // namespace

void TPCDGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    BasePosition_ = stream.Position();
    const std::vector<uint8_t> signature = ReadExactAt(stream, BasePosition_ + SignatureAt, 7);
    if (std::memcmp(signature.data(), "PCD_IPI", 7) != 0)
        throw Exception("PCD: wrong image format.");
    const unsigned orientation = ReadExactAt(stream, BasePosition_ + AttributeAt, 1)[0] & 3;

    SetPixelFormat(TPixelFormat::pf24bit);
    if (Resolution_ < 0 || Resolution_ > 2)
        throw Exception("PCD: image size currently not supported");
    const TResolution& r = Resolutions[Resolution_];
    const unsigned w = r.Width, h = r.Height, half = w / 2;
    const std::vector<uint8_t> image = ReadExactAt(stream, BasePosition_ + r.Offset, uint64_t(w) * h * 3 / 2);
    const bool turned = orientation == 1 || orientation == 3;
    SetSize(int(turned ? h : w), int(turned ? w : h));

    // Chroma rows with their last sample repeated once, widened to full width.
    std::vector<uint8_t> c1(half + 1), c2(half + 1), n1(half + 1), n2(half + 1);
    std::vector<uint8_t> wide[2][2]; // [row of the pair][C1, C2]
    for (auto& pair : wide)
        for (auto& v : pair)
            v.resize(w);
    auto half_row = [&](const uint8_t* src, std::vector<uint8_t>& dst) {
        std::memcpy(dst.data(), src, half);
        dst[half] = src[half - 1];
    };
    // Pixel (x, y) of the stored picture into the bitmap, turned.
    auto put = [&](unsigned x, unsigned y, const uint8_t bgr[3]) {
        unsigned row, column;
        switch (orientation) {
        case 0: row = y, column = x; break;
        case 1: row = w - 1 - x, column = y; break;
        case 2: row = h - 1 - y, column = w - 1 - x; break;
        default: row = x, column = h - 1 - y; break;
        }
        std::memcpy(ScanLine(int(row)) + 3 * size_t(column), bgr, 3);
    };

    for (unsigned y = 0; y < h; y += 2) {
        const uint8_t* pair = image.data() + size_t(y / 2) * 3 * w;
        const uint8_t* next = y < h - 2 ? pair + 3 * w : pair;
        half_row(pair + 2 * w, c1);
        half_row(pair + 2 * w + half, c2);
        half_row(next + 2 * w, n1);
        half_row(next + 2 * w + half, n2);
        for (unsigned x = 0; x < w; x += 2) {
            const unsigned i = x / 2;
            for (int k = 0; k < 2; ++k) {
                const std::vector<uint8_t>& c = k == 0 ? c1 : c2;
                const std::vector<uint8_t>& n = k == 0 ? n1 : n2;
                wide[0][k][x] = c[i];
                wide[0][k][x + 1] = uint8_t((c[i] + c[i + 1]) / 2);
                wide[1][k][x] = uint8_t((c[i] + n[i]) / 2);
                wide[1][k][x + 1] = uint8_t((c[i] + c[i + 1] + n[i] + n[i + 1]) / 4);
            }
        }
        for (unsigned line = 0; line < 2; ++line) {
            const uint8_t* luma = pair + line * w;
            for (unsigned x = 0; x < w; ++x) {
                const double l = luma[x], a = double(wide[line][0][x]) - 156, b = double(wide[line][1][x]) - 137;
                const uint8_t bgr[3] = {Clamp(1.3584 * l + 2.2179 * a), Clamp(1.3584 * l - 0.9271435 * b - 0.4302726 * a),
                                        Clamp(1.3584 * l + 1.8215 * b)};
                put(x, y + line, bgr);
            }
        }
    }
}

} // namespace tessaria
