// Metafiles drawn: hand-made WMF and EMF files rendered through TMetafile,
// pixels checked at places the records determine.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <filesystem>
#include <fstream>

#include "../metafilebuilder.h"
#include "base/exceptions.h"
#include "imageio/picture.h"
#include "imageio/qt/metafileimage.h"
#include "imageio/stream.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

TBitmap Render(const std::vector<uint8_t>& file, TMetafile* keep = nullptr)
{
    TMetafile m;
    TMemoryStream s(file.data(), file.size());
    m.LoadFromStream(s);
    TBitmap b;
    m.AssignTo(b);
    EXPECT_EQ(b.Width(), m.Width());
    EXPECT_EQ(b.Height(), m.Height());
    if (keep)
        *keep = m;
    return b;
}

uint32_t Px(const TBitmap& b, int x, int y)
{
    uint8_t bgr[3];
    b.PixelBGR(x, y, bgr);
    return uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
}

constexpr uint32_t White = 0xFFFFFF, Red = 0xFF0000, Blue = 0x0000FF, Black = 0;

// Pen, brush: WMF objects in slots 0 and 1, selected.
TWmfWriter& PenAndBrush(TWmfWriter& w, int pen, int brush, int penStyle = 0)
{
    return w.Rec(0x02FA, {penStyle, 1, 0, pen & 0xFFFF, pen >> 16})
        .Rec(0x02FC, {0, brush & 0xFFFF, brush >> 16, 0})
        .Rec(0x012D, {0})
        .Rec(0x012D, {1});
}

// COLORREF of 0xRRGGBB.
int Ref(uint32_t rgb) { return int((rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16); }

int CountDark(const TBitmap& b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t p = Px(b, x, y);
            if (((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 && (p & 0xFF) < 128)
                ++n;
        }
    return n;
}

} // namespace

TEST(MetafileRender, WmfShapesInAnAnisotropicWindow)
{
    // Window 0..1000 over a 100-pixel placeable picture: 10 units a pixel.
    TWmfWriter w;
    w.Rec(0x0103, {8}).Rec(0x020B, {0, 0}).Rec(0x020C, {1000, 1000});
    PenAndBrush(w, Ref(Black), Ref(Red), 5 /* no pen */);
    w.Rec(0x041B, {400, 400, 100, 100});                 // rectangle 10..40 px
    w.Rec(0x02FC, {0, Ref(Blue) & 0xFFFF, Ref(Blue) >> 16, 0}).Rec(0x012D, {2});
    w.Rec(0x0418, {900, 900, 500, 500});                 // ellipse 50..90 px
    w.Rec(0x0324, {3, 100, 900, 400, 900, 100, 600});    // triangle, right angle at (10, 90)
    const TBitmap b = Render(w.Placeable(3, 0, 0, 1000, 1000, 960));
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(Px(b, 25, 25), Red);
    EXPECT_EQ(Px(b, 12, 12), Red);
    EXPECT_EQ(Px(b, 45, 25), White);
    EXPECT_EQ(Px(b, 5, 5), White);
    EXPECT_EQ(Px(b, 70, 70), Blue);
    EXPECT_EQ(Px(b, 52, 52), White); // box corner outside the ellipse
    EXPECT_EQ(Px(b, 70, 51), Blue);
    EXPECT_EQ(Px(b, 13, 87), Blue); // inside the triangle
    EXPECT_EQ(Px(b, 35, 65), White); // beyond its hypotenuse
}

TEST(MetafileRender, WmfWithoutPlaceableHeaderTakesItsWindowAndItsPen)
{
    TWmfWriter w;
    w.Rec(0x0103, {8}).Rec(0x020B, {-50, -50}).Rec(0x020C, {100, 100});
    PenAndBrush(w, Ref(Black), Ref(0x00FF00));
    w.Rec(0x041B, {0, 0, -40, -40}); // -40..0 in a window from -50: pixels 10..50
    w.Rec(0x0214, {40, 0}).Rec(0x0213, {40, 49}); // a line at y = 40, x 0..49
    const TBitmap b = Render(w.File(2));
    ASSERT_EQ(b.Width(), 100);
    EXPECT_EQ(Px(b, 30, 30), 0x00FF00u);
    EXPECT_EQ(Px(b, 10, 30), Black); // the pen on the box's left edge
    EXPECT_EQ(Px(b, 30, 10), Black);
    EXPECT_EQ(Px(b, 70, 90), Black); // the line
    EXPECT_EQ(Px(b, 70, 85), White);
    EXPECT_EQ(Px(b, 30, 60), White);
}

TEST(MetafileRender, WmfViewportAndIsotropicMapping)
{
    // A viewport set in the file places the window inside the picture.
    TWmfWriter w;
    w.Rec(0x0103, {8}).Rec(0x020C, {100, 100}).Rec(0x020D, {50, 50}).Rec(0x020E, {50, 50});
    PenAndBrush(w, Ref(Black), Ref(Red), 5).Rec(0x041B, {100, 100, 0, 0});
    const TBitmap b = Render(w.Placeable(2, 0, 0, 100, 100, 96));
    EXPECT_EQ(Px(b, 25, 25), White);
    EXPECT_EQ(Px(b, 45, 75), White);
    EXPECT_EQ(Px(b, 75, 75), Red);
    // Isotropic: a 100 x 50 window on a square picture keeps its aspect.
    TWmfWriter i;
    i.Rec(0x0103, {7}).Rec(0x020C, {50, 100});
    PenAndBrush(i, Ref(Black), Ref(Blue), 5).Rec(0x041B, {50, 100, 0, 0});
    const TBitmap c = Render(i.Placeable(2, 0, 0, 100, 100, 96));
    EXPECT_EQ(Px(c, 50, 25), Blue);
    EXPECT_EQ(Px(c, 50, 75), White);
}

TEST(MetafileRender, TextIsDrawnAtItsReferencePointAndAlignment)
{
    TWmfWriter w;
    w.Rec(0x020C, {200, 200}).Rec(0x0103, {8});
    TLE font;
    font.Words({-40, 0, 0, 0, 700}).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0);
    for (char c : std::string("Sans"))
        font.U8(uint8_t(c));
    font.U8(0);
    w.Rec(0x02FB, font.D).Rec(0x012D, {0}).Rec(0x0102, {1}).Rec(0x0209, {0, 0});
    w.TextOut(10, 20, "MMMM"); // top-left alignment: below and right of (10, 20)
    w.Rec(0x012E, {6 | 24}); // centred on the baseline
    w.TextOut(100, 180, "MM");
    const TBitmap b = Render(w.File(1));
    ASSERT_EQ(b.Width(), 200);
    EXPECT_GT(CountDark(b, 10, 20, 110, 60), 200);
    EXPECT_EQ(CountDark(b, 0, 0, 200, 18), 0);
    EXPECT_EQ(CountDark(b, 0, 20, 8, 60), 0);
    // Centred: ink on both sides of x = 100, above the baseline only.
    EXPECT_GT(CountDark(b, 70, 140, 100, 180), 50);
    EXPECT_GT(CountDark(b, 100, 140, 130, 180), 50);
    EXPECT_EQ(CountDark(b, 0, 182, 200, 200), 0);
    EXPECT_EQ(CountDark(b, 0, 62, 200, 130), 0);
}

TEST(MetafileRender, StretchedDibKeepsItsOrientationAndMirrorsOnNegativeWidth)
{
    const auto dib = Dib24(2, {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}});
    for (int mirrored : {0, 1}) {
        TWmfWriter w;
        w.Rec(0x020C, {100, 100});
        TLE p;
        // StretchDIB onto 0..50 (or 50..0 mirrored) by 0..50.
        p.U32(0x00CC0020).Words({0, 2, 2, 0, 0, 50, mirrored ? -50 : 50, 0, mirrored ? 50 : 0}).Raw(dib);
        w.Rec(0x0F43, p.D);
        const TBitmap b = Render(w.File(0));
        EXPECT_EQ(Px(b, 12, 12), mirrored ? 0x00FF00u : Red);
        EXPECT_EQ(Px(b, 37, 12), mirrored ? Red : 0x00FF00u);
        EXPECT_EQ(Px(b, 12, 37), mirrored ? 0xFFFF00u : Blue);
        EXPECT_EQ(Px(b, 75, 75), White);
    }
}

TEST(MetafileRender, EmfFixedMappingModeWorldTransformAndStockObjects)
{
    // 10 device pixels per mm; the frame 100 mm = 1000 device pixels = 378 picture pixels.
    TEmfWriter e;
    e.Rec(17, {3})                                     // MM_HIMETRIC: y up
        .Rec(37, {int64_t(0x80000000u | 4)})         // BLACK_BRUSH
        .Rec(37, {int64_t(0x80000000u | 8)})         // NULL_PEN
        .Rec(43, {0, 0, 5000, -5000});               // 50 x 50 mm from the top-left
    const TBitmap b = Render(e.File(1, 10000, 10000));
    ASSERT_EQ(b.Width(), 378);
    EXPECT_EQ(Px(b, 90, 90), Black);
    EXPECT_EQ(Px(b, 185, 185), Black);
    EXPECT_EQ(Px(b, 195, 90), White);
    EXPECT_EQ(Px(b, 300, 300), White);

    // A world transform: scale 2 and move 100 device pixels right.
    TEmfWriter t;
    t.Rec(35, TLE().F32(2).F32(0).F32(0).F32(2).F32(100).F32(0).D)
        .Rec(39, {1, 0, Ref(Blue), 0}).Rec(37, {1})
        .Rec(37, {int64_t(0x80000000u | 8)})
        .Rec(43, {0, 0, 100, 100})                      // device 100..300 x 0..200
        .Rec(36, TLE().F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(1).D) // identity
        .Rec(37, {int64_t(0x80000000u | 4)})
        .Rec(43, {0, 500, 100, 600});
    const TBitmap c = Render(t.File(2, 10000, 10000));
    EXPECT_EQ(Px(c, 30, 30), White);  // device 79
    EXPECT_EQ(Px(c, 70, 30), Blue);   // device 185
    EXPECT_EQ(Px(c, 110, 70), Blue);  // device 290, 185
    EXPECT_EQ(Px(c, 118, 30), White); // device 312
    EXPECT_EQ(Px(c, 20, 207), Black); // device 53, 548
}

TEST(MetafileRender, SaveRestoreClipAndPaths)
{
    TEmfWriter e;
    e.Rec(39, {1, 0, Ref(Red), 0}).Rec(39, {2, 0, Ref(Blue), 0})
        .Rec(37, {int64_t(0x80000000u | 8)})
        .Rec(37, {1})
        .Rec(33, {})                                  // save with red
        .Rec(37, {2})
        .Rec(30, {0, 0, 500, 1000})                   // clip to the left half
        .Rec(43, {0, 0, 1000, 200})                   // blue, clipped
        .Rec(34, {-1})                                // back to red, no clip
        .Rec(43, {0, 300, 1000, 500})
        .Rec(59, {}).Poly16(86, {0, 600, 400, 600, 0, 1000}).Rec(60, {})
        .Rec(62, {0, 0, 0, 0});                       // fill the triangle path red
    const TBitmap b = Render(e.File(3, 10000, 10000));
    EXPECT_EQ(Px(b, 100, 30), Blue);
    EXPECT_EQ(Px(b, 300, 30), White);
    EXPECT_EQ(Px(b, 300, 150), Red);
    EXPECT_EQ(Px(b, 20, 300), Red);   // device 53, 794 inside the triangle
    EXPECT_EQ(Px(b, 140, 300), White);
}

TEST(MetafileRender, HostileStateRecordsDrawWhatIsSound)
{
    // Deep SaveDC nesting, restores beyond it, objects that do not exist.
    TWmfWriter w;
    w.Rec(0x0103, {8}).Rec(0x020C, {100, 100});
    PenAndBrush(w, Ref(Black), Ref(Red), 5);
    for (int i = 0; i < 5000; ++i)
        w.Rec(0x001E, {});
    w.Rec(0x0127, {-30000}).Rec(0x0127, {30000}).Rec(0x0127, {0});
    w.Rec(0x012D, {7}).Rec(0x020C, {0, 0}); // empty window: nothing drawn under it
    w.Rec(0x041B, {100, 100, 0, 0});
    w.Rec(0x0127, {1});                     // back to the 100 x 100 window
    w.Rec(0x041B, {50, 50, 0, 0});
    const TBitmap b = Render(w.File(2));
    EXPECT_EQ(Px(b, 25, 25), Red);
    EXPECT_EQ(Px(b, 75, 75), White);
}

TEST(MetafileRender, AbsurdTransformsDrawNothingOrWhatFits)
{
    // World transforms of NaN, infinity and 1e38; coordinates scaled far
    // past the picture; then a sound rectangle.
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    TEmfWriter e;
    e.Rec(37, {int64_t(0x80000000u | 4)});
    for (float bad : {nan, inf, 1e38f}) {
        e.Rec(35, TLE().F32(bad).F32(0).F32(0).F32(bad).F32(0).F32(0).D)
            .Rec(43, {0, 0, 100, 100})
            .Poly16(86, {-32768, -32768, 32767, -32768, 0, 32767})
            .TextOutW(1, 1, "x");
    }
    e.Rec(36, TLE().F32(0).F32(0).F32(0).F32(0).F32(0).F32(0).U32(1).D)
        .Rec(17, {8}).Rec(9, {1, 1}).Rec(11, {0x7FFFFFFF, 0x7FFFFFFF})
        .Rec(42, {-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF})
        .Rec(44, {0, 0, 2, 2, 0x7FFFFFFF, 0x7FFFFFFF})
        .Rec(45, {0, 0, 0, 0, 0, 0, 0, 0})
        .Rec(17, {1})
        .Rec(39, {1, 0, Ref(Red), 0}).Rec(37, {1})
        .Rec(43, {0, 0, 500, 500});
    const TBitmap b = Render(e.File(2, 10000, 10000));
    EXPECT_EQ(Px(b, 100, 100), Red);
}

TEST(MetafileRender, ManyLargeShapesStopDrawingInsteadOfRunningForHours)
{
    TWmfWriter w;
    w.Rec(0x020C, {1000, 1000});
    PenAndBrush(w, Ref(Black), Ref(Red), 5);
    w.Rec(0x041B, {1000, 1000, 0, 0});
    w.Rec(0x02FC, {0, Ref(Blue) & 0xFFFF, Ref(Blue) >> 16, 0}).Rec(0x012D, {2});
    for (int i = 0; i < 100000; ++i)
        w.Rec(0x041B, {1000, 1000 - i % 2, 0, 0});
    // Once the budget is spent nothing more is drawn: not this green.
    w.Rec(0x02FC, {0, 0xFF00, 0, 0}).Rec(0x012D, {3}).Rec(0x041B, {1000, 1000, 0, 0});
    const auto start = std::chrono::steady_clock::now();
    const TBitmap b = Render(w.File(4));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_EQ(Px(b, 500, 500), Blue);
}

TEST(MetafileRender, RowsComeFirstAndFilesLoadThroughThePicture)
{
    TFileFormatsList list;
    AddFrameworkFormats(list);
    AddJPEGFormats(list);
    const size_t before = list.Formats().size();
    RegisterMetafileFormats(list);
    RegisterMetafileFormats(list);
    ASSERT_EQ(list.Formats().size(), before + 2);
    EXPECT_EQ(list.Formats()[0].Extension, "wmf");
    EXPECT_EQ(list.Formats()[0].Description, "Metafiles");
    EXPECT_EQ(list.Formats()[1].Extension, "emf");
    EXPECT_EQ(list.Formats()[1].Description, "Enhanced Metafiles");
    EXPECT_EQ(list.Formats()[2].Extension, "ico");
    EXPECT_EQ(list.Formats()[3].Extension, "bmp");

    // The program's table, as the test main set it up: the rest unchanged.
    TFileFormatsList builtIn;
    AddFrameworkFormats(builtIn);
    AddJPEGFormats(builtIn);
    AddImageReaderFormats(builtIn);
    AddLibraryFormats(builtIn);
    const auto& rows = FileFormats().Formats();
    ASSERT_EQ(rows.size(), builtIn.Formats().size() + 2);
    EXPECT_EQ(rows[0].Extension, "wmf");
    EXPECT_EQ(rows[1].Extension, "emf");
    EXPECT_STREQ(rows[1].GraphicClass->Name, "TMetafile");
    for (size_t i = 0; i < builtIn.Formats().size(); ++i) {
        EXPECT_EQ(rows[i + 2].Extension, builtIn.Formats()[i].Extension);
        EXPECT_EQ(rows[i + 2].GraphicClass, builtIn.Formats()[i].GraphicClass);
    }
    const auto dir = std::filesystem::temp_directory_path() / "tessaria-metafile-test";
    std::filesystem::create_directories(dir);
    TWmfWriter w;
    w.Rec(0x020C, {30, 40});
    PenAndBrush(w, Ref(Black), Ref(Blue), 5).Rec(0x041B, {30, 40, 0, 0});
    TEmfWriter e;
    e.Rec(37, {int64_t(0x80000000u | 4)}).Rec(43, {0, 0, 1000, 1000});
    for (const auto& [name, bytes] : {std::pair{"a.WMF", w.File(2)}, std::pair{"b.emf", e.File(1, 2540, 1270)}}) {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::string reader;
        const TBitmap b = LoadBitmapFromFile(path, &reader);
        EXPECT_EQ(reader, "TMetafile");
        EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
        EXPECT_EQ(b.Width(), name[0] == 'a' ? 40 : 96);
        EXPECT_EQ(b.Height(), name[0] == 'a' ? 30 : 48);
        EXPECT_NE(Px(b, 5, 5), White);
        TPicture picture;
        picture.LoadFromFile(path);
        EXPECT_EQ(picture.Width(), b.Width());
        EXPECT_EQ(picture.Bitmap().Width(), b.Width());
    }
    std::filesystem::remove_all(dir);
}
