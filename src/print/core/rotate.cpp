#include "print/core/rotate.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tessaria {

namespace {

// Tiles keep both the rows read and the rows written in cache.
constexpr int Tile = 64;

// Quarter turn: source (x, y) goes to destination column column(y), row row(x).
template <class Column, class Row>
void QuarterTurn(TBitmap& bitmap, Column column, Row row)
{
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const int w = bitmap.Width(), h = bitmap.Height();
    TBitmap turned;
    turned.SetPixelFormat(TPixelFormat::pf24bit);
    turned.SetSize(h, w);
    for (int y0 = 0; y0 < h; y0 += Tile) {
        const int y1 = std::min(h, y0 + Tile);
        for (int x0 = 0; x0 < w; x0 += Tile) {
            const int x1 = std::min(w, x0 + Tile);
            for (int x = x0; x < x1; ++x) {
                uint8_t* out = turned.ScanLine(row(x));
                for (int y = y0; y < y1; ++y)
                    std::memcpy(out + 3 * size_t(column(y)), bitmap.ScanLine(y) + 3 * size_t(x), 3);
            }
        }
    }
    bitmap = std::move(turned);
}

} // namespace

void RotateClockwise(TBitmap& bitmap)
{
    const int h = bitmap.Height();
    QuarterTurn(bitmap, [h](int y) { return h - 1 - y; }, [](int x) { return x; });
}

void RotateAnticlockwise(TBitmap& bitmap)
{
    const int w = bitmap.Width();
    QuarterTurn(bitmap, [](int y) { return y; }, [w](int x) { return w - 1 - x; });
}

void RotateHalfTurn(TBitmap& bitmap)
{
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    std::vector<uint8_t> top(3 * size_t(w)), bottom(3 * size_t(w));
    auto reversed = [w](const uint8_t* in, uint8_t* out) {
        for (int x = 0; x < w; ++x)
            std::memcpy(out + 3 * size_t(w - 1 - x), in + 3 * size_t(x), 3);
    };
    // Row y and row h - 1 - y trade places, each reversed; a middle row
    // trades with itself.
    for (int y = 0; y <= (h - 1) / 2; ++y) {
        uint8_t* a = bitmap.ScanLine(y);
        uint8_t* b = bitmap.ScanLine(h - 1 - y);
        reversed(a, top.data());
        reversed(b, bottom.data());
        std::memcpy(a, bottom.data(), bottom.size());
        std::memcpy(b, top.data(), top.size());
    }
}

void MirrorLeftRight(TBitmap& bitmap)
{
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w / 2; ++x)
            std::swap_ranges(row + 3 * size_t(x), row + 3 * size_t(x) + 3, row + 3 * size_t(w - 1 - x));
    }
}

void RotateByDegrees(TBitmap& bitmap, int degrees)
{
    switch (degrees) {
    case 90: RotateClockwise(bitmap); break;
    case 180: RotateHalfTurn(bitmap); break;
    case 270: RotateAnticlockwise(bitmap); break;
    default: break;
    }
}

} // namespace tessaria
