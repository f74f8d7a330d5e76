#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "imagetest.h"
#include "imageio/fileformats.h"
#include "imageio/iconimage.h"
#include "imageio/jpegimage.h"
#include "imageio/picture.h"
#include "support/testfiles.h"

using namespace tessaria;
using namespace tessaria::test;

TEST(FormatTable, EveryRowInItsOrder)
{
    struct Row { const char* ext; const char* description; const char* className; };
    const Row expected[] = {
        {"ico", "Icons", "TIcon"},
        {"bmp", "Bitmaps", "TBitmap"},
        {"jpeg", "JPEG Image File", "TJPEGImage"},
        {"jpg", "JPEG Image File", "TJPEGImage"},
        {"win", "Truevision images", "TTargaGraphic"},
        {"vst", "Truevision images", "TTargaGraphic"},
        {"vda", "Truevision images", "TTargaGraphic"},
        {"tiff", "TIFF images", "TTIFFGraphic"},
        {"tif", "TIFF images", "TTIFFGraphic"},
        {"tga", "Truevision images", "TTargaGraphic"},
        {"sgi", "SGI true color images", "TSGIGraphic"},
        {"scr", "Word 5.x screen capture images", "TPCXGraphic"},
        {"rpf", "SGI Wavefront images", "TRLAGraphic"},
        {"rle", "Windows bitmap", "TBitmap"},
        {"rla", "SGI Wavefront images", "TRLAGraphic"},
        {"rgba", "SGI true color images", "TSGIGraphic"},
        {"rgb", "SGI true color images", "TSGIGraphic"},
        {"psd", "Photoshop images", "TPSDGraphic"},
        {"ppm", "Portable pixel map images", "TPPMGraphic"},
        {"pgm", "Portable grayscale images", "TPPMGraphic"},
        {"pbm", "Portable b&w images", "TPPMGraphic"},
        {"pic", "Autodesk images", "TAutodeskGraphic"},
        {"pcx", "ZSoft PCX images", "TPCXGraphic"},
        {"pdd", "Photoshop images", "TPSDGraphic"},
        {"pcd", "Kodak Photo-CD images", "TPCDGraphic"},
        {"pcc", "ZSoft PCC images", "TPCXGraphic"},
        {"icb", "Truevision images", "TTargaGraphic"},
        {"gif", "CompuServe images", "TGIFGraphic"},
        {"dib", "Windows bitmap", "TBitmap"},
        {"cut", "Dr. Halo images", "TCUTGraphic"},
        {"cel", "Autodesk images", "TAutodeskGraphic"},
        {"bw", "SGI black/white images", "TSGIGraphic"},
        // Read through their libraries, after the table's own rows.
        {"png", "PNG images", "TPNGGraphic"},
        {"webp", "WebP images", "TWebPGraphic"},
        {"heic", "HEIF images", "THEIFGraphic"},
        {"heif", "HEIF images", "THEIFGraphic"},
        {"avif", "AVIF images", "THEIFGraphic"},
    };
    const auto& rows = FileFormats().Formats();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].ext);
        EXPECT_EQ(rows[i].Extension, expected[i].ext);
        EXPECT_EQ(rows[i].Description, expected[i].description);
        EXPECT_STREQ(rows[i].GraphicClass->Name, expected[i].className);
    }
    EXPECT_EQ(&GraphicClassOf<TBitmap>(), FileFormats().FindExt("dib"));
}

TEST(FormatTable, LookupIgnoresCaseAndTakesTheLatestRow)
{
    TFileFormatsList list;
    list.AddFileFormat(".BMP", "first", GraphicClassOf<TBitmap>());
    list.AddFileFormat("jpg", "jpeg", GraphicClassOf<TJPEGImage>());
    list.AddFileFormat("bmp", "second", GraphicClassOf<TIcon>());
    EXPECT_EQ(list.Formats()[0].Extension, "bmp"); // stored lower case, no dot
    struct Case { const char* ext; const TGraphicClass* found; };
    const Case cases[] = {
        {"bmp", &GraphicClassOf<TIcon>()}, {"BmP", &GraphicClassOf<TIcon>()},
        {"JPG", &GraphicClassOf<TJPEGImage>()}, {"xyz", nullptr}, {"", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindExt(c.ext), c.found) << c.ext;

    list.RemoveGraphicClass(GraphicClassOf<TIcon>());
    EXPECT_EQ(list.FindExt("bmp"), &GraphicClassOf<TBitmap>());
    list.AddFileFormat("ico", "more", GraphicClassOf<TBitmap>());
    list.RemoveGraphicClass(GraphicClassOf<TBitmap>()); // every row of the class
    ASSERT_EQ(list.Formats().size(), 1u);
    EXPECT_EQ(list.Formats()[0].Extension, "jpg");
}

TEST(PictureLoading, ExtensionRules)
{
    TempDir dir;
    const std::vector<uint8_t> bmp = SolidBmp(3, 2, 10, 20, 30);
    struct Case { const char* name; const char* reader; };
    const Case cases[] = {
        {"upper.BMP", "TBitmap"},
        {"several.dots.b.bmp", "TBitmap"},
        {"windows.dib", "TBitmap"},
        {"windows.rle", "TBitmap"},
        {"Mixed.Dib", "TBitmap"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir.File(c.name), bmp);
        TPicture picture;
        picture.LoadFromFile(dir.File(c.name));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_STREQ(picture.Graphic()->ClassName(), c.reader);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Height(), 2);
    }
}

TEST(PictureLoading, ReadersFoundByTheLastExtension)
{
    TempDir dir;
    // A 1 x 1 PCX and a 1 x 1 TIFF, each one grey pixel.
    TBytes pcx;
    pcx.U8(10).U8(5).U8(0).U8(8).Fill(0, 8).Fill(0, 53).U8(1).U16(2).U16(1).Fill(0, 58).U8(77).U8(0).U8(12);
    for (unsigned i = 0; i < 256; ++i)
        pcx.U8(i).U8(i).U8(i);
    TBytes tiff;
    tiff.U8('I').U8('I').U16(42).U32(10).U8(77).U8(0).U16(6);
    for (const auto& [tag, value] : std::vector<std::pair<unsigned, unsigned>>{
             {256, 1}, {257, 1}, {258, 8}, {259, 1}, {262, 1}, {273, 8}})
        tiff.U16(tag).U16(3).U32(1).U16(value).U16(0);
    tiff.U32(0);
    struct Case { const char* name; const std::vector<uint8_t>& bytes; const char* reader; };
    const Case cases[] = {
        {"several.dots.b.pcx", pcx.Data, "TPCXGraphic"},
        {"capitals.TIF", tiff.Data, "TTIFFGraphic"},
        {"picture.Tiff", tiff.Data, "TTIFFGraphic"},
        {"screen.SCR", pcx.Data, "TPCXGraphic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir.File(c.name), c.bytes);
        std::string reader;
        const TBitmap bitmap = LoadBitmapFromFile(dir.File(c.name), &reader);
        EXPECT_EQ(reader, c.reader);
        ASSERT_EQ(bitmap.Width(), 1);
        EXPECT_EQ(PixelsOf(bitmap).Bytes, (std::vector<uint8_t>{77, 77, 77}));
    }
}

TEST(PictureLoading, FailuresKeepThePreviousGraphic)
{
    TempDir dir;
    WriteFile(dir.File("good.bmp"), SolidBmp(4, 4, 1, 2, 3));
    WriteFile(dir.File("bad.bmp"), std::string("BM12"));
    WriteFile(dir.File("picture.xyz"), SolidBmp(1, 1, 0, 0, 0));
    WriteFile(dir.File("b.pcx.xyz"), SolidBmp(1, 1, 0, 0, 0));
    WriteFile(dir.File("noextension"), SolidBmp(1, 1, 0, 0, 0));

    struct Case { const char* name; std::string message; };
    const Case cases[] = {
        {"picture.xyz", "Unknown picture file extension (.xyz)"},
        {"b.pcx.xyz", "Unknown picture file extension (.xyz)"},
        {"noextension", "Unknown picture file extension (.)"},
        {"bad.bmp", "Stream read error"},
        {"missing.bmp", "Cannot open file " + dir.File("missing.bmp")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&] { ++changes; };
        picture.LoadFromFile(dir.File("good.bmp"));
        const TGraphic* before = picture.Graphic();
        try {
            picture.LoadFromFile(dir.File(c.name));
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(picture.Graphic(), before);
        EXPECT_EQ(picture.Width(), 4);
        EXPECT_EQ(changes, 1);
    }
    // The unknown extension is the graphic layer's own error class.
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(dir.File("picture.xyz")), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(dir.File("missing.bmp")), EInOutError);
}

TEST(PictureLoading, LoadBitmapFromFileGivesABitmapAndTheReader)
{
    TempDir dir;
    WriteFile(dir.File("a.bmp"), SolidBmp(5, 3, 200, 100, 50));
    std::string reader;
    const TBitmap bitmap = LoadBitmapFromFile(dir.File("a.bmp"), &reader);
    EXPECT_EQ(reader, "TBitmap");
    ASSERT_EQ(bitmap.Width(), 5);
    ASSERT_EQ(bitmap.Height(), 3);
    const uint8_t* row = bitmap.ScanLine(2);
    EXPECT_EQ((std::vector<int>{row[12], row[13], row[14]}), (std::vector<int>{50, 100, 200}));
}

TEST(PictureLoading, PictureBitmapTurnsOtherGraphicsIntoBitmaps)
{
    if (!HaveProgram("cjpeg"))
        GTEST_SKIP() << "cjpeg not installed";
    TempDir dir;
    std::string ppm = "P6\n16 16\n255\n";
    for (int i = 0; i < 256; ++i)
        ppm += std::string("\xff\0\0", 3);
    WriteFile(dir.File("in.ppm"), ppm);
    ASSERT_EQ(RunCommand("cjpeg -quality 100 " + Quote(dir.File("in.ppm")) + " > " + Quote(dir.File("a.jpg"))), 0);
    TPicture picture;
    picture.LoadFromFile(dir.File("a.jpg"));
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TJPEGImage");
    TBitmap& bitmap = picture.Bitmap();
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(bitmap.Width(), 16);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_GT(bitmap.ScanLine(0)[2], 240); // red
    EXPECT_LT(bitmap.ScanLine(0)[1], 15);
    EXPECT_EQ(&picture.Bitmap(), &bitmap); // already a bitmap: unchanged
}
