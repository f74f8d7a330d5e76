#pragma once
// Layouts for the printing tests: picture files in two colours, documents
// written with the document writer and opened in the window, and the sheet
// rectangle a box should land on, worked out independently of the program.

#include "appfixture.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/rounding.h"
#include "document/document.h"
#include "document/documentwriter.h"
#include "layout/canvaspanel.h"
#include "print/pageview.h"
#include "print/prevprinter.h"
#include "print/uprintcheck.h"

namespace tessaria::test {

class PrintTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // These layouts are about what reaches paper: when the check before
        // printing finds something (small test pictures print coarse), the
        // answer is "Print anyway".
        Dialogs->OnModal = PrintingAnyway([](QDialog&) { return int(QDialog::Rejected); });
    }
    // Answers the check's dialog with "Print anyway" and every other modal
    // dialog with `others`.
    static std::function<int(QDialog&)> PrintingAnyway(std::function<int(QDialog&)> others)
    {
        return [others](QDialog& d) {
            return dynamic_cast<TfrmPrintCheck*>(&d) ? int(QDialog::Accepted) : others(d);
        };
    }

    // A w x h picture file, its left half one colour and its right half another.
    QString WritePicture(const std::string& name, int w, int h, QColor left = Qt::red, QColor right = Qt::blue)
    {
        QImage image(w, h, QImage::Format_RGB888);
        QPainter p(&image);
        p.fillRect(0, 0, w / 2, h, left);
        p.fillRect(w / 2, 0, w - w / 2, h, right);
        p.end();
        const QString path = QString::fromStdString(Config.File(name));
        EXPECT_TRUE(image.save(path, name.ends_with(".jpg") ? "JPG" : "BMP"));
        return path;
    }

    // A w x h picture of one-pixel columns, red and blue in turn, kept
    // losslessly (BMP): any smear or chroma subsampling shows at once.
    QString WriteStripes(const std::string& name, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB888);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                image.setPixelColor(x, y, x % 2 ? QColor(0, 0, 255) : QColor(255, 0, 0));
        const QString path = QString::fromStdString(Config.File(name));
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    static TDocumentBox PictureRecord(const QString& path, int left, int top, int width, int height, int rotation = 0)
    {
        TDocumentBox b;
        b.Left = left;
        b.Top = top;
        b.Width = width;
        b.Height = height;
        b.Rotation = rotation;
        b.CanvasPPI = 44;
        b.FontName = "Arial";
        b.FontSize = 10;
        b.SetAlignment(TAlignment::taCenter);
        b.FileName = path.toStdString();
        return b;
    }

    static TDocumentBox TextRecord(std::vector<std::string> lines, int left, int top, int width, int height,
                                   TAlignment alignment, int points = 24)
    {
        TDocumentBox b = PictureRecord(QString(), left, top, width, height);
        b.SetTextBox(true);
        b.FontSize = points;
        b.SetAlignment(alignment);
        b.Lines = std::move(lines);
        return b;
    }

    // Pages of the window's current page size holding the boxes.
    QString WriteDocument(const std::string& name, const std::vector<std::vector<TDocumentBox>>& pages)
    {
        TDocument d;
        for (const auto& boxes : pages) {
            TDocumentPage page;
            page.Width = Window->CurrentPage->width();
            page.Height = Window->CurrentPage->height();
            page.Boxes = boxes;
            d.Pages.push_back(page);
        }
        const std::string path = Config.File(name);
        SaveDocument(d, path);
        return QString::fromStdString(path);
    }

    void Open(const QString& document) { ASSERT_TRUE(Window->OpenDocumentFile(document)); }

    // Where a box of the page lands on the sheet in device pixels, from the
    // engine's device values and margins (W, H, ox, oy and the scales).
    QRect ExpectedSheetRect(int left, int top, int width, int height) const
    {
        const TPreviewPrinter& e = *Window->PP1;
        const TTextOptions& o = *e.TextOptions();
        const double dx = e.PixelsPerInchX(), dy = e.PixelsPerInchY();
        const double w = e.PhysicalWidth() - std::round(dx * (o.MarginLeft() + o.MarginRight()));
        const double h = e.PhysicalHeight() -
                         std::round(dy * (o.MarginTop() + o.MarginBottom() + o.HeaderMargin() + o.FooterMargin()));
        const double ox = std::round(dx * o.MarginLeft());
        const double oy = std::round(dy * (o.MarginTop() + o.HeaderMargin()));
        const double sx = w / Window->CurrentPage->width(), sy = h / Window->CurrentPage->height();
        const int l = int(std::lround(left * sx) + ox), t = int(std::lround(top * sy) + oy);
        return QRect(l, t, int(std::lround(width * sx)), int(std::lround(height * sy)));
    }

    // A recorded page as an image of its sheet at `scale`.
    QImage RecordedPage(int index, double scale) const
    {
        const TPreviewPrinter& e = *Window->PP1;
        QImage image(int(e.PhysicalWidth() * scale), int(e.PhysicalHeight() * scale), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        PaintPage(p, e.GetPage(index), e.PhysicalWidth(), e.PhysicalHeight(), image.rect());
        return image;
    }

    static QRect Scaled(const QRect& r, double scale)
    {
        return QRect(int(std::lround(r.left() * scale)), int(std::lround(r.top() * scale)),
                     int(std::lround(r.width() * scale)), int(std::lround(r.height() * scale)));
    }

    // Preview without showing the window: the form is only counted.
    void RecordByPreview()
    {
        Dialogs->OnModal = PrintingAnyway([](QDialog&) { return 0; });
        Window->Print1Click(Window->Preview1);
    }
};

// The largest difference of any channel of any pixel; -1 when the sizes differ.
inline int LargestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// Whether a colour is mostly red or mostly blue.
inline bool Reddish(QRgb c) { return qRed(c) > 150 && qBlue(c) < 100; }
inline bool Bluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 100; }

} // namespace tessaria::test
