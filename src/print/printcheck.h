#pragma once
// The check before printing, without widgets: what would print wrong, page by
// page and box by box. Pictures that are missing or cannot be read, pictures
// that reach less than 70 % of the chosen resolution on paper, boxes that lie
// partly outside the printer's printable area, text that does not fit its box
// at its size, and pages whose shape differs from the printable area (their
// pictures would print distorted).

#include <QFont>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "platform/printers.h"
#include "print/printlayout.h"

namespace tessaria {

enum class TFindingKind { MissingPicture, UnreadablePicture, LowResolution, OutsidePrintableArea, TextDoesNotFit, PageShape };

struct TFinding {
    TFindingKind Kind = TFindingKind::MissingPicture;
    int Page = 0; // from 0
    int Box = -1; // from 0 among the page's boxes in their order; -1 for the page itself
    QString Text; // one line, naming page and box from 1
};

// A box as printing sees it.
struct TCheckBox {
    QRect Bounds; // page pixels
    int Rotation = 0;
    bool TextBox = false;
    QString FileName; // of a picture box
    QString Text;     // of a text box, lines joined by line breaks
    QFont Font;       // of a text box, sized in points
};

struct TCheckPage {
    QSize Size; // the page surface
    std::vector<TCheckBox> Boxes;
};

// What reading a picture found: its size in pixels as stored (before any turn).
struct TPictureProbe {
    enum class TState { Readable, Missing, Unreadable } State = TState::Readable;
    int Width = 0;
    int Height = 0;
    QString Message; // the reader's, when it cannot be read
};

struct TCheckSettings {
    TDeviceValues Device;     // the printer's (or the sheet's) device values
    TPrintGeometry Area;      // the layout area on the sheet
    QSize ScalePage;          // the page surface that printing scales every page by
    int Dpi = 200;            // the chosen printer resolution of the pictures
};

// The share of the chosen resolution below which a picture is reported.
inline constexpr double LowResolutionShare = 0.7;
// How far a page's proportion may stray from the printable area's before it
// is reported: the page surfaces are rounded to whole pixels.
inline constexpr double PageShapeTolerance = 0.01;

// Every finding in page order, each page's own finding before its boxes'.
// `probe` reads a picture file (once per box).
std::vector<TFinding> CheckLayout(const std::vector<TCheckPage>& pages, const TCheckSettings& settings,
                                  const std::function<TPictureProbe(const QString&)>& probe);

// The pixels per inch a picture reaches printed into `target` (device pixels)
// after a turn of `rotation` degrees: the lower of the two directions.
double ReachedDpi(int pictureWidth, int pictureHeight, int rotation, const QRect& target, int dpiX, int dpiY);

// The printable part of the sheet: the sheet less the unprintable strips. Only
// the left and top strips are known; the right and bottom ones are taken to
// be as wide.
QRect PrintableRect(const TDeviceValues& device);

// How much a page's proportion differs from the layout area's on paper, as a
// share: 0 when a square on the page prints square.
double ShapeDistortion(const QSize& page, const TPrintGeometry& area, int dpiX, int dpiY);

// Where a window `frame` goes so that it leaves `target` in sight: where it
// is when it does not cover it, else the nearest place beside, under or above
// it that stays on `screen`; where it is when there is no such place.
QPoint PlaceClearOf(const QRect& frame, const QRect& target, const QRect& screen);

} // namespace tessaria
