#include <gtest/gtest.h>

#include <QImage>

#include "imageio/qt/qimagebridge.h"

using namespace tessaria;

namespace {

// Every format, each pixel a different colour.
TBitmap Sample(TPixelFormat format)
{
    TBitmap b;
    b.SetPixelFormat(format);
    if (format == TPixelFormat::pf4bit || format == TPixelFormat::pf8bit)
        b.SetPalette({{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {10, 20, 30, 0}});
    b.SetSize(5, 3);
    for (int y = 0; y < 3; ++y) {
        uint8_t* row = b.ScanLine(y);
        for (size_t i = 0; i < b.RowBytes(); ++i)
            row[i] = uint8_t(format == TPixelFormat::pf4bit   ? ((i + size_t(y)) % 4) * 0x11
                             : format == TPixelFormat::pf8bit ? (i + size_t(y)) % 4
                                                              : i * 37 + size_t(y) * 11 + 5);
    }
    return b;
}

} // namespace

TEST(QImageBridge, EveryFormatShowsTheBitmapsColours)
{
    for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                                TPixelFormat::pf15bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit,
                                TPixelFormat::pfDevice}) {
        SCOPED_TRACE(int(format));
        const TBitmap bitmap = Sample(format);
        const QImage image = ToQImage(bitmap);
        ASSERT_EQ(image.width(), 5);
        ASSERT_EQ(image.height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                uint8_t bgr[3];
                bitmap.PixelBGR(x, y, bgr);
                const QRgb p = image.pixel(x, y);
                EXPECT_EQ((std::vector<int>{qRed(p), qGreen(p), qBlue(p)}), (std::vector<int>{bgr[2], bgr[1], bgr[0]}))
                    << x << "," << y;
                if (format == TPixelFormat::pf32bit) {
                    EXPECT_EQ(qAlpha(p), bitmap.ScanLine(y)[4 * x + 3]);
                }
            }
    }
}

TEST(QImageBridge, BackFromQImage)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 40));
    image.setPixel(2, 1, qRgba(200, 100, 50, 255));
    const TBitmap withAlpha = FromQImage(image);
    ASSERT_EQ(withAlpha.PixelFormat(), TPixelFormat::pf32bit);
    const uint8_t* p = withAlpha.ScanLine(1) + 8;
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{50, 100, 200, 255}));
    EXPECT_EQ(withAlpha.ScanLine(0)[3], 40);

    const TBitmap opaque = FromQImage(image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(opaque.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(opaque.ScanLine(1)[6 + 2], 200);
    EXPECT_TRUE(ToQImage(TBitmap()).isNull());
}
