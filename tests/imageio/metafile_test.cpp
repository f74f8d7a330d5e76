// The metafile parser: records into commands, the picture's size, and what
// it does with files that lie about their sizes, counts and objects.
#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "imageio/limits.h"
#include "imageio/metafile.h"
#include "metafilebuilder.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TMetafileData Parse(const std::vector<uint8_t>& file) { return ParseMetafile(file.data(), file.size()); }

std::string ErrorOf(const std::vector<uint8_t>& file)
{
    try {
        const TMetafileData data = Parse(file);
        MetafileFrame(data);
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

std::vector<TMetaOp> Ops(const TMetafileData& d)
{
    std::vector<TMetaOp> ops;
    for (const TMetaCommand& c : d.Commands)
        ops.push_back(c.Op);
    return ops;
}

} // namespace

TEST(MetafileParser, WmfRecordsBecomeCommandsWithSlotsAndBoxesInOrder)
{
    TWmfWriter w;
    w.Rec(0x0103, {8})                          // SetMapMode anisotropic
        .Rec(0x020B, {-5, 10})                  // SetWindowOrg y, x
        .Rec(0x020C, {200, 300})                // SetWindowExt y, x
        .Rec(0x02FA, {0, 3, 0, 0x00FF, 0x0000}) // pen: solid, width 3, red
        .Rec(0x02FC, {0, 0xFF00, 0x0000, 0})    // brush: solid green
        .Rec(0x01F0, {0})                       // delete the pen: slot 0 is free again
        .Rec(0x02FC, {2, 0x0000, 0x00FF, 4})    // hatched brush takes slot 0
        .Rec(0x012D, {1})
        .Rec(0x041B, {40, 30, 20, 10})          // Rectangle bottom, right, top, left
        .Rec(0x0324, {3, 1, 2, 3, 4, -5, 6})    // Polygon of three points
        .Rec(0x0538, {2, 2, 1, 0, 0, 1, 1, 9, 9}) // PolyPolygon 2 + 1 points
        .TextOut(7, 8, "Hey")
        .Rec(0x0626, {1, 0})                    // Escape: ignored
        .Rec(0x0B23, {1, 2, 3});                // unknown: skipped by its size
    const TMetafileData d = Parse(w.File(2));
    EXPECT_FALSE(d.Enhanced);
    EXPECT_FALSE(d.Placeable);
    EXPECT_EQ(d.Objects, 2);
    EXPECT_EQ(d.SkippedRecords, 1);
    EXPECT_FALSE(d.Truncated);
    ASSERT_EQ(Ops(d), (std::vector<TMetaOp>{TMetaOp::SetMapMode, TMetaOp::SetWindowOrg, TMetaOp::SetWindowExt,
                                            TMetaOp::CreatePen, TMetaOp::CreateBrush, TMetaOp::DeleteObject,
                                            TMetaOp::CreateBrush, TMetaOp::SelectObject, TMetaOp::Rectangle,
                                            TMetaOp::Polygon, TMetaOp::PolyPolygon, TMetaOp::Text}));
    const auto& c = d.Commands;
    EXPECT_EQ(c[1].A[0], 10);
    EXPECT_EQ(c[1].A[1], -5);
    EXPECT_EQ(c[3].A[0], 0);
    EXPECT_EQ(c[3].A[2], 3);
    EXPECT_EQ(c[3].A[3], 0xFF);
    EXPECT_EQ(c[4].A[0], 1);
    EXPECT_EQ(c[4].A[2], 0xFF00);
    EXPECT_EQ(c[6].A[0], 0);
    EXPECT_EQ(c[6].A[2], 0xFF0000);
    EXPECT_EQ(c[6].A[3], 4);
    EXPECT_EQ((std::vector<int>{c[8].A[0], c[8].A[1], c[8].A[2], c[8].A[3]}), (std::vector<int>{10, 20, 30, 40}));
    ASSERT_EQ(c[9].Points.size(), 3u);
    EXPECT_EQ(c[9].Points[2].X, -5);
    EXPECT_EQ(c[9].Points[2].Y, 6);
    EXPECT_EQ(c[10].Counts, (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(c[10].Points[2].X, 9);
    EXPECT_EQ(c[11].Text, u"Hey");
    EXPECT_EQ(c[11].A[0], 7);
    EXPECT_EQ(c[11].A[1], 8);
    // No placeable header: the first window gives the size.
    const TMetafileFrame f = MetafileFrame(d);
    EXPECT_EQ(f.Left, 10);
    EXPECT_EQ(f.Top, -5);
    EXPECT_EQ(f.PixelsX, 300);
    EXPECT_EQ(f.PixelsY, 200);
}

TEST(MetafileParser, PlaceableHeaderGivesTheSizeAtItsInchAndToleratesABadChecksum)
{
    TWmfWriter w;
    w.Rec(0x020C, {50, 50});
    for (bool bad : {false, true}) {
        const TMetafileData d = Parse(w.Placeable(0, 0, 0, 2880, 1440, 1440, bad));
        EXPECT_TRUE(d.Placeable);
        const TMetafileFrame f = MetafileFrame(d);
        EXPECT_EQ(f.PixelsX, 192);
        EXPECT_EQ(f.PixelsY, 96);
        EXPECT_EQ(f.Width, 2880);
    }
    // Bounds given right to left still make a positive size.
    const TMetafileFrame f = MetafileFrame(Parse(w.Placeable(0, 100, 100, 0, 0, 100)));
    EXPECT_EQ(f.PixelsX, 96);
    EXPECT_EQ(f.Left, 0);
}

TEST(MetafileParser, EmfHeaderRecordsAndStockObjects)
{
    TEmfWriter e;
    e.Rec(39, {1, 0, 0x0000FF, 0})                   // CreateBrushIndirect slot 1, red
        .Rec(37, {1})
        .Rec(37, {int64_t(0x80000000u | 5)})       // NULL_BRUSH
        .Rec(38, {2, 1, 4, 0, 0x00FF00})           // CreatePen slot 2, dashed, width 4, green
        .Poly16(86, {0, 0, 10, 0, 5, 8})
        .Rec(43, {1, 2, 3, 4})                     // Rectangle
        .Rec(36, TLE().F32(2).F32(0).F32(0).F32(3).F32(5).F32(6).U32(4).D) // ModifyWorldTransform set
        .TextOutW(3, 4, "Hi")
        .Rec(59, {}).Rec(60, {}).Rec(62, {0, 0, 0, 0}) // path
        .Rec(1000, {1, 2});                        // unknown
    const TMetafileData d = Parse(e.File(3, 2540, 5080));
    EXPECT_TRUE(d.Enhanced);
    EXPECT_EQ(d.Objects, 3);
    EXPECT_EQ(d.DevicePixelsX, 1000);
    EXPECT_EQ(d.DeviceMmX, 100);
    EXPECT_EQ(d.SkippedRecords, 1);
    ASSERT_EQ(Ops(d), (std::vector<TMetaOp>{TMetaOp::CreateBrush, TMetaOp::SelectObject, TMetaOp::SelectObject,
                                            TMetaOp::CreatePen, TMetaOp::Polygon, TMetaOp::Rectangle,
                                            TMetaOp::ModifyWorldTransform, TMetaOp::Text, TMetaOp::BeginPath,
                                            TMetaOp::EndPath, TMetaOp::FillPath}));
    const auto& c = d.Commands;
    EXPECT_EQ(uint32_t(c[2].A[0]), 0x80000005u);
    EXPECT_EQ(c[3].A[1], 1);
    EXPECT_EQ(c[3].A[2], 4);
    EXPECT_EQ(c[3].A[3], 0x00FF00);
    EXPECT_EQ(c[4].Points[2].Y, 8);
    EXPECT_EQ(c[5].A[3], 4);
    EXPECT_FLOAT_EQ(c[6].X[3], 3);
    EXPECT_EQ(c[6].A[0], 4);
    EXPECT_EQ(c[7].Text, u"Hi");
    EXPECT_EQ(c[7].A[0], 3);
    // Frame in 0.01 mm: one inch by two at 96 per inch; in device pixels at
    // 10 per mm.
    const TMetafileFrame f = MetafileFrame(d);
    EXPECT_EQ(f.PixelsX, 96);
    EXPECT_EQ(f.PixelsY, 192);
    EXPECT_DOUBLE_EQ(f.Width, 254);
}

TEST(MetafileParser, EmbeddedDibsAreDecodedAndSourceRowsCountFromTheTop)
{
    const auto dib = Dib24(2, {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}, {0, 0}});
    TWmfWriter w;
    TLE p;
    // StretchDIB: rop, usage, source h, w, y, x, destination h, w, y, x, DIB.
    p.U32(0x00CC0020).Words({0, 1, 2, 0, 0, 50, 60, 5, 6}).Raw(dib);
    w.Rec(0x0F43, p.D);
    const TMetafileData d = Parse(w.Placeable(0, 0, 0, 100, 100, 96));
    ASSERT_EQ(d.Commands.size(), 1u);
    const TMetaCommand& c = d.Commands[0];
    ASSERT_TRUE(c.Bitmap);
    EXPECT_EQ(c.Bitmap->Width(), 2);
    EXPECT_EQ(c.Bitmap->Height(), 3);
    EXPECT_EQ((std::vector<int>{c.A[0], c.A[1], c.A[2], c.A[3]}), (std::vector<int>{6, 5, 60, 50}));
    // Source row 0 from the bottom, one row high: the top-down row 2.
    EXPECT_EQ(c.A[5], 2);
    EXPECT_EQ(c.A[7], 1);
    uint8_t bgr[3];
    c.Bitmap->PixelBGR(0, 0, bgr);
    EXPECT_EQ(bgr[2], 255);
    EXPECT_EQ(bgr[0], 0);

    // EMF StretchDIBits with the header and bits at their own offsets.
    TEmfWriter e;
    TLE f;
    f.Longs({0, 0, 0, 0, 1, 2, 0, 0, 2, 3, 80, 40, 80 + 40, int64_t(dib.size() - 40), 0, 0x00CC0020, 20, 30});
    f.Raw(dib);
    e.Rec(81, f.D);
    const TMetafileData d2 = Parse(e.File(1, 1000, 1000));
    ASSERT_EQ(d2.Commands.size(), 1u);
    ASSERT_TRUE(d2.Commands[0].Bitmap);
    EXPECT_EQ(d2.Commands[0].A[2], 20);
    EXPECT_EQ(d2.Commands[0].A[3], 30);
    EXPECT_EQ(d2.Commands[0].A[5], 0);
}

TEST(MetafileParser, BadSizesFailOrEndTheListAndKeepWhatCameBefore)
{
    EXPECT_EQ(ErrorOf({}), "Metafile is not valid");
    EXPECT_EQ(ErrorOf({'B', 'M', 0, 0, 0, 0}), "Metafile is not valid");
    TWmfWriter ok;
    ok.Rec(0x041B, {40, 30, 20, 10});
    std::vector<uint8_t> file = ok.Placeable(0, 0, 0, 100, 100, 96);
    EXPECT_EQ(ErrorOf(std::vector<uint8_t>(file.begin(), file.begin() + 30)), "WMF: header beyond end of file");

    // A record of size 0 would never advance.
    for (uint32_t size : {0u, 1u, 2u}) {
        TWmfWriter w;
        w.Rec(0x041B, {40, 30, 20, 10}).RawBytes(TLE().U32(size).U16(0x041B).D);
        EXPECT_EQ(ErrorOf(w.Placeable(0, 0, 0, 100, 100, 96)), "WMF: invalid record size") << size;
    }
    // A huge size, and a file cut in a record: what came before is kept.
    for (int cut : {0, 1}) {
        TWmfWriter w;
        w.Rec(0x041B, {40, 30, 20, 10});
        if (cut)
            w.Rec(0x0324, {3, 1, 2, 3, 4, 5, 6});
        else
            w.RawBytes(TLE().U32(0x7FFFFFFF).U16(0x041B).Words({1, 2, 3, 4}).D);
        std::vector<uint8_t> f = w.Placeable(0, 0, 0, 100, 100, 96);
        if (cut)
            f.resize(f.size() - 6 - 4);
        const TMetafileData d = Parse(f);
        EXPECT_TRUE(d.Truncated);
        ASSERT_EQ(d.Commands.size(), 1u);
        EXPECT_EQ(d.Commands[0].Op, TMetaOp::Rectangle);
    }
    // EMF: sizes not a multiple of 4 or below a record's own header.
    for (uint32_t size : {0u, 4u, 10u}) {
        TEmfWriter e;
        e.RawBytes(TLE().U32(43).U32(size).Longs({1, 2, 3, 4}).D);
        EXPECT_EQ(ErrorOf(e.File(1, 100, 100, 1000, 100, false)), "EMF: invalid record size") << size;
    }
    TEmfWriter e;
    e.Rec(43, {1, 2, 3, 4}).RawBytes(TLE().U32(43).U32(0xFFFFFFF0u).Longs({1, 2, 3, 4}).D);
    const TMetafileData d = Parse(e.File(1, 100, 100, 1000, 100, false));
    EXPECT_TRUE(d.Truncated);
    EXPECT_EQ(d.Commands.size(), 1u);
    std::vector<uint8_t> header = TEmfWriter().File(1, 100, 100);
    header[4] = 0xFF; // header size beyond the file
    EXPECT_EQ(ErrorOf(header), "EMF: invalid header size");
}

TEST(MetafileParser, CountsAndIndexesBeyondTheRecordDropOnlyThatRecord)
{
    TWmfWriter w;
    w.Rec(0x0324, {1000, 1, 2})                // Polygon claims 1000 points
        .Rec(0x0538, {3, 1, 1})                // PolyPolygon: counts run past the record
        .Rec(0x0538, {1, 0xFFFF, 1, 2})        // PolyPolygon: points run past the record
        .Rec(0x0521, {500, 0x4141})            // TextOut longer than the record
        .Rec(0x02FC, {0, 0xFF, 0, 0})          // brush: slot 0
        .Rec(0x02FC, {0, 0xFF, 0, 0})          // table of one is full
        .Rec(0x012D, {1})                      // select an empty slot
        .Rec(0x012D, {9})                      // select past the table
        .Rec(0x01F0, {40000})                  // delete past the table
        .Rec(0x0F43, TLE().U32(0xCC0020).Words({0, 1, 1, 0, 0, 1, 1, 0, 0}).Longs({40, 30000, 30000}).Words({1, 24}).D)
        .Rec(0x041B, {40, 30, 20, 10});
    const TMetafileData d = Parse(w.Placeable(1, 0, 0, 100, 100, 96));
    EXPECT_EQ(Ops(d), (std::vector<TMetaOp>{TMetaOp::CreateBrush, TMetaOp::Rectangle}));
    EXPECT_EQ(d.SkippedRecords, 9);

    TEmfWriter e;
    e.Rec(86, {0, 0, 0, 0, 0x40000000, 1})          // POLYGON16 with a huge count
        .Rec(3, {0, 0, 0, 0, 0x20000000, 1, 2})     // POLYGON count x 8 past the record
        .Rec(91, {0, 0, 0, 0, 2, 3, 1, 1, 0, 0, 0}) // counts add to 2, total says 3
        .Rec(91, {0, 0, 0, 0, 0x7FFFFFFF, 0})       // polygon count past the record
        .Rec(39, {0, 0, 0xFF, 0})                   // slot 0 is the file itself
        .Rec(39, {2, 0, 0xFF, 0})                   // past nHandles
        .Rec(37, {7})                               // select past the table
        .Rec(40, {0})                               // delete slot 0
        .Rec(84, TLE().Longs({0, 0, 0, 0, 1, 0, 0, 0, 0, 0x7FFFFFFF, 76}).D) // text past the record
        .Rec(84, TLE().Longs({0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0xFFFFFFF0}).D)  // string offset past it
        .Rec(81, TLE().Longs({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0x7FFFFFF0, 40, 0, 0, 0, 0xCC0020, 1, 1}).D) // DIB offset
        .Rec(43, {1, 2, 3, 4});
    const TMetafileData d2 = Parse(e.File(2, 100, 100));
    EXPECT_EQ(Ops(d2), (std::vector<TMetaOp>{TMetaOp::Rectangle}));
    EXPECT_EQ(d2.SkippedRecords, 11);
}

TEST(MetafileParser, HugeOrMissingPictureSizesFailClearly)
{
    // A billion-pixel frame: 32767 x 32767 inches' worth of twips at 1 per inch.
    TWmfWriter w;
    w.Rec(0x041B, {40, 30, 20, 10});
    EXPECT_EQ(ErrorOf(w.Placeable(0, -32000, -32000, 32000, 32000, 1)), "Picture too large (6144000 x 6144000 pixels)");
    EXPECT_EQ(ErrorOf(w.Placeable(0, 5, 5, 5, 100, 96)), "Metafile: no picture size");
    // No placeable header and no window.
    EXPECT_EQ(ErrorOf(w.File(0)), "Metafile: no picture size");
    EXPECT_NE(ErrorOf(TEmfWriter().File(1, 0x7FFFFFFF, 0x7FFFFFFF)).find("Picture too large"), std::string::npos);
    // An empty frame falls back to the bounds in device pixels.
    const TMetafileFrame f = MetafileFrame(Parse(TEmfWriter().File(1, 0, 0, 960, 254)));
    EXPECT_EQ(f.PixelsX, 960);
    EXPECT_EQ(f.Width, 960);
    // Within the limits the picture's own size rules.
    SetPictureLimits({100, 100 * 100});
    EXPECT_NE(ErrorOf(w.Placeable(0, 0, 0, 101, 10, 96)).find("Picture too large"), std::string::npos);
    SetPictureLimits({});
}
