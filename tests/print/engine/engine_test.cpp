// Recording: device values, pages, canvas state, units, header, footer and
// page numbers, against stand-in printers.
#include "enginetest.h"

#include <QPainter>
#include <QPicture>

#include "base/exceptions.h"
#include "platform/application.h"
#include "print/metafilecanvas.h"
#include "print/prevprinter.h"
#include "support/localeguard.h"

using namespace tessaria;
using namespace tessaria::test;

namespace {

class EngineTest : public StandInTest {
protected:
    void TearDown() override
    {
        SetScreenLogicalDpiOverride(0);
        StandInTest::TearDown();
    }
    // A page with nothing on it but what PrintHeaderFooter draws.
    QImage HeaderFooterPage(int pageNumber, double scale = 0.1)
    {
        Engine.BeginDoc();
        Engine.PrintHeaderFooter(pageNumber);
        Engine.EndDoc();
        return RenderRecordedPage(Engine, 0, scale);
    }
    TPreviewPrinter Engine;
};

TEST_F(EngineTest, DeviceValuesComeFromThePrinterInTheEnginesOrientation)
{
    struct Case {
        const char* name;
        TPrinterOrientation orientation;
        TDeviceValues expected;
    } cases[] = {
        {"portrait", TPrinterOrientation::poPortrait, {600, 600, 5100, 6600, 150, 120}},
        {"landscape", TPrinterOrientation::poLandscape, {600, 600, 6600, 5100, 120, 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Engine.SetOrientation(c.orientation);
        Engine.BeginDoc();
        EXPECT_EQ(StandIn->LastOrientation(), c.orientation);
        EXPECT_EQ(Engine.DeviceValues(), c.expected);
        EXPECT_EQ(Engine.PhysicalWidth(), c.expected.PhysicalWidth);
        EXPECT_EQ(Engine.PhysicalOffsetY(), c.expected.PhysicalOffsetY);
        Engine.EndDoc();
    }
}

TEST_F(EngineTest, WithoutAPrinterTheScreenAndTheLocalesSheetServe)
{
    struct Case {
        const char* locale;
        int dpi;
        TPrinterOrientation orientation;
        TDeviceValues expected;
    } cases[] = {
        {"en_US", 96, TPrinterOrientation::poPortrait, {96, 96, 816, 1056, 0, 0}},
        {"en_US", 120, TPrinterOrientation::poPortrait, {120, 120, 1020, 1320, 0, 0}},
        {"en_US", 75, TPrinterOrientation::poPortrait, {75, 75, 638, 825, 0, 0}},
        // 8.27 x 11.69 in.; landscape turns the sheet also without a printer.
        {"de_DE", 96, TPrinterOrientation::poPortrait, {96, 96, 794, 1123, 0, 0}},
        {"de_DE", 96, TPrinterOrientation::poLandscape, {96, 96, 1123, 794, 0, 0}},
        {"en_US", 96, TPrinterOrientation::poLandscape, {96, 96, 1056, 816, 0, 0}},
    };
    UsePrinter(QString(), Letter600());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + std::to_string(c.dpi));
        LocaleGuard locale(c.locale);
        SetScreenLogicalDpiOverride(c.dpi);
        Engine.SetOrientation(c.orientation);
        Engine.BeginDoc();
        Engine.Canvas()->drawLine(0, 0, 10, 10);
        Engine.EndDoc();
        EXPECT_EQ(Engine.DeviceValues(), c.expected);
        EXPECT_EQ(Engine.PageCount(), 1);
        EXPECT_TRUE(Engine.PrinterName().isEmpty());
        EXPECT_EQ(Engine.Sheet().id(), std::string(c.locale) == "de_DE" ? QPageSize::A4 : QPageSize::Letter);
    }
}

TEST_F(EngineTest, AChosenPaperReplacesThePrintersSheetAtItsResolution)
{
    Engine.SetPaper(QPageSize(QPageSize::A5));
    Engine.BeginDoc();
    Engine.EndDoc();
    // 5.83 x 8.27 in. at the stand-in's 600 dpi, printable to the edges.
    EXPECT_EQ(Engine.DeviceValues(), (TDeviceValues{600, 600, 3496, 4961, 0, 0}));
    EXPECT_FALSE(Engine.PrinterName().isEmpty());

    Engine.SetOrientation(TPrinterOrientation::poLandscape);
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.DeviceValues(), (TDeviceValues{600, 600, 4961, 3496, 0, 0}));

    UsePrinter(QString(), Letter600());
    SetScreenLogicalDpiOverride(96);
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.DeviceValues(), (TDeviceValues{96, 96, 794, 559, 0, 0}));
    EXPECT_EQ(Engine.Sheet().id(), QPageSize::A5);
}

TEST_F(EngineTest, BeginDocThenEndDocLeavesNoPageAndFreshDeviceValues)
{
    Engine.BeginDoc();
    Engine.Canvas()->drawLine(0, 0, 100, 100);
    Engine.NewPage();
    Engine.Canvas()->drawLine(0, 0, 100, 100);
    Engine.EndDoc();
    ASSERT_EQ(Engine.PageCount(), 2);

    TDeviceValues a4 = {300, 300, 2480, 3508, 50, 50};
    UsePrinter("Other", a4);
    Engine.BeginDoc();
    Engine.EndDoc();
    EXPECT_EQ(Engine.PageCount(), 0);
    EXPECT_FALSE(Engine.Recording());
    EXPECT_EQ(Engine.DeviceValues(), a4);
    EXPECT_EQ(Engine.PrinterName(), "Other");
}

TEST_F(EngineTest, OnlyAnUnusedLastPageIsDropped)
{
    Engine.BeginDoc();          // page 1, never drawn on
    Engine.NewPage();           // page 2
    Engine.Canvas();            // asking for the canvas is using the page
    Engine.NewPage();           // page 3, never drawn on
    EXPECT_FALSE(Engine.PageUsed());
    Engine.EndDoc();
    EXPECT_EQ(Engine.PageCount(), 2);
    Engine.EndDoc(); // a second EndDoc has nothing to finish and drops nothing
    EXPECT_EQ(Engine.PageCount(), 2);
}

TEST_F(EngineTest, FontBrushAndPenCarryOverToTheNextPage)
{
    Engine.BeginDoc();
    QPainter* canvas = Engine.Canvas();
    EXPECT_EQ(canvas->font().family(), "Arial");
    EXPECT_EQ(canvas->font().pixelSize(), 83); // 10 pt at 600 dpi
    EXPECT_EQ(canvas->brush().style(), Qt::NoBrush);

    QFont font("Times New Roman");
    font.setPixelSize(200);
    canvas->setFont(font);
    canvas->setBrush(QBrush(Qt::red, Qt::Dense4Pattern));
    canvas->setPen(QPen(Qt::blue, 7));
    Engine.NewPage();
    canvas = Engine.Canvas();
    EXPECT_EQ(canvas->font().family(), "Times New Roman");
    EXPECT_EQ(canvas->font().pixelSize(), 200);
    EXPECT_EQ(canvas->brush().color(), QColor(Qt::red));
    EXPECT_EQ(canvas->brush().style(), Qt::Dense4Pattern);
    EXPECT_EQ(canvas->pen().color(), QColor(Qt::blue));
    EXPECT_EQ(canvas->pen().width(), 7);
    Engine.EndDoc();
}

TEST_F(EngineTest, PicturesKeepTheirPixelsAndTheirPlaceInTheDrawingOrder)
{
    Engine.BeginDoc();
    TTovarMetaFileCanvas& canvas = *Engine.RecordingCanvas();
    canvas.fillRect(QRect(0, 0, 600, 600), Qt::black); // under the picture
    canvas.setPen(QPen(Qt::green, 40));
    QImage red(30, 20, QImage::Format_RGB888);
    red.fill(Qt::red);
    canvas.DrawPicture(QRect(300, 300, 600, 600), red);
    EXPECT_EQ(canvas.pen().color(), QColor(Qt::green)); // the state goes on after the picture
    canvas.drawLine(300, 800, 900, 800);                 // over it
    Engine.EndDoc();
    const TRecordedPage& page = Engine.GetPage(0);
    ASSERT_EQ(page.Layers().size(), 3u);
    EXPECT_EQ(page.Layers()[1].Image.size(), QSize(30, 20)); // not resampled on the way

    const QImage image = RenderRecordedPage(Engine, 0, 0.1);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::black));  // black alone
    EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::red));    // the picture over the black
    EXPECT_EQ(image.pixelColor(60, 80), QColor(Qt::green));  // the line over the picture
    EXPECT_EQ(image.pixelColor(85, 40), QColor(Qt::red));
}

TEST_F(EngineTest, UnitsToPixels)
{
    struct Case {
        const char* name;
        TUnits units;
        double length;
        int x;
        int y;
    } cases[] = {
        {"one inch", TUnits::unInches, 1.0, 600, 600},
        {"2.54 cm is an inch", TUnits::unCentimeters, 2.54, 600, 600},
        {"half an inch", TUnits::unInches, 0.5, 300, 300},
        {"one cm", TUnits::unCentimeters, 1.0, 236, 236},
        {"0.4 in", TUnits::unInches, 0.4, 240, 240},
        {"negative", TUnits::unInches, -0.25, -150, -150},
    };
    Engine.BeginDoc();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Engine.SetUnits(c.units);
        EXPECT_DOUBLE_EQ(Engine.UnitsPerInch(), c.units == TUnits::unInches ? 1.0 : 2.54);
        EXPECT_EQ(Engine.UnitsToPixelsX(c.length), c.x);
        EXPECT_EQ(Engine.UnitsToPixelsY(c.length), c.y);
    }
    Engine.EndDoc();
}

TEST(AlignedTextX, Positions)
{
    struct Case {
        const char* name;
        TAlignment alignment;
        int sheet, left, right, width, x;
    } cases[] = {
        {"centre", TAlignment::taCenter, 5100, 300, 300, 101, 2500},
        {"centre, even width", TAlignment::taCenter, 5100, 300, 300, 100, 2500},
        {"centre, odd sheet", TAlignment::taCenter, 5101, 0, 0, 3, 2549},
        {"centre, wider than the sheet", TAlignment::taCenter, 100, 0, 0, 301, -100},
        {"left", TAlignment::taLeftJustify, 5100, 300, 200, 101, 300},
        {"right", TAlignment::taRightJustify, 5100, 300, 200, 101, 4799},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AlignedTextX(c.alignment, c.sheet, c.left, c.right, c.width), c.x) << c.name;
}

TEST_F(EngineTest, TextLandsWhereItsAlignmentPutsIt)
{
    // Positions in device pixels: the sheet is 5100 wide, the margins 300
    // and 600, the header's top 600 from the top, the footer's 600 from the
    // bottom. Rendered at a quarter, so that small text keeps its ink.
    const double s = 0.25;
    TTextOptions& o = *Engine.TextOptions();
    o.SetMarginLeft(0.5);
    o.SetMarginRight(1.0);
    o.SetPrintPageNumber(TPrintPageNumber::pnNone);
    o.SetHeader("HHHHHHHH");
    o.SetHeaderMargin(1.0);
    o.SetFooterMargin(1.0);
    struct Case {
        const char* name;
        TAlignment alignment;
    } cases[] = {{"left", TAlignment::taLeftJustify}, {"centre", TAlignment::taCenter}, {"right", TAlignment::taRightJustify}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        o.SetHeaderAlign(c.alignment);
        o.SetFooter("HHHH");
        o.SetFooterAlign(c.alignment);
        const QImage page = HeaderFooterPage(1, s);
        const QRect header = DarkBox(page, QRect(0, 0, page.width(), int(2000 * s)));
        const QRect footer = DarkBox(page, QRect(0, int(4000 * s), page.width(), page.height()));
        ASSERT_FALSE(header.isNull());
        ASSERT_FALSE(footer.isNull());
        // Ink starts a little below the text's top (by ascent less cap height).
        EXPECT_GE(header.top(), 600 * s);
        EXPECT_LE(header.top(), 650 * s);
        EXPECT_GE(footer.top(), 6000 * s);
        EXPECT_LE(footer.top(), 6015 * s);
        for (const QRect& box : {header, footer}) {
            switch (c.alignment) {
            case TAlignment::taLeftJustify: EXPECT_NEAR(box.left(), 300 * s, 2); break;
            case TAlignment::taCenter: EXPECT_NEAR((box.left() + box.right() + 1) / 2.0, 2550 * s, 2); break;
            case TAlignment::taRightJustify: EXPECT_NEAR(box.right() + 1, 4500 * s, 2); break;
            }
        }
    }
}

TEST_F(EngineTest, FontsInPointsAreDevicePixelsOnThePage)
{
    // 72 pt at 600 dpi is 600 pixels; the capital H of Liberation Sans is
    // some 0.73 of that.
    TTextOptions& o = *Engine.TextOptions();
    o.SetHeader("H");
    o.SetHeaderFont(MakePrintFont("Arial", 72));
    o.SetHeaderAlign(TAlignment::taLeftJustify);
    o.SetPrintPageNumber(TPrintPageNumber::pnNone);
    Engine.BeginDoc();
    EXPECT_EQ(Engine.RecordingCanvas()->DeviceFont(o.HeaderFont().Font).pixelSize(), 600);
    Engine.PrintHeaderFooter(1);
    Engine.EndDoc();
    const QImage page = RenderRecordedPage(Engine, 0, 0.5);
    const QRect h = DarkBox(page);
    QFont font("Arial");
    font.setPixelSize(300);
    EXPECT_NEAR(h.height(), QFontMetricsF(font).capHeight(), 4);
    EXPECT_GT(h.height(), 200);
}

TEST_F(EngineTest, PageNumberPlacement)
{
    // Sheet 510 x 660 at a tenth; the header line's top at 30, the footer's at 636.
    TTextOptions& o = *Engine.TextOptions();
    o.SetPageNumFont(MakePrintFont("Arial", 24));
    o.SetPageNumAlign(TAlignment::taLeftJustify);
    struct Case {
        const char* name;
        TPrintPageNumber where;
        bool inHeader;
        bool inFooter;
    } cases[] = {
        {"bottom", TPrintPageNumber::pnBottom, false, true},
        {"top", TPrintPageNumber::pnTop, true, false},
        {"none", TPrintPageNumber::pnNone, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        o.SetPrintPageNumber(c.where);
        const QImage page = HeaderFooterPage(7);
        const QRect header = DarkBox(page, QRect(0, 0, 510, 100));
        const QRect footer = DarkBox(page, QRect(0, 600, 510, 60));
        EXPECT_EQ(!header.isNull(), c.inHeader);
        EXPECT_EQ(!footer.isNull(), c.inFooter);
        EXPECT_EQ(DarkBox(page).isNull(), !c.inHeader && !c.inFooter);
        const QRect number = c.inHeader ? header : footer;
        if (!number.isNull()) {
            EXPECT_NEAR(number.left(), 30, 2); // its own alignment, not the header's centre
            EXPECT_GE(number.top(), c.inHeader ? 30 : 636);
        }
    }
}

TEST_F(EngineTest, EmptyHeaderAndFooterDrawNothingButUseThePage)
{
    TTextOptions& o = *Engine.TextOptions();
    o.SetPrintPageNumber(TPrintPageNumber::pnNone);
    Engine.BeginDoc();
    Engine.PrintHeaderFooter(1);
    EXPECT_TRUE(Engine.PageUsed());
    Engine.EndDoc();
    ASSERT_EQ(Engine.PageCount(), 1);
    EXPECT_TRUE(DarkBox(RenderRecordedPage(Engine, 0, 0.1)).isNull());
}

TEST_F(EngineTest, TextOutAlignedGivesTheCanvasItsFontBack)
{
    Engine.BeginDoc();
    QPainter* canvas = Engine.Canvas();
    const QFont before = canvas->font();
    const QPen pen(QColor(10, 20, 30));
    canvas->setPen(pen);
    TPrintFont red = MakePrintFont("Times New Roman", 30, true);
    red.Color = 0x0000FF;
    Engine.TextOutAligned(100, TAlignment::taCenter, &red, "X");
    EXPECT_EQ(canvas->font(), before);
    EXPECT_EQ(canvas->pen().color(), pen.color());
    Engine.TextOutAligned(100, TAlignment::taCenter, nullptr, "Y"); // the canvas's own font
    EXPECT_EQ(canvas->font(), before);
    Engine.EndDoc();
    // The font's colour is the text's colour.
    const QImage page = RenderRecordedPage(Engine, 0, 0.25);
    bool redText = false;
    for (int y = 0; y < page.height() && !redText; ++y)
        for (int x = 0; x < page.width() && !redText; ++x)
            redText = page.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(redText);
}

TEST_F(EngineTest, MisuseRaisesInsteadOfCrashing)
{
    EXPECT_EQ(Engine.Canvas(), nullptr);
    EXPECT_THROW(Engine.TextOutAligned(0, TAlignment::taLeftJustify, nullptr, "x"), Exception);
    EXPECT_THROW(Engine.PrintHeaderFooter(1), Exception);
    Engine.BeginDoc();
    Engine.Canvas();
    Engine.EndDoc();
    EXPECT_THROW(Engine.GetPage(1), Exception);
    EXPECT_THROW(Engine.GetPage(-1), Exception);
    EXPECT_NO_THROW(Engine.GetPage(0));
    Engine.ClearPages();
    EXPECT_EQ(Engine.PageCount(), 0);
}

TEST(FormatPageNumber, Formats)
{
    struct Case {
        const char* format;
        int n;
        const char* text;
    } cases[] = {
        {"Page %d", 3, "Page 3"},
        {"%d", 12, "12"},
        {"%3d|", 4, "  4|"},
        {"%-3d|", 4, "4  |"},
        {"%.3d", 7, "007"},
        {"%i and %u", 5, "5 and %u"},
        {"Page %d of %d", 2, "Page 2 of %d"},
        {"%s %d", 9, "%s 9"},
        {"100%% %d", 1, "100% 1"},
        {"no number", 1, "no number"},
        {"trailing %", 1, "trailing %"},
        {"%99999999999d|", 1, "%99999999999d|"},
        {"", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatPageNumber(c.format, c.n), QString(c.text)) << c.format;
}

} // namespace
