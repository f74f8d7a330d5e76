#include "app/toolbarglyphs.h"

namespace tessaria {

QList<QPixmap> CutGlyphStrip(const QImage& source, int size, int count, const QRgb* transparent)
{
    QList<QPixmap> glyphs;
    if (source.isNull() || size <= 0 || source.height() < size || source.width() / size < count)
        return glyphs;
    QImage strip = source.convertToFormat(QImage::Format_ARGB32);
    if (transparent) {
        const QRgb key = *transparent | 0xFF000000u;
        for (int y = 0; y < strip.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
            for (int x = 0; x < strip.width(); ++x)
                if ((row[x] | 0xFF000000u) == key)
                    row[x] = 0;
        }
    }
    for (int i = 0; i < count; ++i)
        glyphs << QPixmap::fromImage(strip.copy(i * size, 0, size, size));
    return glyphs;
}

QList<QPixmap> LoadToolBarGlyphStrip()
{
    const QRgb fuchsia = qRgb(255, 0, 255);
    return CutGlyphStrip(QImage(":/TOOLBARBMPS"), ToolBarGlyphSize, ToolBarGlyphCount, &fuchsia);
}

QList<QPixmap> LoadToolBarGlyphStrip2x()
{
    // Drawn with an alpha channel: nothing to key out.
    QList<QPixmap> glyphs = CutGlyphStrip(QImage(":/TOOLBARBMPS@2x"), 2 * ToolBarGlyphSize, ToolBarGlyphCount);
    for (QPixmap& glyph : glyphs)
        glyph.setDevicePixelRatio(2);
    return glyphs;
}

QIcon ToolBarIcon(const QPixmap& glyph, const QPixmap& glyph2x)
{
    QIcon icon(glyph);
    if (!glyph2x.isNull())
        icon.addPixmap(glyph2x);
    return icon;
}

} // namespace tessaria
