#include <gtest/gtest.h>

#include <QAction>
#include <QToolBar>
#include <QImage>
#include <QPainter>

#include "app/appfixture.h"
#include "app/toolbarglyphs.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

QImage Argb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

// The 16 x 16 glyph made twice as large by repeating its pixels.
QImage Doubled(const QImage& glyph) { return glyph.scaled(glyph.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation); }

} // namespace

TEST(ToolBarGlyphs, CuttingAStripGivesSquaresInOrderWithTheKeyColourTransparent)
{
    QImage strip(12, 4, QImage::Format_RGB32);
    strip.fill(qRgb(255, 0, 255));
    strip.setPixel(1, 1, qRgb(10, 20, 30));  // in the first square
    strip.setPixel(9, 2, qRgb(40, 50, 60));  // in the third
    const QRgb key = qRgb(255, 0, 255);
    const QList<QPixmap> glyphs = CutGlyphStrip(strip, 4, 3, &key);
    ASSERT_EQ(glyphs.size(), 3);
    const QImage first = Argb(glyphs[0]), third = Argb(glyphs[2]);
    EXPECT_EQ(first.pixel(1, 1), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(third.pixel(1, 2), qRgb(40, 50, 60));
    EXPECT_EQ(qAlpha(Argb(glyphs[1]).pixel(1, 1)), 0);

    struct Short { const char* name; QImage strip; int size; int count; };
    const Short tooSmall[] = {
        {"too narrow for the count", strip, 4, 4},
        {"too low for the size", strip.copy(0, 0, 12, 3), 4, 3},
        {"no picture", QImage(), 4, 1},
    };
    for (const Short& s : tooSmall)
        EXPECT_TRUE(CutGlyphStrip(s.strip, s.size, s.count, &key).isEmpty()) << s.name;
}

TEST(ToolBarGlyphs, TheLargeStripHoldsTheSamePicturesRedrawnNotEnlarged)
{
    const QList<QPixmap> small = LoadToolBarGlyphStrip(), large = LoadToolBarGlyphStrip2x();
    ASSERT_EQ(small.size(), ToolBarGlyphCount);
    ASSERT_EQ(large.size(), ToolBarGlyphCount);
    int redrawn = 0;
    for (int i = 0; i < ToolBarGlyphCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(large[i].size(), QSize(32, 32));
        EXPECT_EQ(large[i].devicePixelRatio(), 2.0);
        // The same picture in the same place: where a small glyph's pixel is
        // opaque, the large one covers most of its 2 x 2 block, and where it is
        // transparent most of the block is clear. A strip out of order or
        // shifted by a glyph fails this.
        const QImage s = Argb(small[i]), l = Argb(large[i]);
        int agree = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int alpha = (qAlpha(l.pixel(2 * x, 2 * y)) + qAlpha(l.pixel(2 * x + 1, 2 * y)) +
                                   qAlpha(l.pixel(2 * x, 2 * y + 1)) + qAlpha(l.pixel(2 * x + 1, 2 * y + 1))) / 4;
                agree += (qAlpha(s.pixel(x, y)) > 0) == (alpha >= 128);
            }
        EXPECT_GE(agree, 16 * 16 * 9 / 10);
        if (l != Doubled(s))
            ++redrawn;
    }
    // Glyphs of straight lines only may come out as plain doubles; slopes and
    // curves (arrows, magnifiers, the question mark, the letter) may not.
    EXPECT_GE(redrawn, 8);
}

using ToolBarIcons = AppTest;

TEST_F(ToolBarIcons, ScaleOneDrawsTheSixteenPixelGlyphAndScaleTwoTheLargeOne)
{
    TfrmTessaria& w = CreateWindow();
    ASSERT_EQ(w.tbImages.size(), ToolBarGlyphCount);
    ASSERT_EQ(w.tbImages2x.size(), ToolBarGlyphCount);
    for (QAction* action : w.ToolBar1->actions()) {
        const QVariant glyph = action->property("Glyph");
        if (!glyph.isValid() || action->icon().isNull())
            continue;
        const int i = glyph.toInt();
        SCOPED_TRACE(action->objectName().toStdString());
        const QPixmap one = action->icon().pixmap(QSize(16, 16), 1.0);
        EXPECT_EQ(one.size(), QSize(16, 16));
        EXPECT_EQ(Argb(one), Argb(w.tbImages[i])); // unchanged at scale 1
        const QPixmap two = action->icon().pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(two.size(), QSize(32, 32));
        EXPECT_EQ(Argb(two), Argb(w.tbImages2x[i]));
    }
}
