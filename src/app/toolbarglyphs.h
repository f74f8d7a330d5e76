#pragma once
// The tool bar's glyphs: one strip of 19 pictures of 16 x 16 in 16 colours
// (fuchsia transparent), and the same pictures drawn at 32 x 32 for screens
// with a device pixel ratio of 2. A button's icon holds both and Qt takes the
// one that fits the screen it is drawn on; at a ratio of 1 that is the 16 x 16
// glyph, unchanged.

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>

namespace tessaria {

inline constexpr int ToolBarGlyphCount = 19;
inline constexpr int ToolBarGlyphSize = 16;

// `count` squares of `size` from the left of the strip, with every pixel of
// colour `transparent` (alpha ignored) made transparent when given. A strip
// too small for them gives none.
QList<QPixmap> CutGlyphStrip(const QImage& strip, int size, int count, const QRgb* transparent = nullptr);

// The two strips of the program's resources.
QList<QPixmap> LoadToolBarGlyphStrip();
QList<QPixmap> LoadToolBarGlyphStrip2x();

// A glyph for device pixel ratio 1, with its twice-as-large drawing when there is one.
QIcon ToolBarIcon(const QPixmap& glyph, const QPixmap& glyph2x = QPixmap());

} // namespace tessaria
