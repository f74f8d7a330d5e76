// The printable area the pages are sized from.
#include "app/utessaria.h"

namespace tessaria {

TPrintableArea TfrmTessaria::CurrentPrintableArea()
{
    // Until the engine reads the printer: a Letter sheet at 96 dpi with the
    // engine's default margins and bands (0.5 inch each side, header 0.5,
    // footer 0.4 inch).
    const int dpi = 96;
    return {dpi, dpi, int(8.5 * dpi) - dpi, 11 * dpi - int(dpi * 1.9 + 0.5)};
}

void TfrmTessaria::OrientationChosen(int) { UpdatePageGeometry(); }

void TfrmTessaria::PrintInfoChosen(bool) { UpdatePageGeometry(); }

} // namespace tessaria
