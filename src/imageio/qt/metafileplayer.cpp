// The metafile player: the device context's state (mapping, objects, colours,
// modes, current position, path) kept here and turned into QPainter's pens,
// brushes and transforms as the commands come.
#include "imageio/qt/metafileplayer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imageio/qt/qimagebridge.h"

namespace tessaria {

namespace {

enum : int { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };
constexpr uint32_t StockObject = 0x80000000;
// Deeper nesting than real drawings use; beyond it saves are ignored so that
// a file of SaveDC records cannot pile up painter states.
constexpr size_t MaxSaveDepth = 256;
// Pixels that filling, text and bitmaps may cover in all, so that a file of
// many large shapes cannot keep us drawing for hours: a few dozen times the
// picture, at least two billion.
constexpr double MinPixelBudget = double(int64_t(1) << 31);
constexpr double PictureCovers = 16;

QColor Colour(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

struct TFontSpec {
    int Height = 0, Width = 0, Escapement = 0, Weight = 400, Flags = 0;
    QString Face;
};

struct TObject {
    enum class TKind { None, Pen, Brush, Font } Kind = TKind::None;
    QPen Pen;
    QBrush Brush;
    TFontSpec Font;
};

struct TState {
    int MapMode = MM_TEXT;
    QPointF WindowOrg{0, 0}, WindowExt{1, 1}, ViewportOrg{0, 0}, ViewportExt{1, 1};
    bool ViewportOrgSet = false, ViewportExtSet = false;
    QTransform World;
    QPen Pen{QColor(0, 0, 0), 0};
    QBrush Brush{QColor(255, 255, 255)};
    TFontSpec Font;
    QColor TextColour{0, 0, 0}, BkColour{255, 255, 255};
    int BkMode = 2; // opaque
    Qt::FillRule FillRule = Qt::OddEvenFill;
    int TextAlign = 0;
    uint32_t Rop2 = 13; // copy pen
    QPointF Position;
};

class TPlayer {
public:
    TPlayer(const TMetafileData& data, QPainter& painter, const QRectF& target)
        : Data_(data), P_(painter), Objects_(size_t(std::max(data.Objects, 0)))
    {
        const TMetafileFrame f = MetafileFrame(data);
        Frame_ = QRectF(f.Left, f.Top, f.Width, f.Height);
        Device_ = QTransform::fromTranslate(-f.Left, -f.Top) *
                  QTransform::fromScale(target.width() / f.Width, target.height() / f.Height) *
                  QTransform::fromTranslate(target.left(), target.top());
        if (data.Enhanced) {
            PerMm_ = QPointF(data.DeviceMmX > 0 && data.DevicePixelsX > 0 ? double(data.DevicePixelsX) / data.DeviceMmX : 96 / 25.4,
                             data.DeviceMmY > 0 && data.DevicePixelsY > 0 ? double(data.DevicePixelsY) / data.DeviceMmY : 96 / 25.4);
        } else {
            const double inch = data.Placeable && data.Inch ? data.Inch : 96;
            PerMm_ = QPointF(inch / 25.4, inch / 25.4);
        }
        Pen_();
        Target_ = Device_.mapRect(Frame_);
        Budget_ = std::max(MinPixelBudget, PictureCovers * Target_.width() * Target_.height());
    }

    void Run()
    {
        P_.save();
        P_.setRenderHint(QPainter::Antialiasing, false);
        P_.setClipRect(Target_);
        Apply();
        for (const TMetaCommand& c : Data_.Commands)
            Play(c);
        while (!Saved_.empty()) {
            Saved_.pop_back();
            P_.restore();
        }
        P_.restore();
    }

private:
    // Logical to device units for the mapping mode, window and viewport.
    QTransform Page() const
    {
        const TState& s = S_;
        double sx = 1, sy = 1;
        QPointF vpOrg = s.ViewportOrg;
        auto fixed = [&](double mmPerUnit) {
            sx = mmPerUnit * PerMm_.x();
            sy = -mmPerUnit * PerMm_.y();
        };
        switch (s.MapMode) {
        case MM_LOMETRIC: fixed(0.1); break;
        case MM_HIMETRIC: fixed(0.01); break;
        case MM_LOENGLISH: fixed(0.254); break;
        case MM_HIENGLISH: fixed(0.0254); break;
        case MM_TWIPS: fixed(25.4 / 1440); break;
        case MM_ISOTROPIC:
        case MM_ANISOTROPIC: {
            QPointF vpExt = s.ViewportExt;
            // A WMF that never sets a viewport is drawn with its window
            // filling the picture, which is how it is meant to be placed.
            if (!Data_.Enhanced && !s.ViewportOrgSet)
                vpOrg = Frame_.topLeft();
            if (!Data_.Enhanced && !s.ViewportExtSet)
                vpExt = QPointF(Frame_.width(), Frame_.height());
            if (s.WindowExt.x() == 0 || s.WindowExt.y() == 0) {
                sx = sy = 0;
                break;
            }
            sx = vpExt.x() / s.WindowExt.x();
            sy = vpExt.y() / s.WindowExt.y();
            if (s.MapMode == MM_ISOTROPIC) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
            break;
        }
        default: break;
        }
        return QTransform::fromTranslate(-s.WindowOrg.x(), -s.WindowOrg.y()) * QTransform::fromScale(sx, sy) *
               QTransform::fromTranslate(vpOrg.x(), vpOrg.y());
    }

    QTransform Full() const { return S_.World * Page() * Device_; }

    void Apply()
    {
        const QTransform t = Full();
        // A degenerate mapping draws nothing rather than everything at a point.
        Degenerate_ = !t.isInvertible() || !std::isfinite(t.m11() + t.m12() + t.m21() + t.m22() + t.dx() + t.dy());
        if (!Degenerate_)
            P_.setTransform(t);
    }

    void Pen_()
    {
        P_.setPen(S_.Pen);
        P_.setBrush(S_.Brush);
    }

    static QPointF Pt(const TMetaPoint& p) { return QPointF(p.X, p.Y); }
    static QRectF Box(const TMetaCommand& c) { return QRectF(QPointF(c.A[0], c.A[1]), QPointF(c.A[2], c.A[3])).normalized(); }

    // Charges the picture pixels that a rectangle in logical units covers;
    // false once the budget is spent.
    bool Charge(const QRectF& logical, double margin = 0)
    {
        const QRectF covered =
            P_.transform().mapRect(logical.adjusted(-margin, -margin, margin, margin)).adjusted(-1, -1, 1, 1) & Target_;
        Budget_ -= covered.width() * covered.height() + 1;
        return Budget_ > 0;
    }

    void Shape(const QPainterPath& shape, bool fill, bool stroke)
    {
        if (InPath_) {
            Path_.addPath(shape);
            return;
        }
        if (Degenerate_ || !Charge(shape.controlPointRect(), stroke ? S_.Pen.widthF() : 0))
            return;
        QPainterPath p = shape;
        p.setFillRule(S_.FillRule);
        if (fill && stroke)
            P_.drawPath(p);
        else if (fill)
            P_.fillPath(p, S_.Brush);
        else
            P_.strokePath(p, S_.Pen);
    }

    // The angle of a point on an ellipse's box, as arcs are measured.
    static double Angle(const QRectF& box, QPointF p)
    {
        const QPointF c = box.center();
        return std::atan2(-(p.y() - c.y()) * box.width(), (p.x() - c.x()) * box.height()) * 180 / std::numbers::pi;
    }

    void ArcShape(const TMetaCommand& c)
    {
        const QRectF box = Box(c);
        const double a0 = Angle(box, QPointF(c.A[4], c.A[5])), a1 = Angle(box, QPointF(c.A[6], c.A[7]));
        double sweep = a1 - a0;
        while (sweep <= 0)
            sweep += 360;
        QPainterPath p;
        if (c.Op == TMetaOp::Pie)
            p.moveTo(box.center());
        else
            p.arcMoveTo(box, a0);
        p.arcTo(box, a0, sweep);
        if (c.Op != TMetaOp::Arc)
            p.closeSubpath();
        Shape(p, c.Op != TMetaOp::Arc, true);
    }

    void Polys(const TMetaCommand& c, bool closed)
    {
        QPainterPath p;
        size_t i = 0;
        for (uint32_t n : c.Counts) {
            if (n > c.Points.size() - i)
                break;
            QPolygonF poly;
            for (uint32_t k = 0; k < n; ++k)
                poly << Pt(c.Points[i + k]);
            i += n;
            if (closed)
                p.addPolygon(poly), p.closeSubpath();
            else
                p.addPolygon(poly);
        }
        Shape(p, closed, true);
    }

    void Select(uint32_t index)
    {
        if (index & StockObject) {
            switch (index & 0x7FFFFFFF) {
            case 0: S_.Brush = QBrush(QColor(255, 255, 255)); break;
            case 1: S_.Brush = QBrush(QColor(192, 192, 192)); break;
            case 2: S_.Brush = QBrush(QColor(128, 128, 128)); break;
            case 3: S_.Brush = QBrush(QColor(64, 64, 64)); break;
            case 4: S_.Brush = QBrush(QColor(0, 0, 0)); break;
            case 5: S_.Brush = QBrush(Qt::NoBrush); break;
            case 6: S_.Pen = QPen(QColor(255, 255, 255), 0); break;
            case 7: S_.Pen = QPen(QColor(0, 0, 0), 0); break;
            case 8: S_.Pen = QPen(Qt::NoPen); break;
            case 10: case 11: case 12: case 13: case 14: case 16: case 17: S_.Font = TFontSpec(); break;
            default: break;
            }
            Pen_();
            return;
        }
        if (index >= Objects_.size())
            return;
        const TObject& o = Objects_[index];
        switch (o.Kind) {
        case TObject::TKind::Pen: S_.Pen = o.Pen; break;
        case TObject::TKind::Brush: S_.Brush = o.Brush; break;
        case TObject::TKind::Font: S_.Font = o.Font; break;
        case TObject::TKind::None: break;
        }
        Pen_();
    }

    TObject* Slot(int32_t index) { return index >= 0 && size_t(index) < Objects_.size() ? &Objects_[size_t(index)] : nullptr; }

    static QPen MakePen(const TMetaCommand& c)
    {
        const int style = c.A[1] & 0x0F;
        if (style == 5)
            return QPen(Qt::NoPen);
        // Non-geometric pens and width 0 are one device pixel wide.
        QPen pen(Colour(c.A[3]), c.A[4] && c.A[2] > 1 ? c.A[2] : 0);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        switch (style) {
        case 1: pen.setStyle(Qt::DashLine); break;
        case 2: pen.setStyle(Qt::DotLine); break;
        case 3: pen.setStyle(Qt::DashDotLine); break;
        case 4: pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
        return pen;
    }

    QBrush MakeBrush(const TMetaCommand& c) const
    {
        const QColor colour = Colour(c.A[2]);
        switch (c.A[1]) {
        case 0: return QBrush(colour);
        case 1: return QBrush(Qt::NoBrush);
        case 2: {
            static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(colour, c.A[3] >= 0 && c.A[3] < 6 ? hatches[c.A[3]] : Qt::SolidPattern);
        }
        default: return QBrush(colour, Qt::Dense4Pattern);
        }
    }

    void RestoreTo(int32_t level)
    {
        const int64_t depth = int64_t(Saved_.size());
        const int64_t pops = level < 0 ? -int64_t(level) : depth - level + 1;
        if (level == 0 || pops <= 0 || pops > depth)
            return;
        for (int64_t i = 0; i < pops; ++i) {
            S_ = Saved_.back();
            Saved_.pop_back();
            P_.restore();
        }
        Pen_();
        Apply();
    }

    void Text(const TMetaCommand& c)
    {
        if (!qGuiApp || Degenerate_ || InPath_)
            return;
        const QTransform t = Full();
        const bool useCp = (S_.TextAlign & 1) != 0;
        const QPointF ref = useCp ? S_.Position : QPointF(c.A[0], c.A[1]);
        const QRectF box = QRectF(QPointF(c.A[3], c.A[4]), QPointF(c.A[5], c.A[6])).normalized();
        if ((c.A[2] & 2) && Charge(box)) // opaque
            P_.fillRect(box, S_.BkColour);
        // Text is laid out in picture pixels, in the direction of the
        // logical x axis, so that flipped mapping modes do not mirror it.
        const QPointF origin = t.map(ref);
        const QLineF xAxis(t.map(QPointF(0, 0)), t.map(QPointF(1, 0)));
        const QLineF yAxis(t.map(QPointF(0, 0)), t.map(QPointF(0, 1)));
        const double xScale = xAxis.length(), yScale = yAxis.length();
        const TFontSpec& spec = S_.Font;
        double height = std::abs(spec.Height) * yScale;
        if (spec.Height == 0)
            height = 12 * std::max(yScale, 1e-9);
        QFont font(spec.Face.isEmpty() ? QStringLiteral("Sans Serif") : spec.Face);
        const double pixels = std::clamp(height, 1.0, 4096.0);
        font.setPixelSize(std::max(1, int(std::lround(pixels))));
        if (spec.Height > 0) { // a cell height: scale the em to fit
            const double cell = QFontMetricsF(font).height();
            if (cell > 0)
                font.setPixelSize(std::max(1, int(std::lround(pixels * pixels / cell))));
        }
        if (spec.Weight > 0)
            font.setWeight(QFont::Weight(std::clamp(spec.Weight, 100, 900)));
        font.setItalic(spec.Flags & 1);
        font.setUnderline(spec.Flags & 2);
        font.setStrikeOut(spec.Flags & 4);
        const QString text = QString::fromUtf16(c.Text.data(), qsizetype(c.Text.size()));
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(text);
        Budget_ -= std::min(width, Target_.width()) * std::min(metrics.height(), Target_.height()) + 1;
        if (Budget_ <= 0)
            return;
        double x = 0, y = 0;
        switch (S_.TextAlign & 6) {
        case 6: x = -width / 2; break;
        case 2: x = -width; break;
        default: break;
        }
        switch (S_.TextAlign & 24) {
        case 24: break;
        case 8: y = -metrics.descent(); break;
        default: y = metrics.ascent(); break;
        }
        P_.save();
        if (c.A[2] & 4)
            P_.setClipRect(box, Qt::IntersectClip);
        P_.setTransform(QTransform());
        P_.translate(origin);
        P_.rotate(-xAxis.angle() - spec.Escapement / 10.0);
        P_.setFont(font);
        if (S_.BkMode == 2)
            P_.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), S_.BkColour);
        P_.setPen(S_.TextColour);
        P_.drawText(QPointF(x, y), text);
        P_.restore();
        if (useCp && xScale > 0)
            S_.Position += QPointF(width / xScale, 0);
    }

    void Blit(const TMetaCommand& c)
    {
        if (Degenerate_ || InPath_)
            return;
        QRectF dest(c.A[0], c.A[1], c.A[2], c.A[3]);
        if (!c.Bitmap) {
            if (!Charge(dest.normalized()))
                return;
            if (c.Rop == 0x00000042)
                P_.fillRect(dest.normalized(), Qt::black);
            else if (c.Rop == 0x00FF0062)
                P_.fillRect(dest.normalized(), Qt::white);
            else if (c.Rop == 0x00F00021)
                P_.fillRect(dest.normalized(), S_.Brush);
            return;
        }
        const QImage image = ToQImage(*c.Bitmap);
        const QRectF source = QRectF(c.A[4], c.A[5], c.A[6], c.A[7]).normalized() & QRectF(image.rect());
        if (image.isNull() || source.isEmpty() || dest.width() == 0 || dest.height() == 0 ||
            !Charge(dest.normalized()))
            return;
        P_.save();
        switch (c.Rop) {
        case 0x008800C6: P_.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
        case 0x00EE0086: P_.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
        case 0x00660046: P_.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        default: break;
        }
        // A negative width or height mirrors the picture.
        P_.translate(dest.center());
        P_.scale(dest.width() < 0 ? -1 : 1, dest.height() < 0 ? -1 : 1);
        const double w = std::abs(dest.width()), h = std::abs(dest.height());
        P_.drawImage(QRectF(-w / 2, -h / 2, w, h), image, source);
        P_.restore();
    }

    void Play(const TMetaCommand& c)
    {
        switch (c.Op) {
        case TMetaOp::SetWindowOrg: S_.WindowOrg = QPointF(c.A[0], c.A[1]); Apply(); break;
        case TMetaOp::SetWindowExt: S_.WindowExt = QPointF(c.A[0], c.A[1]); Apply(); break;
        case TMetaOp::SetViewportOrg: S_.ViewportOrg = QPointF(c.A[0], c.A[1]); S_.ViewportOrgSet = true; Apply(); break;
        case TMetaOp::SetViewportExt: S_.ViewportExt = QPointF(c.A[0], c.A[1]); S_.ViewportExtSet = true; Apply(); break;
        case TMetaOp::SetMapMode: S_.MapMode = c.A[0]; Apply(); break;
        case TMetaOp::SaveDC:
            if (Saved_.size() < MaxSaveDepth) {
                Saved_.push_back(S_);
                P_.save();
            }
            break;
        case TMetaOp::RestoreDC: RestoreTo(c.A[0]); break;
        case TMetaOp::CreatePen:
            if (TObject* o = Slot(c.A[0]))
                *o = {TObject::TKind::Pen, MakePen(c), {}, {}};
            break;
        case TMetaOp::CreateBrush:
            if (TObject* o = Slot(c.A[0]))
                *o = {TObject::TKind::Brush, {}, MakeBrush(c), {}};
            break;
        case TMetaOp::CreateFont:
            if (TObject* o = Slot(c.A[0]))
                *o = {TObject::TKind::Font, {}, {}, {c.A[1], c.A[2], c.A[3], c.A[4], c.A[5],
                      QString::fromUtf16(c.Text.data(), qsizetype(c.Text.size()))}};
            break;
        case TMetaOp::CreateNull:
        case TMetaOp::DeleteObject:
            if (TObject* o = Slot(c.A[0]))
                *o = TObject();
            break;
        case TMetaOp::SelectObject: Select(uint32_t(c.A[0])); break;
        case TMetaOp::SetTextColor: S_.TextColour = Colour(c.A[0]); break;
        case TMetaOp::SetBkColor: S_.BkColour = Colour(c.A[0]); P_.setBackground(S_.BkColour); break;
        case TMetaOp::SetBkMode:
            S_.BkMode = c.A[0];
            P_.setBackgroundMode(c.A[0] == 2 ? Qt::OpaqueMode : Qt::TransparentMode);
            break;
        case TMetaOp::SetPolyFillMode: S_.FillRule = c.A[0] == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case TMetaOp::SetROP2: S_.Rop2 = uint32_t(c.A[0]); break;
        case TMetaOp::SetTextAlign: S_.TextAlign = c.A[0]; break;
        case TMetaOp::SetStretchBltMode: break;
        case TMetaOp::MoveTo:
            S_.Position = QPointF(c.A[0], c.A[1]);
            if (InPath_)
                Path_.moveTo(S_.Position);
            break;
        case TMetaOp::LineTo: {
            const QPointF to(c.A[0], c.A[1]);
            if (InPath_) {
                if (Path_.elementCount() == 0)
                    Path_.moveTo(S_.Position);
                Path_.lineTo(to);
            } else if (!Degenerate_ && Charge(QRectF(S_.Position, to).normalized(), S_.Pen.widthF())) {
                P_.drawLine(S_.Position, to);
            }
            S_.Position = to;
            break;
        }
        case TMetaOp::Rectangle: {
            QPainterPath p;
            p.addRect(Box(c));
            Shape(p, true, true);
            break;
        }
        case TMetaOp::Ellipse: {
            QPainterPath p;
            p.addEllipse(Box(c));
            Shape(p, true, true);
            break;
        }
        case TMetaOp::RoundRect: {
            QPainterPath p;
            p.addRoundedRect(Box(c), std::abs(c.A[4]) / 2.0, std::abs(c.A[5]) / 2.0);
            Shape(p, true, true);
            break;
        }
        case TMetaOp::Arc: case TMetaOp::Pie: case TMetaOp::Chord: ArcShape(c); break;
        case TMetaOp::Polygon: case TMetaOp::Polyline: case TMetaOp::PolyBezier: {
            if (c.Points.empty())
                break;
            QPainterPath p(Pt(c.Points[0]));
            if (c.Op == TMetaOp::PolyBezier) {
                for (size_t i = 1; i + 2 < c.Points.size(); i += 3)
                    p.cubicTo(Pt(c.Points[i]), Pt(c.Points[i + 1]), Pt(c.Points[i + 2]));
            } else {
                for (size_t i = 1; i < c.Points.size(); ++i)
                    p.lineTo(Pt(c.Points[i]));
            }
            if (c.Op == TMetaOp::Polygon)
                p.closeSubpath();
            Shape(p, c.Op == TMetaOp::Polygon, true);
            break;
        }
        case TMetaOp::PolylineTo: case TMetaOp::PolyBezierTo: {
            QPainterPath local(S_.Position);
            QPainterPath& p = InPath_ ? Path_ : local;
            if (InPath_ && p.elementCount() == 0)
                p.moveTo(S_.Position);
            if (c.Op == TMetaOp::PolyBezierTo) {
                size_t i = 0;
                for (; i + 2 < c.Points.size(); i += 3)
                    p.cubicTo(Pt(c.Points[i]), Pt(c.Points[i + 1]), Pt(c.Points[i + 2]));
                if (i)
                    S_.Position = Pt(c.Points[i - 1]);
            } else {
                for (const TMetaPoint& pt : c.Points)
                    p.lineTo(Pt(pt));
                if (!c.Points.empty())
                    S_.Position = Pt(c.Points.back());
            }
            if (!InPath_ && !Degenerate_ && Charge(local.controlPointRect(), S_.Pen.widthF()))
                P_.strokePath(local, S_.Pen);
            break;
        }
        case TMetaOp::PolyPolygon: Polys(c, true); break;
        case TMetaOp::PolyPolyline: Polys(c, false); break;
        case TMetaOp::Text: Text(c); break;
        case TMetaOp::StretchBitmap: Blit(c); break;
        case TMetaOp::IntersectClipRect:
            if (!Degenerate_)
                P_.setClipRect(Box(c), Qt::IntersectClip);
            break;
        case TMetaOp::SetWorldTransform:
            S_.World = QTransform(c.X[0], c.X[1], c.X[2], c.X[3], c.X[4], c.X[5]);
            Apply();
            break;
        case TMetaOp::ModifyWorldTransform: {
            const QTransform x(c.X[0], c.X[1], c.X[2], c.X[3], c.X[4], c.X[5]);
            switch (c.A[0]) {
            case 1: S_.World = QTransform(); break;
            case 2: S_.World = x * S_.World; break;
            case 3: S_.World = S_.World * x; break;
            case 4: S_.World = x; break;
            default: break;
            }
            Apply();
            break;
        }
        case TMetaOp::BeginPath: InPath_ = true; Path_ = QPainterPath(); break;
        case TMetaOp::EndPath: InPath_ = false; break;
        case TMetaOp::AbortPath: InPath_ = false; Path_ = QPainterPath(); break;
        case TMetaOp::CloseFigure: if (InPath_) Path_.closeSubpath(); break;
        case TMetaOp::FillPath: case TMetaOp::StrokePath: case TMetaOp::StrokeAndFillPath:
            if (!InPath_) {
                const QPainterPath path = Path_;
                Shape(path, c.Op != TMetaOp::StrokePath, c.Op != TMetaOp::FillPath);
                Path_ = QPainterPath();
            }
            break;
        }
    }

    const TMetafileData& Data_;
    QPainter& P_;
    std::vector<TObject> Objects_;
    TState S_;
    std::vector<TState> Saved_;
    QRectF Frame_;
    QTransform Device_;
    QPointF PerMm_;
    QRectF Target_;
    double Budget_ = 0;
    bool Degenerate_ = false;
    bool InPath_ = false;
    QPainterPath Path_;
};

} // namespace

void PlayMetafile(const TMetafileData& data, QPainter& painter, const QRectF& target)
{
    TPlayer(data, painter, target).Run();
}

} // namespace tessaria
