#include "support/pdfpages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tessaria::test {

QRect DarkBox(const QImage& image, const QRect& region)
{
    const QRect r = region.intersected(image.rect());
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect DarkBox(const QImage& image) { return DarkBox(image, image.rect()); }

namespace {
QString Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

int PdfPageCount(const QString& pdf)
{
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(Run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF PdfPageSize(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(Run("pdfinfo", {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QImage RenderPdfPage(const QString& pdf, int page, int dpi)
{
    const QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    Run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page), "-singlefile", pdf,
                     prefix});
    QImage image(prefix + ".ppm");
    return image.convertToFormat(QImage::Format_RGB32);
}

QString PdfText(const QString& pdf, int page)
{
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << pdf << "-";
    return Run("pdftotext", args);
}

QStringList PdfImageEncodings(const QString& pdf)
{
    QStringList encodings;
    const QStringList lines = Run("pdfimages", {"-list", pdf}).split('\n');
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(' ', Qt::SkipEmptyParts);
        if (f.size() > 8 && f[2] == "image")
            encodings << f[8];
    }
    return encodings;
}

std::vector<QImage> PdfImages(const QString& pdf)
{
    const QTemporaryDir dir;
    Run("pdfimages", {"-png", pdf, dir.filePath(QStringLiteral("image"))});
    QStringList files = QDir(dir.path()).entryList({"image-*.png"}, QDir::Files, QDir::Name);
    std::vector<QImage> images;
    for (const QString& f : files)
        images.push_back(QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32));
    return images;
}

std::vector<QSize> PdfImageSizes(const QString& pdf)
{
    std::vector<QSize> sizes;
    const QStringList lines = Run("pdfimages", {"-list", pdf}).split('\n');
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(' ', Qt::SkipEmptyParts);
        if (f.size() > 4 && f[2] == "image")
            sizes.emplace_back(f[3].toInt(), f[4].toInt());
    }
    return sizes;
}

} // namespace tessaria::test
