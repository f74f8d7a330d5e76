// The grid of "Arrange": cells, gaps, fitting and centring, caption bands,
// pages needed, presets, and the flow of several dropped files.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/arrangegrid.h"
#include "layout/pagegeometry.h"

using namespace tessaria;

namespace {

// The page surface of a sheet at 300 dpi with the engine's default margins
// (0.5 inch each side, a 0.5 inch header band and a 0.4 inch footer band).
TPageGeometry PageOf(double widthInches, double heightInches)
{
    TPrintableArea area;
    area.DpiX = area.DpiY = 300;
    area.Width = int(std::lround(widthInches * 300)) - 300;
    area.Height = int(std::lround(heightInches * 300)) - 570;
    return ComputePageGeometry(area);
}

// Checks that a picture of `aspect` fits `cell` exactly: inside it, as large
// as the cell allows along one side, its proportion kept to the pixel, and
// centred to the pixel.
void ExpectFitsExactly(const QRect& cell, const QRect& picture, double aspect)
{
    ASSERT_TRUE(cell.contains(picture)) << "cell " << cell.x() << "," << cell.y() << " " << cell.width() << "x"
                                        << cell.height();
    const bool fullWidth = picture.width() == cell.width();
    const bool fullHeight = picture.height() == cell.height();
    EXPECT_TRUE(fullWidth || fullHeight);
    if (fullWidth)
        EXPECT_LE(std::abs(picture.height() - cell.width() * aspect), 0.5);
    else
        EXPECT_LE(std::abs(picture.width() - cell.height() / aspect), 0.5);
    const int left = picture.left() - cell.left();
    const int right = cell.right() - picture.right();
    const int top = picture.top() - cell.top();
    const int bottom = cell.bottom() - picture.bottom();
    EXPECT_LE(std::abs(left - right), 1);
    EXPECT_LE(std::abs(top - bottom), 1);
}

TEST(ArrangeGrid, FourPhotosOfDifferentShapesFitTheirCellsOnLetterAndA4)
{
    const struct {
        const char* Sheet;
        TPageGeometry Page;
    } sheets[] = {{"Letter", PageOf(8.5, 11)}, {"A4", PageOf(210 / 25.4, 297 / 25.4)}};
    // Landscape 4:3, upright 3:4, square, a panorama: height / width.
    const double aspects[] = {3000.0 / 4000, 4000.0 / 3000, 1.0, 1000.0 / 3000};
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(sheet.Sheet);
        TGridLayout layout;
        layout.Page = QSize(sheet.Page.Width, sheet.Page.Height);
        layout.Grid = {2, 2};
        layout.Gap = MillimetresToPagePixels(5, sheet.Page.LayoutPPI);
        ASSERT_TRUE(GridHasRoom(layout));
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const QRect cell = GridCell(layout, i);
            ExpectFitsExactly(cell, PlaceInCell(cell, aspects[i], 0).Picture, aspects[i]);
        }
        // The cells share the page: at its edges, the same size to a pixel,
        // and the gap between neighbours to a pixel.
        const QRect a = GridCell(layout, 0), b = GridCell(layout, 1), c = GridCell(layout, 2), d = GridCell(layout, 3);
        EXPECT_EQ(a.topLeft(), QPoint(0, 0));
        EXPECT_EQ(d.right() + 1, layout.Page.width());
        EXPECT_EQ(d.bottom() + 1, layout.Page.height());
        EXPECT_LE(std::abs(a.width() - b.width()), 1);
        EXPECT_LE(std::abs(a.height() - c.height()), 1);
        EXPECT_LE(std::abs(b.left() - a.right() - 1 - layout.Gap), 1);
        EXPECT_LE(std::abs(c.top() - a.bottom() - 1 - layout.Gap), 1);
        EXPECT_EQ(b.top(), a.top());
        EXPECT_EQ(c.left(), a.left());
    }
}

TEST(ArrangeGrid, EveryCellOfEveryGridStaysOnItsPageWithoutOverlapping)
{
    for (int columns = 1; columns <= MaxGridSide; ++columns)
        for (int rows = 1; rows <= MaxGridSide; ++rows) {
            SCOPED_TRACE(std::to_string(columns) + "x" + std::to_string(rows));
            TGridLayout layout;
            layout.Page = QSize(330, 400);
            layout.Grid = {columns, rows};
            layout.Gap = 6.3;
            ASSERT_TRUE(GridHasRoom(layout));
            const QRect page(QPoint(0, 0), layout.Page);
            for (int i = 0; i < columns * rows; ++i) {
                const QRect cell = GridCell(layout, i);
                ASSERT_TRUE(page.contains(cell));
                if (i + 1 < columns * rows && (i + 1) % columns != 0) {
                    ASSERT_FALSE(cell.intersects(GridCell(layout, i + 1)));
                }
                if (i + columns < columns * rows) {
                    ASSERT_FALSE(cell.intersects(GridCell(layout, i + columns)));
                }
                const QRect picture = PlaceInCell(cell, 0.75, 0).Picture;
                ASSERT_TRUE(cell.contains(picture));
            }
        }
}

TEST(ArrangeGrid, FortyFilesInThreeByFourMakeFourPagesTheLastPartlyFilled)
{
    const TGridSize grid{3, 4};
    EXPECT_EQ(PagesNeeded(40, grid), 4);
    int perPage[4] = {};
    for (int i = 0; i < 40; ++i) {
        const TGridSlot slot = SlotOf(i, grid);
        ASSERT_LT(slot.Page, 4);
        EXPECT_EQ(slot.Cell, i % 12);
        ++perPage[slot.Page];
    }
    EXPECT_EQ(perPage[0], 12);
    EXPECT_EQ(perPage[1], 12);
    EXPECT_EQ(perPage[2], 12);
    EXPECT_EQ(perPage[3], 4);

    const struct {
        int Count;
        TGridSize Grid;
        int Pages;
    } cases[] = {{0, {2, 2}, 0}, {1, {2, 2}, 1}, {4, {2, 2}, 1}, {5, {2, 2}, 2}, {100, {4, 5}, 5},
                 {101, {4, 5}, 6}, {7, {1, 1}, 7}, {100, {10, 10}, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(PagesNeeded(c.Count, c.Grid), c.Pages) << c.Count << " in " << c.Grid.Columns << "x" << c.Grid.Rows;
}

TEST(ArrangeGrid, GridSizesAsTypedAndThePresets)
{
    const struct {
        const char* Text;
        int Columns, Rows; // 0: refused
    } cases[] = {{"4x5", 4, 5}, {"4X5", 4, 5}, {" 3 x 4 ", 3, 4}, {"10x10", 10, 10}, {"1x1", 1, 1},
                 {"0x3", 0, 0}, {"11x2", 0, 0}, {"2x11", 0, 0}, {"4x", 0, 0}, {"x5", 0, 0},
                 {"4*5", 0, 0}, {"", 0, 0}, {"-2x3", 0, 0}, {"4x5x6", 0, 0}};
    for (const auto& c : cases) {
        const std::optional<TGridSize> grid = ParseGridSize(c.Text);
        EXPECT_EQ(grid.has_value(), c.Columns > 0) << c.Text;
        if (grid && c.Columns > 0) {
            EXPECT_EQ(*grid, (TGridSize{c.Columns, c.Rows})) << c.Text;
        }
    }

    const struct {
        int PerPage;
        TGridSize Upright;
    } presets[] = {{1, {1, 1}}, {2, {1, 2}}, {4, {2, 2}}, {6, {2, 3}}, {9, {3, 3}}, {12, {3, 4}}, {16, {4, 4}}, {20, {4, 5}}};
    for (const auto& p : presets) {
        EXPECT_EQ(PresetGrid(p.PerPage, false), p.Upright) << p.PerPage;
        EXPECT_EQ(PresetGrid(p.PerPage, true), (TGridSize{p.Upright.Rows, p.Upright.Columns})) << p.PerPage;
        EXPECT_EQ(PresetGrid(p.PerPage, false)->PerPage(), p.PerPage);
    }
    EXPECT_FALSE(PresetGrid(3, false));
    EXPECT_FALSE(PresetGrid(0, false));
}

TEST(ArrangeGrid, GapsThatLeaveNoRoomAreRefused)
{
    const struct {
        QSize Page;
        TGridSize Grid;
        double Gap;
        int Caption;
        bool Room;
    } cases[] = {
        {{300, 400}, {2, 2}, 0, 0, true},
        {{300, 400}, {10, 10}, 29, 0, true},    // 300 - 9 x 29 = 39: cells of 3.9 pixels
        {{300, 400}, {10, 10}, 33.4, 0, false}, // 300 - 9 x 33.4 < 0
        {{300, 400}, {1, 1}, 500, 0, true},     // one cell: no gap at all
        {{300, 400}, {2, 2}, 0, 199, true},
        {{300, 400}, {2, 2}, 0, 200, false},    // the caption band takes the whole cell
        {{300, 400}, {2, 2}, -1, 0, false},
        {{0, 400}, {2, 2}, 0, 0, false},
    };
    for (const auto& c : cases) {
        TGridLayout layout{c.Page, c.Grid, c.Gap, c.Caption};
        EXPECT_EQ(GridHasRoom(layout), c.Room) << c.Grid.Columns << "x" << c.Grid.Rows << " gap " << c.Gap;
    }
    EXPECT_DOUBLE_EQ(MillimetresToPagePixels(25.4, 40), 40);
    EXPECT_DOUBLE_EQ(InchesToPagePixels(0.25, 44), 11);
}

TEST(ArrangeGrid, ACaptionSitsUnderItsPictureAsWideAsItAndBothAreCentred)
{
    const QRect cell(10, 20, 100, 120);
    const struct {
        double Aspect;
        int Band;
        QRect Picture;
    } cases[] = {
        // Wide: the whole width, centred with its caption in the height.
        {0.5, 20, QRect(10, 45, 100, 50)},
        // Tall: the height less the band, centred across.
        {2.0, 20, QRect(35, 20, 50, 100)},
        // No proportion known: the whole area above the band.
        {0, 20, QRect(10, 20, 100, 100)},
        // No band: the whole cell height is the picture's.
        {2.0, 0, QRect(30, 20, 60, 120)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Aspect);
        const TCellPlacement p = PlaceInCell(cell, c.Aspect, c.Band);
        EXPECT_EQ(p.Picture, c.Picture);
        if (c.Band == 0) {
            EXPECT_TRUE(p.Caption.isEmpty());
            continue;
        }
        EXPECT_EQ(p.Caption, QRect(p.Picture.left(), p.Picture.bottom() + 1, p.Picture.width(), c.Band));
        EXPECT_TRUE(cell.contains(p.Caption));
    }
}

TEST(ArrangeGrid, TheCaptionBandGrowsUntilEveryCaptionFitsOrHalfTheCellIsTaken)
{
    TGridLayout layout;
    layout.Page = QSize(300, 400);
    layout.Grid = {2, 2};
    layout.Gap = 6;
    const std::vector<double> aspects = {0.75, 1.5, 1.0};
    const QRect cell = GridCell(layout, 0);
    // A caption of n characters of 4 pixels wraps into lines of 8 pixels.
    auto lines = [](int characters, int width) { return (characters * 4 + width - 1) / std::max(1, width); };
    const struct {
        std::vector<int> Characters;
        bool Capped;
    } cases[] = {{{10, 10, 10}, false}, {{10, 60, 30}, false}, {{2000, 5, 5}, true}};
    for (const auto& c : cases) {
        auto needed = [&](size_t i, int width) { return 8 * lines(c.Characters[i], width); };
        const int band = CaptionBandHeight(layout, aspects, needed);
        SCOPED_TRACE(band);
        if (c.Capped) {
            EXPECT_EQ(band, cell.height() / 2);
            continue;
        }
        for (size_t i = 0; i < aspects.size(); ++i)
            EXPECT_LE(needed(i, PlaceInCell(cell, aspects[i], band).Picture.width()), band) << i;
    }
    EXPECT_EQ(CaptionBandHeight(layout, {}, [](size_t, int) { return 10; }), 0);
}

TEST(ArrangeGrid, DroppedFilesFlowFromTheDropPointIntoRowsAndPages)
{
    const QSize page(300, 400);
    const struct {
        const char* Name;
        QPoint Start;
        std::vector<QSize> Sizes;
        std::vector<TFlowPlace> Places;
    } cases[] = {
        {"one row", {10, 10}, {{80, 60}, {80, 60}, {80, 60}},
         {{0, {10, 10}}, {0, {95, 10}}, {0, {180, 10}}}},
        {"the next row starts under the highest box, at the drop point's x", {50, 20}, {{100, 50}, {100, 70}, {100, 40}},
         {{0, {50, 20}}, {0, {155, 20}}, {0, {50, 95}}}},
        {"a row past the bottom starts a page at its corner", {0, 300}, {{145, 80}, {145, 80}, {145, 80}},
         {{0, {0, 300}}, {0, {150, 300}}, {1, {0, 0}}}},
        {"a box too big for the page still goes first", {0, 0}, {{500, 500}, {50, 50}},
         {{0, {0, 0}}, {1, {0, 0}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FlowPlaces(c.Start, c.Sizes, page, 5), c.Places);
    }
}

} // namespace
