#pragma once
// The preview window's arithmetic: the zoom factor of each entry of the zoom
// list, and where the page panel sits in its container at a zoom.

#include <string>

namespace tessaria {

enum TZoomEntry : int { zeFitToPage = 0, zeFitToWidth = 1, zeCustom = 2 };
constexpr int ZoomEntryCount = 12;

// The texts of the zoom list, in order.
const char* ZoomEntryText(int index);

struct TZoomInputs {
    int VisibleWidth = 0;  // of the scroll box
    int VisibleHeight = 0;
    int ScreenPixelsPerInch = 96;
    double SheetWidthInches = 8.5;
    double SheetHeightInches = 11;
    double CurrentFactor = 1.0; // what "Custom" keeps
};

// The factor of an entry; no entry (-1) counts as "Fit To Page".
double ZoomFactor(int index, const TZoomInputs& in);

struct TPagePlacement {
    int PageLeft = 0;
    int PageTop = 0;
    int PageWidth = 0;
    int PageHeight = 0;
    int ContainerWidth = 0;
    int ContainerHeight = 0;
};

TPagePlacement PlacePage(double factor, const TZoomInputs& in);

// The zoom label: the factor in percent without decimals, then "%".
std::string ZoomText(double factor);

} // namespace tessaria
