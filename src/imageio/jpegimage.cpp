// Parser of untrusted data: JPEG files, through libjpeg's C API.
//
// libjpeg reports errors through a callback that must not return; it jumps
// back with longjmp into the small functions below that armed setjmp. Those
// hold nothing with a destructor, so the jump skips no C++ clean-up, and every
// C++ object (the bitmap, the row buffer, the library state's guard) lives in
// the callers.
#include "imageio/jpegimage.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "imageio/colourconv.h"
#include "imageio/largebuffer.h"
#include "imageio/jpeglimits.h"
#include "imageio/limits.h"
#include "imageio/orientation.h"
#include "imageio/stream.h"

namespace tessaria {

namespace {

struct TContext {
    jpeg_decompress_struct Info;
    TJPEGErrors Error;
};

[[noreturn]] void RaiseLibraryError(const TContext& c)
{
    if (c.Error.TooManyScans)
        throw Exception("JPEG: too many scans");
    throw Exception(Format("JPEG error #%d", c.Error.Code));
}

// The smallest of libjpeg's scales M/8 whose output is at least the size the
// caller asks for, given the picture's own size; 8/8 when none smaller is.
void ChooseScale(jpeg_decompress_struct& info, const TJPEGReduction& reduction)
{
    const TJPEGMinimum wanted = reduction(int(info.image_width), int(info.image_height));
    info.scale_denom = 8;
    for (unsigned m = 1; m <= 8; ++m) {
        info.scale_num = m;
        jpeg_calc_output_dimensions(&info);
        if (int64_t(info.output_width) >= wanted.Width && int64_t(info.output_height) >= wanted.Height)
            return;
    }
}

bool ReadHeader(TContext& c, const uint8_t* data, size_t size, const TJPEGReduction* reduction)
{
    if (setjmp(c.Error.Jump))
        return false;
    jpeg_mem_src(&c.Info, data, (unsigned long)size);
    jpeg_read_header(&c.Info, TRUE);
    if (reduction)
        ChooseScale(c.Info, *reduction);
    if (c.Info.jpeg_color_space == JCS_GRAYSCALE)
        c.Info.out_color_space = JCS_GRAYSCALE;
    else if (c.Info.jpeg_color_space == JCS_CMYK || c.Info.jpeg_color_space == JCS_YCCK)
        c.Info.out_color_space = JCS_CMYK;
    else
        c.Info.out_color_space = JCS_EXT_BGR; // straight into 24-bit rows
    jpeg_calc_output_dimensions(&c.Info);
    return true;
}

// Rows of a grey or colour file go straight into the bitmap; CMYK rows pass
// through one row buffer on their way to 24 bits.
bool ReadRows(TContext& c, TBitmap& bitmap, uint8_t* cmykRow)
{
    if (setjmp(c.Error.Jump))
        return false;
    jpeg_start_decompress(&c.Info);
    const bool cmyk = cmykRow != nullptr;
    // Photoshop and most editors after it store CMYK inverted (0 = full ink)
    // and say so with an Adobe marker.
    const bool inverted = cmyk && c.Info.saw_Adobe_marker;
    const size_t samples = size_t(c.Info.output_width) * 4;
    // The rows are not cleared beforehand: the padding at their ends is.
    const size_t pixelBytes = size_t(c.Info.output_width) * (bitmap.PixelFormat() == TPixelFormat::pf8bit ? 1 : 3);
    const size_t padding = bitmap.RowBytes() - pixelBytes;
    if (padding)
        for (int y = 0; y < bitmap.Height(); ++y)
            std::memset(bitmap.ScanLine(y) + pixelBytes, 0, padding);
    while (c.Info.output_scanline < c.Info.output_height) {
        const unsigned y = c.Info.output_scanline;
        if (cmyk) {
            JSAMPROW row = cmykRow;
            if (jpeg_read_scanlines(&c.Info, &row, 1) != 1)
                break;
            if (inverted)
                for (size_t i = 0; i < samples; ++i)
                    cmykRow[i] = uint8_t(255 - cmykRow[i]);
            ConvertCMYK(cmykRow, bitmap.ScanLine(int(y)), 8, samples);
        } else {
            JSAMPROW rows[16];
            const unsigned want = std::min<unsigned>(16, c.Info.output_height - y);
            for (unsigned i = 0; i < want; ++i)
                rows[i] = bitmap.ScanLine(int(y + i));
            if (jpeg_read_scanlines(&c.Info, rows, want) == 0)
                break;
        }
    }
    // Rows the library did not deliver stay black, as in a cleared bitmap.
    for (unsigned y = c.Info.output_scanline; y < c.Info.output_height; ++y)
        std::memset(bitmap.ScanLine(int(y)), 0, bitmap.RowBytes());
    jpeg_finish_decompress(&c.Info);
    return true;
}

struct TDestroyGuard {
    jpeg_decompress_struct* Info;
    ~TDestroyGuard() { jpeg_destroy_decompress(Info); }
};

// With no reduction the picture is decoded at full size.
void Decode(const uint8_t* data, size_t size, const TJPEGReduction* reduction, TBitmap& bitmap, int* fullWidth,
            int* fullHeight)
{
    TContext c;
    std::memset(&c.Info, 0, sizeof c.Info);
    UseJPEGErrors(c.Info, c.Error);
    jpeg_create_decompress(&c.Info);
    TDestroyGuard guard{&c.Info};
    LimitJPEGDecoder(c.Info, c.Error);

    static const uint8_t empty = 0;
    if (!ReadHeader(c, size ? data : &empty, size, reduction))
        RaiseLibraryError(c);
    if (fullWidth)
        *fullWidth = int(c.Info.image_width);
    if (fullHeight)
        *fullHeight = int(c.Info.image_height);
    // Also shown small, a picture has to be one that printing can read whole,
    // and one its data can fill.
    CheckJPEGData(c.Info, "JPEG");

    TBitmap result;
    const bool grey = c.Info.out_color_space == JCS_GRAYSCALE;
    const bool cmyk = c.Info.out_color_space == JCS_CMYK;
    result.SetPixelFormat(grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    if (grey) {
        TPalette ramp(256);
        for (unsigned i = 0; i < 256; ++i)
            ramp[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        result.SetPalette(std::move(ramp));
    }
    // Checks the limit; every byte is written below.
    result.SetSizeToOverwrite(int(c.Info.output_width), int(c.Info.output_height));
    std::vector<uint8_t> cmykRow(cmyk ? size_t(c.Info.output_width) * 4 : 0);
    if (!ReadRows(c, result, cmyk ? cmykRow.data() : nullptr))
        RaiseLibraryError(c);
    bitmap = std::move(result);
}

} // namespace

void DecodeJPEG(const uint8_t* data, size_t size, TBitmap& bitmap) { Decode(data, size, nullptr, bitmap, nullptr, nullptr); }

void DecodeJPEGReduced(const uint8_t* data, size_t size, const TJPEGReduction& reduction, TBitmap& bitmap,
                       int* fullWidth, int* fullHeight)
{
    Decode(data, size, &reduction, bitmap, fullWidth, fullHeight);
}

void TJPEGImage::LoadFromStream(TStream& stream) { LoadReduced(stream, nullptr); }

void TJPEGImage::LoadFromStreamReduced(TStream& stream, const TJPEGReduction& reduction)
{
    LoadReduced(stream, &reduction);
}

void TJPEGImage::LoadReduced(TStream& stream, const TJPEGReduction* reduction)
{
    // The compressed file, whole, in memory that faults in few huge pages.
    TLargeBuffer data(size_t(stream.Remaining()), TLargeBuffer::TFill::Unfilled);
    const size_t size = data ? stream.Read(data.get(), data.size()) : 0;
    TBitmap decoded;
    int width = 0, height = 0;
    Decode(data.get(), size, reduction, decoded, &width, &height);
    Bitmap_ = std::move(decoded);
    FullWidth_ = width;
    FullHeight_ = height;
    SetOrientation(JPEGOrientation(data.get(), size));
}

void TJPEGImage::AssignTo(TBitmap& target) const
{
    target = Bitmap_;
    target.SetOrientation(Orientation());
}

void TJPEGImage::MoveTo(TBitmap& target)
{
    Bitmap_.MoveTo(target);
    target.SetOrientation(Orientation());
}

} // namespace tessaria
