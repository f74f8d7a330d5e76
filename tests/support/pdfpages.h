#pragma once
// Pictures of pages for checks: dark regions of an image, and PDF files read
// back through poppler's tools (page count and size, pages as pixels, text,
// the embedded images).

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace tessaria::test {

// The bounding box of the pixels darker than mid-grey inside `region`
// (null when there are none).
QRect DarkBox(const QImage& image, const QRect& region);
QRect DarkBox(const QImage& image);

// Page count and page size in points (pdfinfo), a page as pixels (pdftoppm).
int PdfPageCount(const QString& pdf);
QSizeF PdfPageSize(const QString& pdf);
QImage RenderPdfPage(const QString& pdf, int page, int dpi);
// The text of a page (pdftotext), or of all pages with page 0.
QString PdfText(const QString& pdf, int page = 0);
// pdfimages -list: width and height of each image.
std::vector<QSize> PdfImageSizes(const QString& pdf);
// pdfimages -list: the encoding of each image ("image" for Flate, "jpeg" for DCT ...).
QStringList PdfImageEncodings(const QString& pdf);
// The images as stored, each extracted losslessly (pdfimages -png), in order.
std::vector<QImage> PdfImages(const QString& pdf);

} // namespace tessaria::test
