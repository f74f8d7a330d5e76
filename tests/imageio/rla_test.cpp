#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagetest.h"
#include "imageio/picture.h"
#include "imageio/rlareader.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

using Bytes = std::vector<uint8_t>;

// One channel row: its byte count and RLA run-length data.
void ChannelRow(TEndianBytes& f, const Bytes& packed) { f.U16(unsigned(packed.size())).Raw(packed); }

// An RLA file of width x height with the given window rows, colour and matte
// channel counts; each stored row holds `perRow` (the same for every row).
Bytes BuildRla(int width, int bottom, int top, unsigned colours, unsigned mattes, const std::vector<Bytes>& rows)
{
    TEndianBytes f{true, {}};
    f.Fill(0, 8).U16(0).U16(unsigned(width - 1)).U16(unsigned(bottom) & 0xFFFF).U16(unsigned(top) & 0xFFFF);
    f.Fill(0, 4).U16(colours).U16(mattes);
    f.Fill(0, 740 - f.Data.size());
    uint32_t at = uint32_t(740 + 4 * rows.size());
    for (const Bytes& r : rows) {
        f.U32(at);
        at += uint32_t(r.size());
    }
    for (const Bytes& r : rows)
        f.Raw(r);
    return f.Data;
}

Bytes StoredRow(const std::vector<Bytes>& channels)
{
    TEndianBytes f{true, {}};
    for (const Bytes& c : channels)
        ChannelRow(f, c);
    return f.Data;
}

Bytes Row(const TBitmap& b, int y, size_t n) { return Bytes(b.ScanLine(y), b.ScanLine(y) + n); }

} // namespace

TEST(RlaReader, ChannelsRowsAndOrientation)
{
    // Runs (n >= 0: n + 1 copies) and literals (n < 0: -n bytes).
    const Bytes red = {1, 10}, green = {0xFE, 20, 21}, blue = {0, 30, 0, 31}, matte = {1, 99}, extra = {1, 7};
    { // bottom < top: the first stored row is the bottom one; a matte becomes alpha
        const Bytes file = BuildRla(2, 0, 1, 3, 1,
                                    {StoredRow({red, green, blue, matte}), StoredRow({{1, 1}, {1, 2}, {1, 3}, {1, 4}})});
        const TRLAGraphic g = LoadReader<TRLAGraphic>(file);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf32bit);
        ASSERT_EQ(g.Height(), 2);
        EXPECT_EQ(Row(g, 1, 8), (Bytes{30, 20, 10, 99, 31, 21, 10, 99}));
        EXPECT_EQ(Row(g, 0, 8), (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));
    }
    { // no matte: 24 bits; bottom > top keeps the stored order; channels after blue are not read
        const Bytes file = BuildRla(2, 1, 0, 4, 0, {StoredRow({red, green, blue, extra}), StoredRow({red, red, red, extra})});
        const TRLAGraphic g = LoadReader<TRLAGraphic>(file);
        EXPECT_EQ(g.PixelFormat(), TPixelFormat::pf24bit);
        EXPECT_EQ(Row(g, 0, 6), (Bytes{30, 20, 10, 31, 21, 10}));
        EXPECT_EQ(Row(g, 1, 6), (Bytes{10, 10, 10, 10, 10, 10}));
    }
    { // four colour channels and a matte: the fourth colour channel is the alpha
        const Bytes file = BuildRla(2, 0, 0, 4, 1, {StoredRow({red, green, blue, extra, matte})});
        EXPECT_EQ(Row(LoadReader<TRLAGraphic>(file), 0, 8), (Bytes{30, 20, 10, 7, 31, 21, 10, 7}));
    }
    { // a byte count far beyond what the row needs: the rest is skipped, the next channel found
        Bytes longRed = {0, 5};
        longRed.resize(40, 0x7F);
        const Bytes file = BuildRla(1, 0, 0, 3, 0, {StoredRow({longRed, {0, 6}, {0, 7}})});
        EXPECT_EQ(Row(LoadReader<TRLAGraphic>(file), 0, 3), (Bytes{7, 6, 5}));
    }
    { // a run longer than the row is cut there
        const Bytes file = BuildRla(2, 0, 0, 3, 0, {StoredRow({{100, 5}, {100, 6}, {100, 7}})});
        EXPECT_EQ(Row(LoadReader<TRLAGraphic>(file), 0, 6), (Bytes{7, 6, 5, 7, 6, 5}));
    }
}

TEST(RlaReader, FailuresNameTheirCause)
{
    const Bytes good = BuildRla(2, 0, 1, 3, 0, {StoredRow({{1, 1}, {1, 2}, {1, 3}}), StoredRow({{1, 1}, {1, 2}, {1, 3}})});
    ASSERT_EQ(LoadError<TRLAGraphic>(good), "loaded");
    Bytes badOffset = good;
    badOffset[740] = 0x7F;
    struct Case { const char* name; Bytes file; std::string message; };
    const Case cases[] = {
        {"two colour channels", BuildRla(2, 0, 0, 2, 0, {}), "RLA: image must be RGB(A)."},
        {"header cut short", Bytes(good.begin(), good.begin() + 700), "Stream read error"},
        {"offset table cut short", Bytes(good.begin(), good.begin() + 744), "Stream read error"},
        {"row offset beyond the end", badOffset, "Stream read error"},
        {"channel row cut short", Bytes(good.begin(), good.end() - 1), "Stream read error"},
        {"right before left", [] {
             Bytes f = BuildRla(2, 0, 0, 3, 0, {});
             f[8] = 0x10; // left 4096, right 1
             return f;
         }(), "RLA: invalid image size"},
        {"huge", BuildRla(32767, -32768, 32767, 3, 0, {}), "Picture too large (32767 x 65536 pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadError<TRLAGraphic>(c.file), c.message);
    }
}
