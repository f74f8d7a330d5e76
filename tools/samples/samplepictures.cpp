#include "samplepictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "samplelayout.h"

namespace tessaria {

namespace {

// The same pictures on every machine: a hash instead of a library's random
// numbers, whose sequences may differ between versions.
double Noise(uint32_t a, uint32_t b = 0, uint32_t c = 0)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0x1000000); // 0 <= n < 1
}

// A ridge line across the width: a few sines of the given heights.
QPainterPath Ridge(double width, double height, double base, double amplitude, uint32_t seed)
{
    QPainterPath path;
    path.moveTo(0, height);
    for (int x = 0; x <= int(width); x += 4) {
        double y = base;
        for (int k = 1; k <= 3; ++k)
            y += amplitude / k * std::sin(x / width * M_PI * (k * 2 + Noise(seed, k)) + Noise(seed, k, 1) * 6.28);
        path.lineTo(x, y);
    }
    path.lineTo(width, height);
    path.closeSubpath();
    return path;
}

QImage NewPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage Harbour()
{
    const double W = 1500, H = 1000, horizon = 0.62 * H;
    QImage image = NewPicture(int(W), int(H));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(27, 42, 90));
    sky.setColorAt(0.55, QColor(170, 82, 100));
    sky.setColorAt(1, QColor(246, 170, 90));
    p.fillRect(QRectF(0, 0, W, horizon), sky);

    const QPointF sun(0.68 * W, horizon - 120);
    QRadialGradient glow(sun, 260);
    glow.setColorAt(0, QColor(255, 230, 160, 200));
    glow.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(QRectF(0, 0, W, horizon), glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 180));
    p.drawEllipse(sun, 55, 55);

    p.setBrush(QColor(96, 70, 110));
    p.drawPath(Ridge(W, horizon + 1, horizon - 70, 30, 1));
    p.setBrush(QColor(60, 48, 84));
    p.drawPath(Ridge(W, horizon + 1, horizon - 25, 22, 2));

    QLinearGradient sea(0, horizon, 0, H);
    sea.setColorAt(0, QColor(214, 130, 100));
    sea.setColorAt(0.35, QColor(80, 80, 120));
    sea.setColorAt(1, QColor(28, 40, 70));
    p.fillRect(QRectF(0, horizon, W, H - horizon), sea);
    // The sun's path on the water: short strokes that widen towards us.
    for (int i = 0; i < 140; ++i) {
        const double t = Noise(i, 3);
        const double y = horizon + 4 + t * t * (H - horizon - 10);
        const double spread = 20 + t * 160;
        const double x = sun.x() + (Noise(i, 4) - 0.5) * 2 * spread;
        const double length = 10 + t * 90 * Noise(i, 5);
        p.setBrush(QColor(255, 220, 150, int(220 * (1 - t * 0.7))));
        p.drawRoundedRect(QRectF(x - length / 2, y, length, 2 + t * 5), 2, 2);
    }

    // The quay in front, with mooring posts, and two boats.
    p.setBrush(QColor(30, 26, 36));
    QPainterPath quay;
    quay.moveTo(0, H * 0.82);
    quay.lineTo(W * 0.42, H * 0.86);
    quay.lineTo(W * 0.45, H);
    quay.lineTo(0, H);
    quay.closeSubpath();
    p.drawPath(quay);
    for (int i = 0; i < 4; ++i) {
        const double x = 60 + i * 150, y = H * 0.82 + i * 9;
        p.drawRoundedRect(QRectF(x, y - 46, 22, 50), 6, 6);
    }
    auto boat = [&](double x, double y, double s) {
        QPainterPath hull;
        hull.moveTo(x - 60 * s, y);
        hull.lineTo(x + 60 * s, y);
        hull.lineTo(x + 42 * s, y + 16 * s);
        hull.lineTo(x - 48 * s, y + 16 * s);
        hull.closeSubpath();
        p.drawPath(hull);
        QPainterPath sail;
        sail.moveTo(x - 4 * s, y - 4 * s);
        sail.lineTo(x - 4 * s, y - 110 * s);
        sail.lineTo(x + 46 * s, y - 8 * s);
        sail.closeSubpath();
        p.drawPath(sail);
        QPainterPath jib;
        jib.moveTo(x - 10 * s, y - 8 * s);
        jib.lineTo(x - 10 * s, y - 96 * s);
        jib.lineTo(x - 50 * s, y - 8 * s);
        jib.closeSubpath();
        p.drawPath(jib);
    };
    p.setBrush(QColor(40, 34, 52));
    boat(W * 0.36, horizon + 70, 0.8);
    boat(W * 0.86, horizon + 120, 1.1);
    return image;
}

QImage Meadow()
{
    const double W = 1200, H = 900;
    QImage image = NewPicture(int(W), int(H));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, H * 0.6);
    sky.setColorAt(0, QColor(70, 150, 240));
    sky.setColorAt(1, QColor(205, 230, 255));
    p.fillRect(image.rect(), sky);

    p.setPen(Qt::NoPen);
    auto cloud = [&](double x, double y, double s, uint32_t seed) {
        for (int i = 0; i < 9; ++i) {
            const double dx = (Noise(seed, i) - 0.5) * 220 * s, dy = (Noise(seed, i, 1) - 0.5) * 50 * s;
            const double r = (40 + Noise(seed, i, 2) * 40) * s;
            p.setBrush(QColor(225, 232, 242));
            p.drawEllipse(QPointF(x + dx, y + dy + 8 * s), r, r * 0.8);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(x + dx, y + dy), r, r * 0.8);
        }
    };
    cloud(260, 150, 1.0, 11);
    cloud(840, 110, 0.8, 12);
    cloud(1050, 260, 0.5, 13);

    const QColor greens[] = {QColor(140, 190, 110), QColor(100, 170, 80), QColor(70, 145, 60)};
    const double bases[] = {H * 0.55, H * 0.66, H * 0.8};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(greens[i]);
        p.drawPath(Ridge(W, H, bases[i], 30 - i * 6, 20 + i));
    }
    // Flowers on the front hill, larger as they come nearer.
    const QColor colours[] = {QColor(225, 45, 45), QColor(250, 215, 50), QColor(255, 255, 255), QColor(160, 90, 200)};
    for (int i = 0; i < 900; ++i) {
        const double t = Noise(i, 30);
        const double y = H * 0.8 + 30 + t * (H * 0.2 - 20);
        const double x = Noise(i, 31) * W;
        const double r = 2 + t * 9;
        p.setBrush(colours[int(Noise(i, 32) * 4) & 3]);
        p.drawEllipse(QPointF(x, y), r, r);
        p.setBrush(QColor(250, 200, 40));
        p.drawEllipse(QPointF(x, y), r * 0.35, r * 0.35);
    }
    return image;
}

QImage Mosaic()
{
    const int size = 1000, step = 25, n = size / step;
    QImage image = NewPicture(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(226, 218, 200)); // the grout

    auto corner = [&](int i, int j) {
        const bool edge = i == 0 || j == 0 || i == n || j == n;
        const double jitter = edge ? 0 : 7;
        return QPointF(i * step + (Noise(i, j, 40) - 0.5) * jitter, j * step + (Noise(i, j, 41) - 0.5) * jitter);
    };
    // The motif: a sun of rings on a sea of waves.
    auto colourAt = [&](QPointF c, int i, int j) {
        const double dx = c.x() - size / 2.0, dy = c.y() - size * 0.42;
        const double r = std::hypot(dx, dy);
        QColor colour;
        if (r < 120)
            colour = QColor(250, 200, 40);
        else if (r < 170)
            colour = QColor(240, 140, 30);
        else if (r < 200)
            colour = QColor(200, 60, 40);
        else if (c.y() > size * 0.7 + 25 * std::sin(c.x() / 70.0))
            colour = (int(c.y() / 50 + std::sin(c.x() / 90.0) * 1.5) % 2) ? QColor(30, 90, 150) : QColor(50, 130, 180);
        else
            colour = QColor(110, 180, 215);
        const double shade = 0.88 + Noise(i, j, 42) * 0.24;
        return QColor::fromRgbF(std::min(1.0, colour.redF() * shade), std::min(1.0, colour.greenF() * shade),
                                std::min(1.0, colour.blueF() * shade));
    };
    p.setPen(Qt::NoPen);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            QPointF q[4] = {corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)};
            const QPointF centre = (q[0] + q[1] + q[2] + q[3]) / 4;
            for (QPointF& v : q)
                v = centre + (v - centre) * 0.86; // leaves the grout between tiles
            p.setBrush(colourAt(centre, i, j));
            p.drawPolygon(q, 4);
        }
    return image;
}

QImage LighthouseUpright()
{
    const double W = 1000, H = 1500, horizon = H * 0.68;
    QImage image = NewPicture(int(W), int(H));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(60, 130, 220));
    sky.setColorAt(1, QColor(190, 220, 245));
    p.fillRect(QRectF(0, 0, W, horizon), sky);
    QLinearGradient sea(0, horizon, 0, H);
    sea.setColorAt(0, QColor(60, 120, 170));
    sea.setColorAt(1, QColor(20, 60, 100));
    p.fillRect(QRectF(0, horizon, W, H - horizon), sea);
    p.setPen(QPen(QColor(255, 255, 255, 120), 3));
    for (int i = 0; i < 60; ++i) {
        const double y = horizon + 20 + Noise(i, 50) * (H - horizon - 40);
        const double x = Noise(i, 51) * W;
        p.drawLine(QPointF(x, y), QPointF(x + 20 + Noise(i, 52) * 50, y));
    }

    // Rocks under the tower.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 80, 70));
    QPainterPath rocks;
    rocks.moveTo(W * 0.12, H);
    rocks.lineTo(W * 0.2, H * 0.84);
    rocks.lineTo(W * 0.35, H * 0.79);
    rocks.lineTo(W * 0.62, H * 0.8);
    rocks.lineTo(W * 0.78, H * 0.87);
    rocks.lineTo(W * 0.9, H);
    rocks.closeSubpath();
    p.drawPath(rocks);

    // The tower: tapering, white with red bands, a lantern and a cap.
    const double base = H * 0.81, top = H * 0.3, cx = W * 0.5;
    auto halfWidth = [&](double y) { return 95 - (base - y) / (base - top) * 35; };
    QPainterPath tower;
    tower.moveTo(cx - halfWidth(base), base);
    tower.lineTo(cx - halfWidth(top), top);
    tower.lineTo(cx + halfWidth(top), top);
    tower.lineTo(cx + halfWidth(base), base);
    tower.closeSubpath();
    p.setBrush(QColor(245, 245, 240));
    p.drawPath(tower);
    p.save();
    p.setClipPath(tower);
    p.setBrush(QColor(200, 40, 40));
    for (int band = 0; band < 3; ++band) {
        const double y = top + 70 + band * 150;
        p.drawRect(QRectF(0, y, W, 60));
    }
    QLinearGradient shade(cx - 100, 0, cx + 100, 0);
    shade.setColorAt(0, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 60));
    p.fillRect(QRectF(0, 0, W, H), shade);
    p.restore();
    p.setBrush(QColor(40, 40, 45));
    p.drawRect(QRectF(cx - 80, top - 12, 160, 16)); // gallery
    p.setBrush(QColor(255, 240, 170));
    p.drawRect(QRectF(cx - 48, top - 90, 96, 78)); // lantern
    p.setBrush(QColor(40, 40, 45));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(cx - 50 + i * 31, top - 90, 6, 78));
    QPainterPath cap;
    cap.moveTo(cx - 62, top - 88);
    cap.lineTo(cx, top - 150);
    cap.lineTo(cx + 62, top - 88);
    cap.closeSubpath();
    p.drawPath(cap);
    // Beams of light.
    p.setBrush(QColor(255, 245, 190, 90));
    for (int side : {-1, 1}) {
        QPainterPath beam;
        beam.moveTo(cx + side * 40, top - 55);
        beam.lineTo(cx + side * W, top - 150);
        beam.lineTo(cx + side * W, top + 20);
        beam.closeSubpath();
        p.drawPath(beam);
    }
    // Gulls.
    p.setPen(QPen(QColor(40, 40, 50), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 5; ++i) {
        const double x = 120 + Noise(i, 60) * 760, y = 120 + Noise(i, 61) * 260, s = 14 + Noise(i, 62) * 16;
        QPainterPath gull;
        gull.moveTo(x - s, y);
        gull.quadTo(x - s / 2, y - s * 0.7, x, y);
        gull.quadTo(x + s / 2, y - s * 0.7, x + s, y);
        p.drawPath(gull);
    }
    return image;
}

} // namespace

QImage DrawSamplePicture(const std::string& fileName)
{
    if (fileName == "harbour.jpg")
        return Harbour();
    if (fileName == "meadow.jpg")
        return Meadow();
    if (fileName == "mosaic.jpg")
        return Mosaic();
    if (fileName == "lighthouse.jpg")
        return LighthouseUpright().transformed(QTransform().rotate(-90)); // the camera was on its side
    throw std::runtime_error("no sample picture " + fileName);
}

void WriteSamplePictures(const QString& folder)
{
    for (const TSamplePicture& picture : SamplePictures()) {
        const QImage image = DrawSamplePicture(picture.FileName);
        if (image.width() != picture.Width || image.height() != picture.Height)
            throw std::runtime_error(std::string(picture.FileName) + " is not drawn at the size the layout expects");
        const QString path = folder + "/" + picture.FileName;
        if (!image.save(path, "JPG", 90))
            throw std::runtime_error("cannot write " + path.toStdString());
    }
}

} // namespace tessaria
