#include "enginetest.h"

#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdlib>

#include "print/pageview.h"
#include "print/prevprinter.h"

namespace tessaria::test {

TDeviceValues Letter600()
{
    TDeviceValues v;
    v.PixelsPerInchX = 600;
    v.PixelsPerInchY = 600;
    v.PhysicalWidth = 5100;
    v.PhysicalHeight = 6600;
    v.PhysicalOffsetX = 150;
    v.PhysicalOffsetY = 120;
    return v;
}

PrintersGuard::PrintersGuard(std::unique_ptr<TPrinters> printers) : Previous_(SetPrinters(std::move(printers))) {}

PrintersGuard::~PrintersGuard() { SetPrinters(std::move(Previous_)); }

void StandInTest::SetUp()
{
    setenv("XDG_CONFIG_HOME", Config.Path().c_str(), 1);
    Dialogs = TScriptedDialogs::Install(DialogsGuard);
    UsePrinter("Stand-in", Letter600());
}

void StandInTest::TearDown()
{
    Guard.reset();
    DialogsGuard.reset();
    unsetenv("XDG_CONFIG_HOME");
}

TStandInPrinters& StandInTest::UsePrinter(const QString& name, const TDeviceValues& values)
{
    auto printers = std::make_unique<TStandInPrinters>(name, values, QString::fromStdString(Dir.Path().string()));
    StandIn = printers.get();
    Guard.reset();
    Guard = std::make_unique<PrintersGuard>(std::move(printers));
    return *StandIn;
}

QImage RenderRecordedPage(const TPreviewPrinter& engine, int index, double scale)
{
    const int w = int(engine.PhysicalWidth() * scale);
    const int h = int(engine.PhysicalHeight() * scale);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintPage(painter, engine.GetPage(index), engine.PhysicalWidth(), engine.PhysicalHeight(), QRect(0, 0, w, h));
    return image;
}

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
    Run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page), "-gray",
                     "-singlefile", pdf, prefix});
    QImage image(prefix + ".pgm");
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
