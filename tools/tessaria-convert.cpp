// tessaria-convert: loads a picture through the program's format table and
// writes it as a binary PPM (or, for 32-bit pictures, a PAM with alpha).
//
//   tessaria-convert INPUT OUTPUT
//   tessaria-convert --info INPUT
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/bitmap.h"
#include "imageio/picture.h"

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
    std::fprintf(stderr, "usage: tessaria-convert INPUT OUTPUT\n       tessaria-convert --info INPUT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Usage();
    const bool info = std::strcmp(argv[1], "--info") == 0;
    try {
        std::string readerClass;
        const TBitmap bitmap = LoadBitmapFromFile(argv[info ? 2 : 1], &readerClass);
        if (info)
            std::printf("reader: %s\nformat: %s\nwidth: %d\nheight: %d\n", readerClass.c_str(),
                        FormatName(bitmap.PixelFormat()), bitmap.Width(), bitmap.Height());
        else
            Write(argv[2], bitmap);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaria-convert: %s\n", e.what());
        return 1;
    }
}
