// tessaria-convert: loads a picture through the program's format table and
// writes it as a binary PPM (or, for 32-bit pictures, a PAM with alpha).
//
//   tessaria-convert [--upright] [--resize WxH [--filter N]] [--rotate 90|180|270] INPUT OUTPUT
//   tessaria-convert --info INPUT
//
// --upright turns the picture by the orientation its file records, as the
// browser shows it; --resize resamples with filter N (0 Box .. 6 Mitchell,
// default 0) at its default radius; --rotate turns clockwise by that many
// degrees. They apply after loading, in that order. --info also gives the
// recorded orientation (1 to 8).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "base/exceptions.h"
#include "base/format.h"
#include "base/paths.h"
#include "imageio/bitmap.h"
#include "imageio/picture.h"
#include "imageio/qt/metafileimage.h"
#include "print/core/resample.h"
#include "print/core/rotate.h"
#include "print/core/upright.h"

using namespace tessaria;

namespace {

const char* FormatName(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf1bit: return "pf1bit";
    case TPixelFormat::pf4bit: return "pf4bit";
    case TPixelFormat::pf8bit: return "pf8bit";
    case TPixelFormat::pf15bit: return "pf15bit";
    case TPixelFormat::pf24bit: return "pf24bit";
    case TPixelFormat::pf32bit: return "pf32bit";
    case TPixelFormat::pfDevice: return "pfDevice";
    }
    return "?";
}

void Write(const std::string& fileName, const TBitmap& bitmap)
{
    std::FILE* out = std::fopen(fileName.c_str(), "wb");
    if (!out)
        throw Exception(Format("Cannot create file %s", fileName.c_str()));
    const int w = bitmap.Width(), h = bitmap.Height();
    const bool alpha = bitmap.PixelFormat() == TPixelFormat::pf32bit;
    if (alpha)
        std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", w, h);
    else
        std::fprintf(out, "P6\n%d %d\n255\n", w, h);
    const size_t channels = alpha ? 4 : 3;
    std::vector<uint8_t> bgr(size_t(w) * 3), row(size_t(w) * channels);
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = bitmap.ScanLine(y);
        if (!alpha) {
            bitmap.RowToBGR24(y, bgr.data());
            in = bgr.data();
        }
        for (int x = 0; x < w; ++x, in += channels) {
            uint8_t* o = row.data() + size_t(x) * channels;
            o[0] = in[2];
            o[1] = in[1];
            o[2] = in[0];
            if (alpha)
                o[3] = in[3];
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    const bool failed = std::ferror(out) != 0;
    if (std::fclose(out) != 0 || failed)
        throw Exception(Format("Cannot write file %s", fileName.c_str()));
}

int Usage()
{
    std::fprintf(stderr, "usage: tessaria-convert [--upright] [--resize WxH [--filter N]] [--rotate 90|180|270] INPUT OUTPUT\n"
                         "       tessaria-convert --info INPUT\n");
    return 2;
}

struct TOptions {
    bool Info = false;
    bool Upright = false;
    bool Resize = false;
    int Width = 0, Height = 0;
    int Filter = 0;
    int Rotate = 0;
    std::vector<std::string> Files;
};

// Whole-string decimal, no sign; false for anything else or out of range.
bool ParseCount(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return true;
}

bool ParseOptions(int argc, char** argv, TOptions& o)
{
    bool filterGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--info") {
            o.Info = true;
        } else if (arg == "--upright") {
            o.Upright = true;
        } else if (arg == "--resize" && hasValue) {
            const std::string size = argv[++i];
            const size_t x = size.find('x');
            if (x == std::string::npos || !ParseCount(size.substr(0, x), o.Width) ||
                !ParseCount(size.substr(x + 1), o.Height))
                return false;
            o.Resize = true;
        } else if (arg == "--filter" && hasValue) {
            if (!ParseCount(argv[++i], o.Filter) || o.Filter > 6)
                return false;
            filterGiven = true;
        } else if (arg == "--rotate" && hasValue) {
            if (!ParseCount(argv[++i], o.Rotate) || (o.Rotate != 90 && o.Rotate != 180 && o.Rotate != 270))
                return false;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            o.Files.push_back(arg);
        }
    }
    if (filterGiven && !o.Resize)
        return false;
    if (o.Info)
        return o.Files.size() == 1 && !o.Resize && o.Rotate == 0 && !o.Upright;
    return o.Files.size() == 2;
}

} // namespace

int main(int argc, char** argv)
{
    TOptions options;
    if (!ParseOptions(argc, argv, options))
        return Usage();
    const bool info = options.Info;
    RegisterMetafileFormats();
    // Metafiles draw their text through Qt's fonts, which need an
    // application object; this tool never shows a window, and other
    // pictures need none.
    std::unique_ptr<QGuiApplication> app;
    if (FileFormats().FindExt(ExtractFileExt(options.Files[0])) == &GraphicClassOf<TMetafile>()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    try {
        std::string readerClass;
        TBitmap bitmap = LoadBitmapFromFile(options.Files[0], &readerClass);
        if (info) {
            std::printf("reader: %s\nformat: %s\nwidth: %d\nheight: %d\norientation: %d\n", readerClass.c_str(),
                        FormatName(bitmap.PixelFormat()), bitmap.Width(), bitmap.Height(), bitmap.Orientation());
            return 0;
        }
        if (options.Upright)
            TurnUpright(bitmap);
        if (options.Resize)
            Stretch(options.Width, options.Height, options.Filter, bitmap);
        RotateByDegrees(bitmap, options.Rotate);
        Write(options.Files[1], bitmap);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaria-convert: %s\n", e.what());
        return 1;
    }
}
