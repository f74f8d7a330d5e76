#include "print/printcheck.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "print/textfit.h"

namespace tessaria {

namespace {

QString NamePart(const QString& path)
{
    const qsizetype cut = std::max({path.lastIndexOf('/'), path.lastIndexOf('\\'), path.lastIndexOf(':')});
    return path.mid(cut + 1);
}

QString Where(int page, int box)
{
    return box < 0 ? QStringLiteral("Page %1").arg(page + 1) : QStringLiteral("Page %1, box %2").arg(page + 1).arg(box + 1);
}

// What a box is called in a finding: its picture's name or the start of its text.
QString BoxName(const TCheckBox& box)
{
    if (!box.TextBox)
        return NamePart(box.FileName);
    QString text = box.Text.simplified();
    if (text.size() > 30)
        text = text.left(29) + QChar(0x2026);
    return QStringLiteral("the text \"%1\"").arg(text);
}

QRect ToQRect(const TSheetRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

QString PointSize(const QFont& font)
{
    const double points = font.pointSizeF();
    return points > 0 ? QString::number(points, 'g', 4) + QStringLiteral(" pt") : QStringLiteral("its size");
}

} // namespace

double ReachedDpi(int pictureWidth, int pictureHeight, int rotation, const QRect& target, int dpiX, int dpiY)
{
    if (target.width() <= 0 || target.height() <= 0 || dpiX <= 0 || dpiY <= 0)
        return 0;
    const bool turned = rotation == 90 || rotation == 270;
    const int across = turned ? pictureHeight : pictureWidth;
    const int down = turned ? pictureWidth : pictureHeight;
    const double inchesAcross = double(target.width()) / dpiX;
    const double inchesDown = double(target.height()) / dpiY;
    return std::min(across / inchesAcross, down / inchesDown);
}

QRect PrintableRect(const TDeviceValues& d)
{
    return QRect(d.PhysicalOffsetX, d.PhysicalOffsetY, d.PhysicalWidth - 2 * d.PhysicalOffsetX,
                 d.PhysicalHeight - 2 * d.PhysicalOffsetY);
}

double ShapeDistortion(const QSize& page, const TPrintGeometry& area, int dpiX, int dpiY)
{
    if (page.width() <= 0 || page.height() <= 0 || area.Width <= 0 || area.Height <= 0 || dpiX <= 0 || dpiY <= 0)
        return 0;
    // Inches on paper per page pixel, across and down.
    const double across = double(area.Width) / dpiX / page.width();
    const double down = double(area.Height) / dpiY / page.height();
    return std::abs(across / down - 1);
}

std::vector<TFinding> CheckLayout(const std::vector<TCheckPage>& pages, const TCheckSettings& s,
                                  const std::function<TPictureProbe(const QString&)>& probe)
{
    std::vector<TFinding> findings;
    const TDeviceValues& d = s.Device;
    const QRect printable = PrintableRect(d);
    const double sx = s.ScalePage.width() > 0 ? double(s.Area.Width) / s.ScalePage.width() : 0;
    const double sy = s.ScalePage.height() > 0 ? double(s.Area.Height) / s.ScalePage.height() : 0;
    auto add = [&](TFindingKind kind, int page, int box, const QString& text) {
        findings.push_back({kind, page, box, Where(page, box) + QStringLiteral(": ") + text});
    };

    for (size_t p = 0; p < pages.size(); ++p) {
        const int page = int(p);
        const double distortion = ShapeDistortion(pages[p].Size, s.Area, d.PixelsPerInchX, d.PixelsPerInchY);
        if (distortion > PageShapeTolerance)
            add(TFindingKind::PageShape, page, -1,
                QStringLiteral("the page's shape differs from the printable area's by %1 %, so its pictures print "
                               "distorted")
                    .arg(std::max<int64_t>(1, Round(distortion * 100))));

        for (size_t b = 0; b < pages[p].Boxes.size(); ++b) {
            const TCheckBox& box = pages[p].Boxes[b];
            const int n = int(b);
            const QRect target = ToQRect(TargetRect(s.Area, sx, sy, box.Bounds.x(), box.Bounds.y(),
                                                    box.Bounds.width(), box.Bounds.height()));
            if (!target.isEmpty() && !printable.contains(target))
                add(TFindingKind::OutsidePrintableArea, page, n,
                    BoxName(box) + (printable.intersects(target) ? QStringLiteral(" lies partly outside the printable area")
                                                                 : QStringLiteral(" lies outside the printable area")));
            if (box.TextBox) {
                if (!PrintedTextFits(box.Font, box.Text, target.size(), d.PixelsPerInchY))
                    add(TFindingKind::TextDoesNotFit, page, n,
                        BoxName(box) + QStringLiteral(" does not fit its box at ") + PointSize(box.Font));
                continue;
            }
            if (box.FileName.isEmpty())
                continue;
            const TPictureProbe picture = probe(box.FileName);
            switch (picture.State) {
            case TPictureProbe::TState::Missing:
                add(TFindingKind::MissingPicture, page, n,
                    QStringLiteral("the picture file %1 is missing").arg(box.FileName));
                continue;
            case TPictureProbe::TState::Unreadable:
                add(TFindingKind::UnreadablePicture, page, n,
                    QStringLiteral("the picture %1 cannot be read: %2").arg(box.FileName, picture.Message));
                continue;
            case TPictureProbe::TState::Readable: break;
            }
            const double reached =
                ReachedDpi(picture.Width, picture.Height, box.Rotation, target, d.PixelsPerInchX, d.PixelsPerInchY);
            if (!target.isEmpty() && reached < LowResolutionShare * s.Dpi)
                add(TFindingKind::LowResolution, page, n,
                    QStringLiteral("%1 prints at %2 DPI, below 70 % of the chosen %3 DPI")
                        .arg(BoxName(box))
                        .arg(Round(reached))
                        .arg(s.Dpi));
        }
    }
    return findings;
}

QPoint PlaceClearOf(const QRect& frame, const QRect& target, const QRect& screen)
{
    if (!frame.intersects(target) || frame.width() > screen.width() || frame.height() > screen.height())
        return frame.topLeft();
    constexpr int Spacing = 8;
    const int minX = screen.left(), maxX = screen.right() - frame.width() + 1;
    const int minY = screen.top(), maxY = screen.bottom() - frame.height() + 1;
    const QPoint candidates[] = {
        {target.right() + 1 + Spacing, frame.top()},
        {target.left() - Spacing - frame.width(), frame.top()},
        {frame.left(), target.bottom() + 1 + Spacing},
        {frame.left(), target.top() - Spacing - frame.height()},
    };
    QPoint best = frame.topLeft();
    int bestDistance = -1;
    for (const QPoint& c : candidates) {
        const QPoint at(std::clamp(c.x(), minX, maxX), std::clamp(c.y(), minY, maxY));
        if (QRect(at, frame.size()).intersects(target))
            continue;
        const int distance = (at - frame.topLeft()).manhattanLength();
        if (bestDistance < 0 || distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace tessaria
