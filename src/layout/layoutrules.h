#pragma once
// The layout's small rules, without widgets: size read-outs, captions, link
// ids, the auto-align raster, the file-type check boxes and the reduced copy
// a box shows.

#include <QLocale>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

#include "imageio/bitmap.h"

namespace tessaria {

enum class TAutoCaption { None = 0, Filename = 1, FilenameSizeAndDate = 2 };

// "%4.3f X %4.3f inches" of a box's size at LayoutPPI.
QString BoxSizeText(int width, int height, int layoutPPI);

// A box's position and size on paper in the locale's unit (millimetres where
// the locale measures in metric, else inches), numbers as the locale writes
// them: "at 0.750, 1.000  size 6.000 x 4.000 in".
bool MeasuresInMillimetres(const QLocale& locale);
QString PositionText(const QRect& bounds, int layoutPPI, const QLocale& locale);
// Page pixels and lengths on paper in that unit.
double UnitsFromPixels(int pixels, int layoutPPI, bool millimetres);
int PixelsFromUnits(double length, int layoutPPI, bool millimetres);

// The first line of a caption for a picture file, by mode. The size is height
// first ("(1200x1600)"); the date is the file's modification time as the
// system writes date and time.
QString CaptionLine(TAutoCaption mode, const QString& fileName, int pictureWidth, int pictureHeight,
                    const QString& fileDateText);
// The file name part of a path: after the last "/" (or "\" or ":" of paths
// from older documents).
QString FileNamePart(const QString& path);

// The largest tag of a set of boxes, 0 when there is none.
int MaxTag(const std::vector<int>& tags);

// Where auto-align puts a coordinate: the start of its 10-pixel cell when that
// cell starts inside [0, extent); anything else stays.
int SnapToRaster(int value, int extent);
constexpr int AlignRaster = 10;

// The file-type check boxes: captions in their fixed order, the mask they
// give when ticked, and which are ticked by a mask (the caption anywhere in
// the mask, case-sensitive).
QString FileMaskFromChecks(const QStringList& captions, const std::vector<bool>& ticked);
std::vector<bool> ChecksFromFileMask(const QStringList& captions, const QString& mask);

// The copy a box shows: fitted into 196 x 196 and resampled with the Box filter.
constexpr int ReducedCopySide = 196;
TBitmap ReducedCopy(const TBitmap& picture);

// A default size in inches from an options edit: the number, or the fallback
// when the text is none (and then the edit should show the fallback's text).
bool InchesFromText(const QString& text, double& inches);

} // namespace tessaria
