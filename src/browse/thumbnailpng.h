#pragma once
// Parser of untrusted data: the PNG files of the shared thumbnail cache, which
// any program of the user may have written. Read and written through libpng,
// since the thumbnails' text keys ("Thumb::URI") hold colons, which Qt's PNG
// text handling splits on.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tessaria {

using TPngText = std::map<std::string, std::string>;

// The size and the text chunks that come before the pixels; false for data
// that is no PNG or is damaged.
bool ReadPngHeader(const QByteArray& file, QSize& size, TPngText& text);
// The pixels as 8-bit RGBA; a null image for damaged data or a picture with a
// side beyond maxSide.
QImage ReadPngPixels(const QByteArray& file, int maxSide);

// An 8-bit, non-interlaced RGBA PNG of the image with the text chunks, in
// order; empty when it could not be made.
QByteArray WritePng(const QImage& image, const std::vector<std::pair<std::string, std::string>>& text);

} // namespace tessaria
