// The check before printing, without windows: each kind of finding from a
// layout that has it, none from one that prints as laid out, and the
// arithmetic the findings rest on.
#include <gtest/gtest.h>

#include <map>

#include "print/printcheck.h"
#include "print/textfit.h"

using namespace tessaria;

namespace {

// Letter at 300 dpi with a sixth of an inch it cannot print at its edges, and
// the engine's default margins and bands: a layout area of 2250 x 2730 from
// (150, 300), shown as a page of 330 x 400.
TCheckSettings LetterSettings()
{
    TCheckSettings s;
    s.Device = {300, 300, 2550, 3300, 50, 50};
    s.Area = {2250, 2730, 150, 300};
    s.ScalePage = QSize(330, 400);
    s.Dpi = 200;
    return s;
}

TCheckBox Picture(const QRect& bounds, const QString& file, int rotation = 0)
{
    TCheckBox b;
    b.Bounds = bounds;
    b.FileName = file;
    b.Rotation = rotation;
    return b;
}

TCheckBox Text(const QRect& bounds, const QString& text, int points = 10)
{
    TCheckBox b;
    b.Bounds = bounds;
    b.TextBox = true;
    b.Text = text;
    b.Font = QFont("Arial");
    b.Font.setPointSize(points);
    return b;
}

class Probes {
public:
    Probes()
    {
        Known["/p/big.jpg"] = {TPictureProbe::TState::Readable, 4000, 3000, {}};
        Known["/p/small.jpg"] = {TPictureProbe::TState::Readable, 400, 300, {}};
        Known["/p/strip.jpg"] = {TPictureProbe::TState::Readable, 4000, 600, {}};
        Known["/p/broken.jpg"] = {TPictureProbe::TState::Unreadable, 0, 0, "JPEG error #42"};
    }
    std::function<TPictureProbe(const QString&)> Function()
    {
        return [this](const QString& file) {
            ++Calls[file];
            const auto it = Known.find(file);
            return it != Known.end() ? it->second : TPictureProbe{TPictureProbe::TState::Missing, 0, 0, {}};
        };
    }
    std::map<QString, TPictureProbe> Known;
    std::map<QString, int> Calls;
};

TEST(PrintCheck, EachKindOfFindingNamesItsPageAndBox)
{
    const QString longText = "A caption that says far too much for a box this small, on and on, line after line "
                             "after line, more than it could ever hold at ten points.";
    const struct {
        const char* Name;
        TCheckPage Page;
        TFindingKind Kind;
        int Box;
        QString Text;
    } cases[] = {
        {"missing", {{330, 400}, {Picture({10, 10, 200, 150}, "/p/gone.jpg")}}, TFindingKind::MissingPicture, 0,
         "Page 1, box 1: the picture file /p/gone.jpg is missing"},
        {"unreadable", {{330, 400}, {Text({0, 0, 100, 20}, "Hi"), Picture({10, 30, 200, 150}, "/p/broken.jpg")}},
         TFindingKind::UnreadablePicture, 1, "Page 1, box 2: the picture /p/broken.jpg cannot be read: JPEG error #42"},
        // 400 pixels across 200 page pixels (4.55 inches): 88 DPI.
        {"low resolution", {{330, 400}, {Picture({10, 10, 200, 150}, "/p/small.jpg")}}, TFindingKind::LowResolution, 0,
         "Page 1, box 1: small.jpg prints at 88 DPI, below 70 % of the chosen 200 DPI"},
        {"partly outside", {{330, 400}, {Picture({-20, 10, 100, 75}, "/p/big.jpg")}}, TFindingKind::OutsidePrintableArea,
         0, "Page 1, box 1: big.jpg lies partly outside the printable area"},
        {"wholly outside", {{330, 400}, {Picture({-400, 10, 100, 75}, "/p/big.jpg")}},
         TFindingKind::OutsidePrintableArea, 0, "Page 1, box 1: big.jpg lies outside the printable area"},
        {"text too long", {{330, 400}, {Text({10, 10, 60, 18}, longText)}}, TFindingKind::TextDoesNotFit, 0,
         "Page 1, box 1: the text \"A caption that says far too m\u2026\" does not fit its box at 10 pt"},
        {"page shape", {{300, 400}, {}}, TFindingKind::PageShape, -1,
         "Page 1: the page's shape differs from the printable area's by 10 %, so its pictures print distorted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Probes probes;
        const std::vector<TFinding> found = CheckLayout({c.Page}, LetterSettings(), probes.Function());
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].Kind, c.Kind);
        EXPECT_EQ(found[0].Page, 0);
        EXPECT_EQ(found[0].Box, c.Box);
        EXPECT_EQ(found[0].Text, c.Text);
    }
}

TEST(PrintCheck, ALayoutThatPrintsAsLaidOutHasNoFindingAndEachPictureIsReadOnce)
{
    Probes probes;
    const std::vector<TCheckPage> pages = {
        {{330, 400}, {Picture({0, 0, 200, 150}, "/p/big.jpg"), Text({0, 150, 200, 18}, "big.jpg")}},
        // Turned a quarter: the stored width runs down the page, so 600
        // pixels across 50 page pixels reach 528 DPI. Read unturned they
        // would reach only 132.
        {{330, 400}, {Picture({100, 100, 50, 200}, "/p/strip.jpg", 90), Text({250, 300, 80, 100}, "")}},
    };
    EXPECT_TRUE(CheckLayout(pages, LetterSettings(), probes.Function()).empty());
    EXPECT_EQ(probes.Calls["/p/big.jpg"], 1);
    EXPECT_EQ(probes.Calls["/p/strip.jpg"], 1);
    EXPECT_EQ(probes.Calls.size(), 2u);

    // The same strip unturned in an upright box does print too coarsely.
    const std::vector<TFinding> coarse =
        CheckLayout({{{330, 400}, {Picture({100, 100, 50, 200}, "/p/strip.jpg")}}}, LetterSettings(), probes.Function());
    ASSERT_EQ(coarse.size(), 1u);
    EXPECT_EQ(coarse[0].Kind, TFindingKind::LowResolution);
}

TEST(PrintCheck, FindingsComeInPageOrderEachPagesOwnFirst)
{
    Probes probes;
    const std::vector<TCheckPage> pages = {
        {{330, 400}, {Picture({0, 0, 200, 150}, "/p/big.jpg"), Picture({0, 200, 200, 150}, "/p/gone.jpg")}},
        {{300, 400}, {Picture({-30, 0, 200, 150}, "/p/small.jpg")}},
    };
    const std::vector<TFinding> found = CheckLayout(pages, LetterSettings(), probes.Function());
    ASSERT_EQ(found.size(), 4u);
    const std::pair<int, int> where[] = {{0, 1}, {1, -1}, {1, 0}, {1, 0}};
    const TFindingKind kinds[] = {TFindingKind::MissingPicture, TFindingKind::PageShape,
                                  TFindingKind::OutsidePrintableArea, TFindingKind::LowResolution};
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].Page, where[i].first) << i;
        EXPECT_EQ(found[i].Box, where[i].second) << i;
        EXPECT_EQ(found[i].Kind, kinds[i]) << i;
    }
    EXPECT_TRUE(found[2].Text.startsWith("Page 2, box 1: "));
}

TEST(PrintCheck, TheArithmeticOfResolutionPrintableAreaAndShape)
{
    const struct {
        int W, H, Rotation;
        QRect Target;
        int DpiX, DpiY;
        double Reached;
    } reach[] = {
        {600, 400, 0, {0, 0, 600, 400}, 200, 200, 200},
        {600, 400, 0, {0, 0, 600, 800}, 200, 200, 100}, // stretched: the lower direction
        {400, 600, 90, {0, 0, 600, 400}, 200, 200, 200},
        {400, 600, 270, {0, 0, 1200, 400}, 300, 200, 150}, // 600 across 4 inches
        {400, 600, 180, {0, 0, 400, 600}, 100, 100, 100},
        {400, 600, 0, {0, 0, 0, 600}, 100, 100, 0},
    };
    for (const auto& r : reach)
        EXPECT_DOUBLE_EQ(ReachedDpi(r.W, r.H, r.Rotation, r.Target, r.DpiX, r.DpiY), r.Reached)
            << r.W << "x" << r.H << " turned " << r.Rotation;

    EXPECT_EQ(PrintableRect({300, 300, 2550, 3300, 50, 75}), QRect(50, 75, 2450, 3150));
    EXPECT_EQ(PrintableRect({300, 300, 2550, 3300, 0, 0}), QRect(0, 0, 2550, 3300));

    const TPrintGeometry area{2250, 3000, 0, 0}; // 7.5 x 10 inches at 300 dpi
    EXPECT_DOUBLE_EQ(ShapeDistortion({300, 400}, area, 300, 300), 0);
    EXPECT_NEAR(ShapeDistortion({400, 300}, area, 300, 300), 0.4375, 1e-9); // turned: 0.75 / (4 / 3) - 1
    EXPECT_NEAR(ShapeDistortion({300, 400}, {2250, 6000, 0, 0}, 300, 600), 0, 1e-12); // unequal resolutions
    EXPECT_NEAR(ShapeDistortion({301, 400}, area, 300, 300), 1.0 / 301, 1e-9);
}

TEST(PrintCheck, TextFitsWhenItsWordsAndLinesFitTheBoxAtItsSize)
{
    QFont font("Arial");
    font.setPointSize(10);
    // 10 points at 300 dpi: 42 pixels high; a line and the 32nd of an inch
    // drop (9 pixels) need about 60 pixels.
    const int oneLine = PrintedTextHeight(font, "Hello", 1000, 300);
    EXPECT_GT(oneLine, 42);
    EXPECT_LT(oneLine, 80);
    EXPECT_GT(PrintedTextHeight(font, "Hello world, this wraps", 100, 300), 2 * (oneLine - 9));
    EXPECT_EQ(PrintedTextHeight(font, "  ", 100, 300), 0);

    const struct {
        const char* Text;
        QSize Box;
        bool Fits;
    } cases[] = {
        {"Hello", {1000, oneLine}, true},
        {"Hello", {1000, oneLine - 2}, false},
        {"Hello world, this wraps", {100, oneLine}, false},
        {"Extraordinarily", {60, 400}, false}, // a word wider than the box
        {"", {1, 1}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintedTextFits(font, c.Text, c.Box, 300), c.Fits) << c.Text << " in " << c.Box.width() << "x"
                                                                      << c.Box.height();
}

} // namespace

// The dialog moves off the box a finding shows, as little as it can and never
// off the screen; it stays put when it covers nothing or cannot help it.
TEST(PrintCheck, TheDialogMovesOffTheBoxItShows)
{
    const QRect screen(0, 0, 1600, 1000);
    const struct {
        const char* Name;
        QRect Frame, Target;
        QPoint Expected;
    } cases[] = {
        {"clear of the box", {500, 500, 200, 100}, {0, 0, 100, 100}, {500, 500}},
        {"over the box's corner: beside it", {50, 50, 200, 100}, {0, 0, 100, 100}, {108, 50}},
        {"box at the screen's right edge: to its left", {1300, 400, 300, 200}, {1400, 350, 150, 300}, {1092, 400}},
        {"box as wide as the screen: under it", {600, 100, 300, 200}, {0, 50, 1600, 300}, {600, 358}},
        {"box at the screen's bottom: above it", {600, 800, 300, 150}, {0, 700, 1600, 300}, {600, 542}},
        {"box fills the screen", {100, 100, 200, 100}, {0, 0, 1600, 1000}, {100, 100}},
        {"dialog larger than the screen", {0, 0, 1700, 1100}, {10, 10, 50, 50}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QPoint at = PlaceClearOf(c.Frame, c.Target, screen);
        EXPECT_EQ(at, c.Expected);
        if (at != c.Frame.topLeft()) {
            EXPECT_FALSE(QRect(at, c.Frame.size()).intersects(c.Target));
            EXPECT_TRUE(screen.contains(QRect(at, c.Frame.size())));
        }
    }
}
