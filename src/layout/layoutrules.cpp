#include "layout/layoutrules.h"

#include <algorithm>

#include "base/convert.h"
#include "base/fitsize.h"
#include "base/rounding.h"
#include "print/core/resample.h"

namespace tessaria {

QString BoxSizeText(int width, int height, int layoutPPI)
{
    const double ppi = layoutPPI > 0 ? layoutPPI : 1;
    return QString::asprintf("%4.3f X %4.3f inches", width / ppi, height / ppi);
}

bool MeasuresInMillimetres(const QLocale& locale) { return locale.measurementSystem() == QLocale::MetricSystem; }

double UnitsFromPixels(int pixels, int layoutPPI, bool millimetres)
{
    const double inches = double(pixels) / (layoutPPI > 0 ? layoutPPI : 1);
    return millimetres ? inches * 25.4 : inches;
}

int PixelsFromUnits(double length, int layoutPPI, bool millimetres)
{
    const double inches = millimetres ? length / 25.4 : length;
    return int(Round(inches * layoutPPI));
}

QString PositionText(const QRect& bounds, int layoutPPI, const QLocale& locale)
{
    const bool mm = MeasuresInMillimetres(locale);
    const int decimals = mm ? 1 : 3;
    auto n = [&](int pixels) { return locale.toString(UnitsFromPixels(pixels, layoutPPI, mm), 'f', decimals); };
    return QStringLiteral("at %1, %2  size %3 x %4 %5")
        .arg(n(bounds.left()), n(bounds.top()), n(bounds.width()), n(bounds.height()), mm ? "mm" : "in");
}

QString FileNamePart(const QString& path)
{
    const int cut = std::max({path.lastIndexOf('/'), path.lastIndexOf('\\'), path.lastIndexOf(':')});
    return path.mid(cut + 1);
}

QString CaptionLine(TAutoCaption mode, const QString& fileName, int pictureWidth, int pictureHeight,
                    const QString& fileDateText)
{
    switch (mode) {
    case TAutoCaption::None: return QStringLiteral("TextBox");
    case TAutoCaption::Filename: return FileNamePart(fileName);
    case TAutoCaption::FilenameSizeAndDate:
        return FileNamePart(fileName) + QStringLiteral("  (%1x%2)  ").arg(pictureHeight).arg(pictureWidth) +
               fileDateText;
    }
    return QStringLiteral("TextBox");
}

int MaxTag(const std::vector<int>& tags)
{
    int max = 0;
    for (int t : tags)
        max = std::max(max, t);
    return max;
}

int SnapToRaster(int value, int extent)
{
    // The cells start at 0, 10, 20, ... below the extent; a value in the last
    // cell snaps even when the cell reaches past the extent.
    if (value < 0)
        return value;
    const int cell = value / AlignRaster * AlignRaster;
    return cell < extent ? cell : value;
}

QString FileMaskFromChecks(const QStringList& captions, const std::vector<bool>& ticked)
{
    QString mask;
    for (int i = 0; i < captions.size() && size_t(i) < ticked.size(); ++i)
        if (ticked[size_t(i)])
            mask += QStringLiteral("*.") + captions[i] + ';';
    return mask;
}

std::vector<bool> ChecksFromFileMask(const QStringList& captions, const QString& mask)
{
    std::vector<bool> ticked;
    for (const QString& caption : captions)
        ticked.push_back(mask.contains(caption, Qt::CaseSensitive));
    return ticked;
}

TBitmap ReducedCopy(const TBitmap& picture)
{
    TBitmap reduced;
    if (picture.Empty())
        return reduced;
    const TSize fit = FitSize(ReducedCopySide, ReducedCopySide, picture.Width(), picture.Height());
    if (picture.PixelFormat() == TPixelFormat::pf24bit) {
        // Resampled where it lies: a picture of hundreds of megabytes is not copied first.
        reduced.SetPixelFormat(TPixelFormat::pf24bit);
        reduced.SetSize(std::max(1, fit.Width), std::max(1, fit.Height));
        Resample(TResampleFilter::Box, DefaultRadius(TResampleFilter::Box), picture, reduced);
        return reduced;
    }
    TBitmap source(picture); // resampling switches its source to 24 bits
    StretchInto(std::max(1, fit.Width), std::max(1, fit.Height), 0, 0.0f, source, reduced);
    return reduced;
}

bool InchesFromText(const QString& text, double& inches)
{
    return TryStrToFloat(text.toStdString(), inches);
}

} // namespace tessaria
