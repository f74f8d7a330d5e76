#pragma once
// Pictures on disk for the browser's tests: a picture of a given size whose
// colours change across it, so that resampling shows where it went wrong.

#include <QColor>
#include <QImage>
#include <QString>

namespace tessaria::test {

inline QImage PatternImage(int width, int height, int seed = 0)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 255 / std::max(1, width - 1) + seed * 40) & 255,
                                      (y * 255 / std::max(1, height - 1) + seed * 90) & 255, ((x ^ y) * 7 + seed) & 255));
    return image;
}

// Writes the picture in the format of the path's extension; false on failure.
inline bool WritePattern(const QString& path, int width, int height, int seed = 0)
{
    return PatternImage(width, height, seed).save(path);
}

} // namespace tessaria::test
