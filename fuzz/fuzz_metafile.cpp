// Fuzz target: the metafile reader ("wmf", "emf"; the bytes decide which),
// parsed and drawn, text included.
//
// A metafile is drawn at the size its header gives, up to the program's
// picture limit. For a vector picture that size is what the picture is, not a
// claim its data must back: a few bytes may rightly ask for the limit's worth
// of pixels, and the memory ceiling would stop every such input at the first
// allocation. Pictures beyond CanvasPixels are therefore drawn here on a
// smaller canvas by the same player, so that the ceiling still catches the
// parser and the player taking memory for what they read.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "base/exceptions.h"
#include "fuzzreader.h"
#include "imageio/bitmap.h"
#include "imageio/qt/metafileimage.h"
#include "imageio/qt/metafileplayer.h"
#include "imageio/stream.h"

namespace {

constexpr double CanvasPixels = 16 << 20;

// Fonts need an application object; it lives for the whole run and goes
// at exit, so that the leak checker sees the font caches freed.
std::unique_ptr<QGuiApplication> MakeApplication()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

// Fontconfig keeps what Qt's font fallback asked of it past Qt's own
// clean-up; that is the library's cache, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaria;
    static const std::unique_ptr<QGuiApplication> app = MakeApplication();
    (void)app;

    TMetafile metafile;
    TMemoryStream stream(data, size);
    try {
        metafile.LoadFromStream(stream);
    } catch (const Exception&) {
        return 0;
    }
    const double pixels = double(metafile.Width()) * metafile.Height();
    if (pixels <= CanvasPixels) {
        // As the program draws it.
        TBitmap bitmap;
        try {
            metafile.MoveTo(bitmap);
        } catch (const Exception&) {
            return 0;
        }
        for (int y = 0; y < bitmap.Height(); ++y)
            fuzz::TouchBytes(bitmap.ScanLine(y), bitmap.RowBytes());
        return 0;
    }
    const double scale = std::sqrt(CanvasPixels / pixels);
    QImage canvas(std::max(1, int(metafile.Width() * scale)), std::max(1, int(metafile.Height() * scale)),
                  QImage::Format_RGB888);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        PlayMetafile(*metafile.Data(), painter, QRectF(0, 0, canvas.width(), canvas.height()));
    }
    for (int y = 0; y < canvas.height(); ++y)
        fuzz::TouchBytes(canvas.constScanLine(y), size_t(canvas.width()) * 3);
    return 0;
}
