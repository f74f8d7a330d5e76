#include "layout/arrangegrid.h"

#include <QRegularExpression>
#include <algorithm>

#include "base/rounding.h"

namespace tessaria {

std::optional<TGridSize> PresetGrid(int perPage, bool landscapePage)
{
    for (const TGridPreset& preset : GridPresets)
        if (preset.PerPage == perPage)
            return landscapePage ? TGridSize{preset.Upright.Rows, preset.Upright.Columns} : preset.Upright;
    return std::nullopt;
}

std::optional<TGridSize> ParseGridSize(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2})\\s*[xX]\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const TGridSize grid{match.captured(1).toInt(), match.captured(2).toInt()};
    if (grid.Columns < 1 || grid.Columns > MaxGridSide || grid.Rows < 1 || grid.Rows > MaxGridSide)
        return std::nullopt;
    return grid;
}

int PagesNeeded(int count, const TGridSize& grid)
{
    if (count <= 0 || grid.PerPage() <= 0)
        return 0;
    return (count + grid.PerPage() - 1) / grid.PerPage();
}

TGridSlot SlotOf(int index, const TGridSize& grid)
{
    const int perPage = std::max(1, grid.PerPage());
    return {index / perPage, index % perPage};
}

double MillimetresToPagePixels(double millimetres, int layoutPPI) { return millimetres / 25.4 * layoutPPI; }

double InchesToPagePixels(double inches, int layoutPPI) { return inches * layoutPPI; }

namespace {

// The cells' common size along one side of the page.
double CellExtent(int page, int count, double gap) { return (page - (count - 1) * gap) / count; }

// Start and end (exclusive) of cell i along one side.
std::pair<int, int> CellSpan(int page, int count, double gap, int i)
{
    const double extent = CellExtent(page, count, gap);
    const double start = i * (extent + gap);
    const int first = int(Round(start));
    // The last cell ends at the page's edge whatever the rounding did before it.
    const int end = i == count - 1 ? page : int(Round(start + extent));
    return {first, end};
}

} // namespace

bool GridHasRoom(const TGridLayout& layout)
{
    const TGridSize& g = layout.Grid;
    if (g.Columns < 1 || g.Rows < 1 || layout.Page.width() <= 0 || layout.Page.height() <= 0 || layout.Gap < 0 ||
        layout.CaptionHeight < 0)
        return false;
    for (int c = 0; c < g.Columns; ++c) {
        const auto [first, end] = CellSpan(layout.Page.width(), g.Columns, layout.Gap, c);
        if (end - first < 1)
            return false;
    }
    for (int r = 0; r < g.Rows; ++r) {
        const auto [first, end] = CellSpan(layout.Page.height(), g.Rows, layout.Gap, r);
        if (end - first - layout.CaptionHeight < 1)
            return false;
    }
    return true;
}

QRect GridCell(const TGridLayout& layout, int cell)
{
    const TGridSize& g = layout.Grid;
    const int column = cell % std::max(1, g.Columns);
    const int row = cell / std::max(1, g.Columns);
    const auto [left, right] = CellSpan(layout.Page.width(), g.Columns, layout.Gap, column);
    const auto [top, bottom] = CellSpan(layout.Page.height(), g.Rows, layout.Gap, row);
    return QRect(left, top, right - left, bottom - top);
}

TCellPlacement PlaceInCell(const QRect& cell, double aspect, int captionHeight)
{
    const int band = std::clamp(captionHeight, 0, std::max(0, cell.height() - 1));
    const int areaWidth = std::max(1, cell.width());
    const int areaHeight = std::max(1, cell.height() - band);
    int width = areaWidth;
    int height = areaHeight;
    // The rule of FitSize, with the proportion given as a number.
    if (aspect > 0) {
        if (aspect - double(areaHeight) / areaWidth >= 0)
            width = std::clamp(int(Round(areaHeight / aspect)), 1, areaWidth);
        else
            height = std::clamp(int(Round(areaWidth * aspect)), 1, areaHeight);
    }
    TCellPlacement p;
    const int left = cell.left() + (cell.width() - width) / 2;
    const int top = cell.top() + (cell.height() - (height + band)) / 2;
    p.Picture = QRect(left, top, width, height);
    if (band > 0)
        p.Caption = QRect(left, top + height, width, band);
    return p;
}

int CaptionBandHeight(const TGridLayout& layout, const std::vector<double>& aspects,
                      const std::function<int(size_t, int)>& needed)
{
    if (aspects.empty())
        return 0;
    // Every cell of a page has the same size give or take a pixel; the
    // smallest one stands for all.
    QRect smallest = GridCell(layout, 0);
    for (int c = 1; c < layout.Grid.PerPage(); ++c) {
        const QRect cell = GridCell(layout, c);
        if (cell.width() * cell.height() < smallest.width() * smallest.height())
            smallest = cell;
    }
    const int limit = std::max(1, smallest.height() / 2);
    int band = 0;
    for (int round = 0; round < 8; ++round) {
        int highest = 0;
        for (size_t i = 0; i < aspects.size(); ++i) {
            const TCellPlacement p = PlaceInCell(smallest, aspects[i], band);
            highest = std::max(highest, needed(i, p.Picture.width()));
        }
        highest = std::min(highest, limit);
        if (highest <= band)
            break;
        band = highest;
    }
    return band;
}

std::vector<TFlowPlace> FlowPlaces(const QPoint& start, const std::vector<QSize>& sizes, const QSize& page, int gap)
{
    std::vector<TFlowPlace> places;
    int pageIndex = 0;
    int rowStart = start.x();
    int x = start.x();
    int y = start.y();
    int rowHeight = 0;
    bool firstOnPage = true;
    for (const QSize& size : sizes) {
        if (rowHeight > 0 && x + size.width() > page.width()) {
            x = rowStart;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        if (!firstOnPage && y + size.height() > page.height()) {
            ++pageIndex;
            rowStart = x = 0;
            y = 0;
            rowHeight = 0;
        }
        places.push_back({pageIndex, QPoint(x, y)});
        firstOnPage = false;
        x += size.width() + gap;
        rowHeight = std::max(rowHeight, size.height());
    }
    return places;
}

} // namespace tessaria
