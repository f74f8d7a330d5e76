#include "imageio/qt/qimagebridge.h"

#include <cstring>

namespace tessaria {

QImage ToQImage(const TBitmap& bitmap)
{
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return QImage();
    QImage::Format format = QImage::Format_Indexed8;
    switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf1bit:
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit: format = QImage::Format_Indexed8; break;
    case TPixelFormat::pf15bit: format = QImage::Format_RGB555; break;
    case TPixelFormat::pf24bit: format = QImage::Format_BGR888; break;
    case TPixelFormat::pf32bit: format = QImage::Format_ARGB32; break;
    case TPixelFormat::pfDevice: format = QImage::Format_RGB32; break;
    }
    QImage image(w, h, format);
    if (image.isNull())
        return image;
    const TPixelFormat pf = bitmap.PixelFormat();
    if (format == QImage::Format_Indexed8) {
        const int colours = 1 << bitmap.BitsPerPixel();
        QList<QRgb> table(colours);
        for (int i = 0; i < colours; ++i) {
            const TPaletteEntry e = PaletteColour(bitmap.Palette(), pf, unsigned(i));
            table[i] = qRgb(e.Red, e.Green, e.Blue);
        }
        image.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            const uint8_t* in = bitmap.ScanLine(y);
            uchar* out = image.scanLine(y);
            if (pf == TPixelFormat::pf8bit)
                std::memcpy(out, in, size_t(w));
            else if (pf == TPixelFormat::pf4bit)
                for (int x = 0; x < w; ++x)
                    out[x] = (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
            else
                for (int x = 0; x < w; ++x)
                    out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        }
        return image;
    }
    // Both sides store these formats in the same byte order; Qt's rows are
    // padded to 32 bits as ours are, but copy only the pixels to be safe.
    const size_t bytes = size_t(w) * size_t(bitmap.BitsPerPixel() / 8);
    for (int y = 0; y < h; ++y) {
        std::memcpy(image.scanLine(y), bitmap.ScanLine(y), bytes);
        if (pf == TPixelFormat::pf15bit) { // Qt wants the unused top bit clear
            uchar* row = image.scanLine(y);
            for (int x = 0; x < w; ++x)
                row[2 * x + 1] &= 0x7F;
        } else if (pf == TPixelFormat::pfDevice) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < w; ++x)
                row[4 * x + 3] = 0xFF;
        }
    }
    return image;
}

TBitmap FromQImage(const QImage& image)
{
    TBitmap bitmap;
    if (image.isNull())
        return bitmap;
    const bool alpha = image.hasAlphaChannel();
    const QImage source = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    bitmap.SetPixelFormat(alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    bitmap.SetSize(source.width(), source.height());
    const size_t bytes = size_t(source.width()) * (alpha ? 4 : 3);
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(bitmap.ScanLine(y), source.constScanLine(y), bytes);
    return bitmap;
}

} // namespace tessaria
